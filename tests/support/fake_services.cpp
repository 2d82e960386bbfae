#include "support/fake_services.h"

#include <fstream>
#include <vector>

#include "audio/pcm_reader.h"
#include "base/game_path.h"
#include "support/png_files.h"

namespace avg::test {
namespace {

// A PCM reader's 8- or 16-bit samples as float stereo; mono is doubled.
class WaveStream : public AudioStream {
 public:
  explicit WaveStream(std::unique_ptr<PcmReader> reader)
      : reader_(std::move(reader)),
        sampleBytes_(reader_->format().bitsPerSample / 8u),
        frameBytes_(sampleBytes_ * reader_->format().channels) {}

  size_t read(float* out, size_t frames) override {
    bytes_.resize(frames * frameBytes_);
    size_t got = reader_->read(bytes_.data(), bytes_.size()) / frameBytes_;
    size_t rightOffset = frameBytes_ - sampleBytes_;
    for (size_t i = 0; i < got; ++i) {
      out[2 * i] = sample(&bytes_[i * frameBytes_]);
      out[2 * i + 1] = sample(&bytes_[i * frameBytes_ + rightOffset]);
    }
    return got;
  }
  void setLoop(bool loop) override { reader_->setLoop(loop); }
  void rewind() override { reader_->rewind(); }
  uint64_t frameCountEstimate() const override { return reader_->pcmSize() / frameBytes_; }

 private:
  float sample(const uint8_t* bytes) const {
    if (sampleBytes_ == 1) return static_cast<float>(bytes[0] - 128) / 128.0f;
    return static_cast<float>(static_cast<int16_t>(bytes[0] | bytes[1] << 8)) / 32768.0f;
  }

  std::unique_ptr<PcmReader> reader_;
  size_t sampleBytes_;
  size_t frameBytes_;
  std::vector<uint8_t> bytes_;
};

}  // namespace

bool FakeImageCodec::decode(std::span<const uint8_t> bytes, std::string_view, Surface& out) const {
  out = Surface();
  return readPngImage(bytes, out);
}

std::optional<std::string> FakeImageCodec::encodePng(const Surface& surface) const {
  if (!surface.loaded()) return std::nullopt;
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < surface.height(); ++y) {
    for (int32_t x = 0; x < surface.width(); ++x)
      pixels.push_back(surface.pixel(x, y) | 0xFF000000);
  }
  return pngImage(surface.width(), surface.height(), pixels);
}

Size BlockTextRasterizer::measure(std::u32string_view text, const FontRequest& font) {
  if (font.height < 1) return {};
  return {static_cast<int32_t>(text.size()) * font.height / 2, font.height};
}

TextRaster BlockTextRasterizer::rasterize(std::u32string_view text, const FontRequest& font) {
  TextRaster raster{measure(text, font), {}};
  raster.coverage.assign(static_cast<size_t>(raster.extent.width) * raster.extent.height * 4, 255);
  return raster;
}

std::unique_ptr<PcmReader> WaveOnlyCodec::openMusic(const std::string& path) {
  std::optional<AudioSource> source = openAudioSource(readPlainFile(path), path);
  return source ? openRawWaveReader(std::move(*source)) : nullptr;
}

std::unique_ptr<AudioStream> WaveOnlyCodec::convert(std::unique_ptr<PcmReader> reader,
                                                    uint32_t rate) {
  const WaveFormat& format = reader->format();
  bool readable = (format.channels == 1 || format.channels == 2) &&
                  (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
                  format.samplesPerSec == rate;
  if (!readable) return nullptr;
  return std::make_unique<WaveStream>(std::move(reader));
}

HeadlessServices makeFakeServices() {
  return {std::make_unique<FakeImageCodec>(), std::make_unique<BlockTextRasterizer>(),
          std::make_shared<WaveOnlyCodec>(), nullptr};
}

}  // namespace avg::test
