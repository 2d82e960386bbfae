#pragma once
#include <memory>
#include <string>

#include "platform/platform.h"

namespace avg {

// The desktop platform on SDL2. Throws std::runtime_error when SDL cannot start. The window
// delivers the events of `requests`, when given, with its own, also while it waits for one.
Platform makeSdlPlatform(std::unique_ptr<EventSource> requests = nullptr);

}  // namespace avg
