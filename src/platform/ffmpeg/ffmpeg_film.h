#pragma once
#include <memory>
#include <string>

#include "platform/video.h"

namespace avg {

// AVI films of every video codec libavcodec decodes, converted with libswscale.
class FfmpegFilmDecoder : public FilmDecoder {
 public:
  std::unique_ptr<Film> open(const std::string& path) override;
};

}  // namespace avg
