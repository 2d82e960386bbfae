#include "platform/headless/headless_audio_output.h"

#include <algorithm>
#include <cmath>

#include "base/error_log.h"
#include "platform/audio_codec.h"

namespace avg {
namespace {

constexpr uint32_t kWaveHeaderSize = 44;
constexpr uint16_t kBytesPerSample = 2;

void putLe(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out += static_cast<char>(value >> (8 * i) & 0xFF);
}

int16_t toPcm16(float sample) {
  long scaled = std::lrint(sample * 32768.0f);
  return static_cast<int16_t>(std::clamp(scaled, -32768L, 32767L));
}

}  // namespace

HeadlessAudioOutput::HeadlessAudioOutput(const std::string& audioOut, Sink sink)
    : sink_(std::move(sink)) {
  if (audioOut.empty()) return;
  out_ = std::fopen(audioOut.c_str(), "wb");
  if (!out_) {
    writeErrorLog("cannot write the audio output " + audioOut);
    return;
  }
  writeHeader();
}

HeadlessAudioOutput::~HeadlessAudioOutput() {
  if (!out_) return;
  writeHeader();
  std::fclose(out_);
}

void HeadlessAudioOutput::writeHeader() {
  uint64_t dataBytes = renderedFrames_ * kChannels * kBytesPerSample;
  auto dataSize = static_cast<uint32_t>(std::min<uint64_t>(dataBytes, UINT32_MAX - 36));
  std::string header = "RIFF";
  putLe(header, dataSize + 36, 4);
  header += "WAVEfmt ";
  putLe(header, 16, 4);
  putLe(header, kWaveFormatPcm, 2);
  putLe(header, kChannels, 2);
  putLe(header, kRate, 4);
  putLe(header, kRate * kChannels * kBytesPerSample, 4);
  putLe(header, kChannels * kBytesPerSample, 2);
  putLe(header, 8 * kBytesPerSample, 2);
  header += "data";
  putLe(header, dataSize, 4);
  std::fseek(out_, 0, SEEK_SET);
  std::fwrite(header.data(), 1, kWaveHeaderSize, out_);
  std::fseek(out_, 0, SEEK_END);
}

void HeadlessAudioOutput::advanceTo(uint64_t elapsedMs) {
  uint64_t target = elapsedMs * kRate / 1000;
  if (target <= renderedFrames_) return;
  auto frames = static_cast<size_t>(target - renderedFrames_);
  buffer_.resize(frames * kChannels);
  if (render_) {
    render_(buffer_.data(), frames);
  } else {
    std::fill(buffer_.begin(), buffer_.end(), 0.0f);
  }
  renderedFrames_ = target;
  if (!out_ && !sink_) return;
  pcm_.resize(buffer_.size());
  std::transform(buffer_.begin(), buffer_.end(), pcm_.begin(), toPcm16);
  if (out_) std::fwrite(pcm_.data(), sizeof(int16_t), pcm_.size(), out_);
  if (sink_) sink_(pcm_.data(), pcm_.size());
}

}  // namespace avg
