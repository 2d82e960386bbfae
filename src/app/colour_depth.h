#pragma once
#include <cstdint>

#include "platform/message_box.h"

namespace avg {

// The player needs a true-colour desktop (24 or 32 bits per pixel). On any other depth it
// warns and asks whether to quit; true means go on (the depth is fine or the answer was No).
bool acceptColourDepth(int32_t bitsPerPixel, MessageBoxes& boxes);

}  // namespace avg
