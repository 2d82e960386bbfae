#pragma once
#include <memory>
#include <string>

#include "audio/mixer_sound_device.h"
#include "platform/audio_codec.h"
#include "platform/headless/headless_audio_output.h"
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

// No codec beyond the portable WAVE reader: nothing compressed is decoded, music files are
// PCM WAVE files read whole, and only 8- or 16-bit PCM, mono or stereo, at the mixer's rate
// converts (nothing is resampled).
class WaveOnlyCodec : public AudioCodec {
 public:
  std::unique_ptr<PcmReader> openCompressed(AudioSource) override { return nullptr; }
  std::unique_ptr<PcmReader> openMusic(const std::string& path) override;
  std::unique_ptr<AudioStream> convert(std::unique_ptr<PcmReader> reader, uint32_t rate) override;
};

// The three above, for a headless platform that links no back-end; it plays no films.
HeadlessServices makeFakeServices();

// The player's sound device on the headless output, decoding through WaveOnlyCodec.
struct HeadlessSound {
  HeadlessAudioOutput output{""};
  MixerSoundDevice device{output,
                          std::make_shared<SoundFileDecoder>(std::make_shared<WaveOnlyCodec>())};
};

}  // namespace avg::test
