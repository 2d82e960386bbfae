#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/mixer.h"
#include "platform/audio.h"

namespace avg {

// The sound device without a sound card: the mixer runs on virtual time, so positions and
// the ends of sounds are exact and repeatable. With an output file everything mixed is
// written to it as 16-bit stereo PCM WAVE at the mixer's rate, and handed to the sink too.
class HeadlessSoundDevice : public SoundDevice {
 public:
  static constexpr uint32_t kRate = 48000;
  static constexpr uint16_t kChannels = 2;
  // Receives interleaved 16-bit samples as they are mixed.
  using Sink = std::function<void(const int16_t* samples, size_t count)>;

  HeadlessSoundDevice(std::shared_ptr<AudioDecoder> decoder, const std::string& audioOut,
                      Sink sink = {});
  ~HeadlessSoundDevice() override;
  HeadlessSoundDevice(const HeadlessSoundDevice&) = delete;
  HeadlessSoundDevice& operator=(const HeadlessSoundDevice&) = delete;

  std::unique_ptr<Sound> createSound() override;
  std::unique_ptr<MusicStream> openMusic(const std::string& path) override;
  // Mixes everything up to `elapsedMs` of virtual time since the start.
  void advanceTo(uint64_t elapsedMs);

 private:
  void writeHeader();

  std::shared_ptr<Mixer> mixer_;
  std::shared_ptr<AudioDecoder> decoder_;
  FILE* out_ = nullptr;
  Sink sink_;
  uint64_t mixedFrames_ = 0;
  std::vector<float> buffer_;
  std::vector<int16_t> pcm_;
};

}  // namespace avg
