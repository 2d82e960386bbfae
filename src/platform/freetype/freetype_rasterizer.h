#pragma once
#include <memory>

#include "platform/text_rasterizer.h"

namespace avg {

// The text rasterizer on FreeType, with faces found through fontconfig.
std::unique_ptr<TextRasterizer> makeFreeTypeRasterizer();

}  // namespace avg
