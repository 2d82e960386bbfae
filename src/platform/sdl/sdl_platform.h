#pragma once
#include <string>

#include "platform/platform.h"

namespace avg {

// The desktop platform on SDL2. Throws std::runtime_error when SDL cannot start.
Platform makeSdlPlatform();

}  // namespace avg
