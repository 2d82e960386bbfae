#pragma once
#include <memory>
#include <string>

#include "audio/audio_decoder.h"
#include "audio/mixer.h"
#include "platform/audio.h"

namespace avg {

// The sound device: sounds and music decoded by `decoder` and mixed at the output's rate
// into `output`, which pulls the mix from the moment the device exists until it is gone.
class MixerSoundDevice : public SoundDevice {
 public:
  MixerSoundDevice(AudioOutput& output, std::shared_ptr<AudioDecoder> decoder);
  ~MixerSoundDevice() override { output_.stop(); }
  MixerSoundDevice(const MixerSoundDevice&) = delete;
  MixerSoundDevice& operator=(const MixerSoundDevice&) = delete;

  std::unique_ptr<Sound> createSound() override;
  std::unique_ptr<MusicStream> openMusic(const std::string& path) override;
  void pump() override { output_.pump(); }

 private:
  AudioOutput& output_;
  std::shared_ptr<AudioDecoder> decoder_;
  std::shared_ptr<Mixer> mixer_;
};

}  // namespace avg
