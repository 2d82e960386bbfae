#include "platform/sdl/sdl_sound.h"

#include <SDL.h>

#include <atomic>
#include <vector>

#include "audio/mixer.h"
#include "base/error_log.h"

namespace avg {
namespace {

constexpr int kPreferredRate = 48000;
constexpr Uint16 kBufferFrames = 512;  // 10.7 ms at 48000 Hz

class SdlSoundDevice : public SoundDevice {
 public:
  explicit SdlSoundDevice(std::shared_ptr<AudioDecoder> decoder) : decoder_(std::move(decoder)) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      writeErrorLogf("SDL audio: %s", SDL_GetError());
    } else {
      audioStarted_ = true;
      openDevice(SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
      SDL_AddEventWatch(&SdlSoundDevice::watchEvents, this);
    }
    mixer_ = std::make_shared<Mixer>(rate_);
    lastTicks_ = SDL_GetTicks64();
    if (device_) SDL_PauseAudioDevice(device_, 0);
  }

  ~SdlSoundDevice() override {
    if (!audioStarted_) return;
    SDL_DelEventWatch(&SdlSoundDevice::watchEvents, this);
    if (device_) SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  std::unique_ptr<Sound> createSound() override {
    return std::make_unique<MixerSound>(mixer_, decoder_);
  }

  std::unique_ptr<MusicStream> openMusic(const std::string& path) override {
    return openMixerMusic(mixer_, *decoder_, path);
  }

  void pump() override {
    Uint64 now = SDL_GetTicks64();
    if (lost_.exchange(false) && device_) {
      SDL_CloseAudioDevice(device_);
      device_ = 0;
      retry_ = true;
    }
    if (!device_ && retry_.exchange(false)) reopen();
    if (!device_) runSilently(now);
    lastTicks_ = now;
  }

 private:
  // Opens the default output; `flags` may let SDL pick the device's own rate.
  void openDevice(int flags) {
    SDL_AudioSpec want{};
    want.freq = rate_;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kBufferFrames;
    want.callback = &SdlSoundDevice::fill;
    want.userdata = this;
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, flags);
    if (!device_) {
      // Retried every second while there is none; one entry tells the story.
      if (!openFailureLogged_) writeErrorLogf("SDL audio: no output device: %s", SDL_GetError());
      openFailureLogged_ = true;
      return;
    }
    openFailureLogged_ = false;
    rate_ = have.freq;
  }

  // The replacement keeps the mixer's rate; SDL converts when the new device differs.
  void reopen() {
    openDevice(0);
    if (device_) SDL_PauseAudioDevice(device_, 0);
  }

  // Without a device time still passes for the sounds, so that they end as they would.
  void runSilently(Uint64 now) {
    auto frames = static_cast<size_t>((now - lastTicks_) * static_cast<Uint64>(rate_) / 1000);
    scratch_.resize(frames * 2);
    if (frames > 0) mixer_->mix(scratch_.data(), frames);
  }

  static void SDLCALL fill(void* userdata, Uint8* stream, int length) {
    auto* self = static_cast<SdlSoundDevice*>(userdata);
    self->mixer_->mix(reinterpret_cast<float*>(stream),
                      static_cast<size_t>(length) / (2 * sizeof(float)));
  }

  static int SDLCALL watchEvents(void* userdata, SDL_Event* event) {
    auto* self = static_cast<SdlSoundDevice*>(userdata);
    bool output = (event->type == SDL_AUDIODEVICEREMOVED || event->type == SDL_AUDIODEVICEADDED) &&
                  !event->adevice.iscapture;
    if (!output) return 1;
    if (event->type == SDL_AUDIODEVICEREMOVED && event->adevice.which == self->device_) {
      self->lost_ = true;
    } else if (event->type == SDL_AUDIODEVICEADDED) {
      self->retry_ = true;  // a device appeared: worth trying again while there is none
    }
    return 1;
  }

  std::shared_ptr<AudioDecoder> decoder_;
  std::shared_ptr<Mixer> mixer_;
  bool audioStarted_ = false;
  bool openFailureLogged_ = false;
  std::atomic<SDL_AudioDeviceID> device_{0};
  int rate_ = kPreferredRate;
  std::atomic<bool> lost_{false};
  Uint64 lastTicks_ = 0;
  std::atomic<bool> retry_{false};
  std::vector<float> scratch_;
};

}  // namespace

std::unique_ptr<SoundDevice> makeSdlSoundDevice(std::shared_ptr<AudioDecoder> decoder) {
  return std::make_unique<SdlSoundDevice>(std::move(decoder));
}

}  // namespace avg
