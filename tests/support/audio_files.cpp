#include "support/audio_files.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "support/bytes.h"

namespace avg::test {
namespace {

class VectorStream : public AudioStream {
 public:
  explicit VectorStream(const std::vector<float>& samples) : samples_(samples) {}
  size_t read(float* out, size_t frames) override {
    size_t n = std::min(frames, samples_.size() / 2 - position_);
    std::copy_n(samples_.data() + position_ * 2, n * 2, out);
    position_ += n;
    return n;
  }
  void setLoop(bool) override {}
  void rewind() override { position_ = 0; }
  uint64_t frameCountEstimate() const override { return samples_.size() / 2; }

 private:
  const std::vector<float>& samples_;
  size_t position_ = 0;
};

}  // namespace

std::string makeWave(uint16_t formatTag, uint16_t channels, uint32_t rate, uint16_t bits,
                     const std::string& data, const std::string& extra) {
  uint16_t blockAlign = static_cast<uint16_t>(channels * bits / 8);
  std::string fmt = littleEndian16(formatTag) + littleEndian16(channels) + littleEndian32(rate) +
                    littleEndian32(rate * blockAlign) + littleEndian16(blockAlign) +
                    littleEndian16(bits) + littleEndian16(static_cast<uint16_t>(extra.size())) +
                    extra;
  std::string body = "WAVEfmt " + littleEndian32(static_cast<uint32_t>(fmt.size())) + fmt;
  if (fmt.size() & 1) body += '\0';
  body += "data" + littleEndian32(static_cast<uint32_t>(data.size())) + data;
  return "RIFF" + littleEndian32(static_cast<uint32_t>(body.size())) + body;
}

std::string pcm16(const std::vector<int16_t>& samples) {
  std::string bytes;
  for (int16_t sample : samples)
    bytes += littleEndian16(static_cast<uint16_t>(sample));
  return bytes;
}

std::vector<int16_t> samples16(const std::string& bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                      static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
  }
  return samples;
}

std::vector<int16_t> tone16(uint32_t rate, size_t frames, double hz, double amplitude) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < frames; ++i) {
    auto value =
        static_cast<int16_t>(std::lround(amplitude * 32767.0 * std::sin(2 * M_PI * hz * i / rate)));
    samples.push_back(value);
    samples.push_back(value);
  }
  return samples;
}

std::string toneWave(size_t frames) {
  return makeWave(1, 2, 48000, 16, pcm16(tone16(48000, frames, 440, 0.5)));
}

std::vector<int16_t> stereoFromLeft(size_t frames, const std::function<double(size_t)>& left) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < frames; ++i) {
    auto value = static_cast<int16_t>(std::lround(left(i)));
    samples.push_back(value);
    samples.push_back(static_cast<int16_t>(-value / 2));
  }
  return samples;
}

std::vector<int16_t> leftOf(const std::vector<int16_t>& stereo) {
  std::vector<int16_t> left;
  for (size_t i = 0; i < stereo.size(); i += 2)
    left.push_back(stereo[i]);
  return left;
}

float floatPeak(const std::string& bytes) {
  float peak = 0.0f;
  for (size_t i = 0; i + sizeof(float) <= bytes.size(); i += sizeof(float)) {
    float sample;
    std::memcpy(&sample, bytes.data() + i, sizeof(float));
    peak = std::max(peak, std::fabs(sample));
  }
  return peak;
}

uint64_t oggLastGranule(const std::string& ogg) {
  size_t page = ogg.rfind("OggS");
  if (page == std::string::npos || page + 14 > ogg.size()) return 0;
  uint64_t granule = 0;
  for (int i = 7; i >= 0; --i)
    granule = granule << 8 | static_cast<uint8_t>(ogg[page + 6 + i]);
  return granule;
}

std::string readAllPcm(PcmReader& reader, size_t chunk) {
  std::string out;
  std::string buffer(chunk, '\0');
  while (size_t n = reader.read(reinterpret_cast<uint8_t*>(buffer.data()), chunk))
    out.append(buffer, 0, n);
  return out;
}

bool runQuietly(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

double rmsDifference(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
  size_t n = std::min(a.size(), b.size());
  double sum = 0;
  for (size_t i = 0; i < n; ++i) {
    double d = (a[i] - b[i]) / 32768.0;
    sum += d * d;
  }
  return n ? std::sqrt(sum / n) : 1.0;
}

std::unique_ptr<AudioStream> FakeDecoder::openStream(std::optional<std::string>,
                                                     const std::string& name, uint32_t) {
  auto it = sounds.find(name);
  if (it == sounds.end()) return nullptr;
  return std::make_unique<VectorStream>(it->second);
}

}  // namespace avg::test
