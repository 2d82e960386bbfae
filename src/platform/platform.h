#pragma once
#include <memory>

#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/image_codec.h"
#include "platform/joystick.h"
#include "platform/message_box.h"
#include "platform/window.h"

namespace avg {

// The platform services the player runs on, chosen once at start (SDL or headless).
struct Platform {
  std::unique_ptr<Clock> clock;
  std::unique_ptr<MessageBoxes> messageBoxes;
  std::unique_ptr<ImageCodec> images;
  // Declared before the window, which may refer to it, so that it outlives the window.
  std::unique_ptr<Display> display;
  std::unique_ptr<Window> window;
  std::unique_ptr<SoundDevice> sound;
  std::unique_ptr<Joysticks> joysticks = std::make_unique<NoJoysticks>();
};

}  // namespace avg
