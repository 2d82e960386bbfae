#include "support/real_services.h"

#include <memory>

#include "platform/ffmpeg/ffmpeg_audio.h"
#include "platform/ffmpeg/ffmpeg_film.h"
#include "platform/freetype/freetype_rasterizer.h"
#include "platform/image_io/sdl_image_codec.h"

namespace avg::test {

HeadlessServices makeRealServices() {
  return {makeSdlImageCodec(), makeFreeTypeRasterizer(), std::make_shared<FfmpegAudioCodec>(),
          std::make_unique<FfmpegFilmDecoder>()};
}

}  // namespace avg::test
