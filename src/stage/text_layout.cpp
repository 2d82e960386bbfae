#include "stage/text_layout.h"

namespace avg {

void TextLayout::align(GlyphItem& glyph, float x, float y) const {
  glyph.moveTo(x - static_cast<float>(alignH) * static_cast<float>(glyph.width) * 0.5f,
               y - static_cast<float>(alignV) * static_cast<float>(glyph.height) * 0.5f);
}

}  // namespace avg
