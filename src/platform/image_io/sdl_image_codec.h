#pragma once
#include <memory>

#include "platform/image_codec.h"

namespace avg {

// Pictures through SDL2_image: PNG, BMP, JPEG, GIF, TGA and the rest it knows. Needs no
// video subsystem, so the headless player uses it too.
std::unique_ptr<ImageCodec> makeSdlImageCodec();

}  // namespace avg
