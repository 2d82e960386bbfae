#pragma once
#include <memory>

#include "platform/joystick.h"

namespace avg {

// The joysticks SDL sees; without SDL's joystick support the system has none.
std::unique_ptr<Joysticks> makeSdlJoysticks();

}  // namespace avg
