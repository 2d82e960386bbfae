#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "audio/mixer.h"
#include "platform/audio.h"

namespace avg {

// The sound device without a sound card: the mixer runs on virtual time, so positions and
// the ends of sounds are exact and repeatable. With an output file everything mixed is
// written to it as 16-bit stereo PCM WAVE at the mixer's rate.
class HeadlessSoundDevice : public SoundDevice {
 public:
  static constexpr uint32_t kRate = 48000;

  HeadlessSoundDevice(std::shared_ptr<AudioDecoder> decoder, const std::string& audioOut);
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
  uint64_t mixedFrames_ = 0;
  std::vector<float> buffer_;
  std::vector<int16_t> pcm_;
};

}  // namespace avg
