#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/surface.h"

namespace avg {

// The picture of an AVI film, decoded frame by frame on the calling thread. Times are
// milliseconds from the start of the film.
class Film {
 public:
  virtual ~Film() = default;
  virtual Size size() const = 0;
  // The video stream's frame count over its frame rate.
  virtual uint32_t lengthMs() const = 0;
  // The frame that is shown at `ms`.
  virtual int64_t frameAt(uint32_t ms) const = 0;
  // Decodes on to `frame`, dropping the frames before it unconverted, and draws it unscaled
  // at the top-left corner of `target` (0xFFRRGGBB), the part that fits. False, with
  // `target` untouched, when the stream holds no further frame or its data is damaged.
  virtual bool decodeFrame(int64_t frame, Surface& target) = 0;
  // The format tag of the sound track; nullopt for a film without one.
  virtual std::optional<uint32_t> soundFormatTag() const = 0;
};

// Opens film files; the sound track is played through the sound device's music streams.
class FilmDecoder {
 public:
  virtual ~FilmDecoder() = default;
  // Null, with a log entry, for a file that is not a readable AVI or whose video stream
  // cannot be decoded.
  virtual std::unique_ptr<Film> open(const std::string& path) = 0;
};

}  // namespace avg
