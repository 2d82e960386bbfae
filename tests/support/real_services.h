#pragma once
#include "platform/headless/headless_platform.h"

namespace avg::test {

// The back-ends the player itself gives its headless platform: SDL2_image, FreeType and
// FFmpeg (sound and films).
HeadlessServices makeRealServices();

}  // namespace avg::test
