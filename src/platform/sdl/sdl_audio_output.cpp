#include "platform/sdl/sdl_audio_output.h"

#include <SDL.h>

#include <atomic>
#include <vector>

#include "base/error_log.h"

namespace avg {
namespace {

constexpr int kPreferredRate = 48000;
constexpr Uint16 kBufferFrames = 512;  // 10.7 ms at 48000 Hz

// The device stays paused (silent) while no render function is set.
class SdlAudioOutput : public AudioOutput {
 public:
  SdlAudioOutput() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      writeErrorLogf("SDL audio: %s", SDL_GetError());
    } else {
      audioStarted_ = true;
      openDevice(SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
      SDL_AddEventWatch(&SdlAudioOutput::watchEvents, this);
    }
    lastTicks_ = SDL_GetTicks64();
  }

  ~SdlAudioOutput() override {
    if (!audioStarted_) return;
    SDL_DelEventWatch(&SdlAudioOutput::watchEvents, this);
    if (device_) SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

  uint32_t rate() const override { return static_cast<uint32_t>(rate_); }

  void start(Render render) override {
    render_ = std::move(render);
    if (device_) SDL_PauseAudioDevice(device_, 0);
  }

  // Pausing waits for a callback under way: SDL runs it under the device's lock.
  void stop() override {
    if (device_) SDL_PauseAudioDevice(device_, 1);
    render_ = nullptr;
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
    want.callback = &SdlAudioOutput::fill;
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

  // The replacement keeps the output's rate; SDL converts when the new device differs.
  void reopen() {
    openDevice(0);
    if (device_ && render_) SDL_PauseAudioDevice(device_, 0);
  }

  // Without a device time still passes for the sounds, so that they end as they would.
  void runSilently(Uint64 now) {
    auto frames = static_cast<size_t>((now - lastTicks_) * static_cast<Uint64>(rate_) / 1000);
    scratch_.resize(frames * 2);
    if (frames > 0 && render_) render_(scratch_.data(), frames);
  }

  // Runs only while the device is not paused, that is while a render function is set.
  static void SDLCALL fill(void* userdata, Uint8* stream, int length) {
    auto* self = static_cast<SdlAudioOutput*>(userdata);
    self->render_(reinterpret_cast<float*>(stream),
                  static_cast<size_t>(length) / (2 * sizeof(float)));
  }

  static int SDLCALL watchEvents(void* userdata, SDL_Event* event) {
    auto* self = static_cast<SdlAudioOutput*>(userdata);
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

  Render render_;
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

std::unique_ptr<AudioOutput> makeSdlAudioOutput() {
  return std::make_unique<SdlAudioOutput>();
}

}  // namespace avg
