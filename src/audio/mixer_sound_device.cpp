#include "audio/mixer_sound_device.h"

namespace avg {

MixerSoundDevice::MixerSoundDevice(AudioOutput& output, std::shared_ptr<AudioDecoder> decoder)
    : output_(output),
      decoder_(std::move(decoder)),
      mixer_(std::make_shared<Mixer>(output.rate(), output.virtualTime())) {
  output_.start([mixer = mixer_](float* out, size_t frames) { mixer->mix(out, frames); });
}

std::unique_ptr<Sound> MixerSoundDevice::createSound() {
  return std::make_unique<MixerSound>(mixer_, decoder_);
}

std::unique_ptr<MusicStream> MixerSoundDevice::openMusic(const std::string& path) {
  return openMixerMusic(mixer_, *decoder_, path);
}

}  // namespace avg
