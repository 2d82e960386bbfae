#pragma once
#include <memory>
#include <string>

#include "platform/audio.h"
#include "platform/headless/headless_platform.h"
#include "platform/image_codec.h"
#include "platform/text_rasterizer.h"

namespace avg::test {

// Decodes only the PNG files of pngImage (support/png_files.h) and writes screenshots in
// the same form, opaque.
class FakeImageCodec : public ImageCodec {
 public:
  bool decode(std::span<const uint8_t> bytes, std::string_view extension,
              Surface& out) const override;
  std::optional<std::string> encodePng(const Surface& surface) const override;
};

// Every character is a fully covered cell half as wide as it is high; heights below 1 give
// nothing.
class BlockTextRasterizer : public TextRasterizer {
 public:
  Size measure(std::u32string_view text, const FontRequest& font) override;
  TextRaster rasterize(std::u32string_view text, const FontRequest& font) override;
};

// Sound files through the portable WAVE reader alone: 8- or 16-bit PCM, mono or stereo, at
// the mixer's rate (nothing is resampled), delivered as float stereo.
class WaveOnlyDecoder : public AudioDecoder {
 public:
  std::unique_ptr<AudioStream> openStream(std::optional<std::string> bytes, const std::string& name,
                                          uint32_t rate) override;
  // Music files too, read whole from their path.
  std::unique_ptr<AudioStream> openMusicStream(const std::string& path, uint32_t rate) override;
};

// The three above, for a headless platform that links no back-end; it plays no films.
HeadlessServices makeFakeServices();

}  // namespace avg::test
