#include "platform/sdl/sdl_joysticks.h"

#include <SDL.h>

#include <algorithm>
#include <vector>

namespace avg {
namespace {

constexpr int32_t kAxisOffset = 32768;
constexpr int kMaxButtons = 32;

class SdlJoysticks : public Joysticks {
 public:
  SdlJoysticks() { started_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0; }
  ~SdlJoysticks() override {
    for (SDL_Joystick* joystick : opened_) {
      if (joystick) SDL_JoystickClose(joystick);
    }
    if (started_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }

  int32_t count() override { return started_ ? SDL_NumJoysticks() : 0; }

  bool read(int32_t index, JoystickPosition& out) override {
    SDL_Joystick* joystick = open(index);
    if (!joystick || !SDL_JoystickGetAttached(joystick)) return false;
    SDL_JoystickUpdate();
    out.x = axis(joystick, 0);
    out.y = axis(joystick, 1);
    out.z = axis(joystick, 2);
    out.buttons = 0;
    int buttons = std::min(SDL_JoystickNumButtons(joystick), kMaxButtons);
    for (int i = 0; i < buttons; ++i) {
      if (SDL_JoystickGetButton(joystick, i)) out.buttons |= 1u << i;
    }
    return true;
  }

 private:
  static uint32_t axis(SDL_Joystick* joystick, int axis) {
    if (axis >= SDL_JoystickNumAxes(joystick)) return kAxisOffset;
    return static_cast<uint32_t>(SDL_JoystickGetAxis(joystick, axis) + kAxisOffset);
  }

  SDL_Joystick* open(int32_t index) {
    if (!started_ || index < 0 || index >= SDL_NumJoysticks()) return nullptr;
    if (static_cast<size_t>(index) >= opened_.size()) opened_.resize(index + 1, nullptr);
    if (!opened_[index]) opened_[index] = SDL_JoystickOpen(index);
    return opened_[index];
  }

  bool started_ = false;
  std::vector<SDL_Joystick*> opened_;
};

}  // namespace

std::unique_ptr<Joysticks> makeSdlJoysticks() {
  return std::make_unique<SdlJoysticks>();
}

}  // namespace avg
