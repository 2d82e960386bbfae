#pragma once
#include <cstdint>

#include "stage/glyph.h"
#include "stage/matrix.h"

namespace avg {

// Where a message window or edit box is drawn. The matrix follows the other fields only
// when refreshed.
struct WindowPlacement : PiecePlacement {
  int32_t visible = 1;
  int32_t reserved = -1;
  int32_t blendMode = 0;
};

// How a message window or edit box lays out its text: lines start at the origin, each piece
// is followed by the x spacing, and pieces sit on their position by the alignment (0: they
// start at it, 1: they are centred on it, 2: they end at it).
struct TextLayout {
  float originX = 0.0f;
  float originY = 0.0f;
  float spacingX = 0.0f;
  float spacingY = 0.0f;
  FontStyle font;  // the font text returns to (a window's default, an edit box's typing font)
  uint32_t alignH = 1;
  uint32_t alignV = 1;

  // Moves `glyph` to sit on (x, y) by the alignment.
  void align(GlyphItem& glyph, float x, float y) const;

  bool operator==(const TextLayout&) const = default;
};

}  // namespace avg
