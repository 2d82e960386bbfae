#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/audio.h"

namespace avg {

// The sound output without a sound card: frames are pulled on virtual time, so positions and
// the ends of sounds are exact and repeatable. With an output file everything rendered is
// written to it as 16-bit stereo PCM WAVE at 48000 Hz, and handed to the sink too.
class HeadlessAudioOutput : public AudioOutput {
 public:
  static constexpr uint32_t kRate = 48000;
  static constexpr uint16_t kChannels = 2;
  // Receives interleaved 16-bit samples as they are rendered.
  using Sink = std::function<void(const int16_t* samples, size_t count)>;

  explicit HeadlessAudioOutput(const std::string& audioOut, Sink sink = {});
  ~HeadlessAudioOutput() override;
  HeadlessAudioOutput(const HeadlessAudioOutput&) = delete;
  HeadlessAudioOutput& operator=(const HeadlessAudioOutput&) = delete;

  uint32_t rate() const override { return kRate; }
  bool virtualTime() const override { return true; }
  void start(Render render) override { render_ = std::move(render); }
  void stop() override { render_ = nullptr; }
  // Renders everything up to `elapsedMs` of virtual time since the start (silence while
  // stopped).
  void advanceTo(uint64_t elapsedMs);

 private:
  void writeHeader();

  Render render_;
  FILE* out_ = nullptr;
  Sink sink_;
  uint64_t renderedFrames_ = 0;
  std::vector<float> buffer_;
  std::vector<int16_t> pcm_;
};

}  // namespace avg
