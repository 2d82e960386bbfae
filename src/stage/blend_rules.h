#pragma once
#include <cstdint>
#include <optional>

#include "graphics/blit.h"

namespace avg {

// The blend that draws a sprite part, chosen by its blend mode (0 or 1), whether its picture
// has an alpha channel, and the part's opacity `alpha`; none for other modes.
std::optional<Blend> partBlend(int32_t mode, bool alphaChannel, uint8_t alpha);

// The blend of a glyph piece of text: the alpha-channel blend in a window's or edit box's
// mode (0 or 1); none for other modes.
std::optional<Blend> glyphBlend(int32_t mode, uint8_t alpha);

}  // namespace avg
