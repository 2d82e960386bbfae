#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/surface.h"

namespace avg {

// A font as text is asked for: the face name (UTF-8), the cell height in pixels and the
// weight (700 when bold, else 400).
struct FontRequest {
  std::string_view face;
  int32_t height = 0;
  bool bold = false;
};

// Text drawn white on black at twice the requested height: a coverage byte per pixel of a
// 2w × 2h picture, rows top to bottom, where w × h is the extent at the requested height.
struct TextRaster {
  Size extent;
  std::vector<uint8_t> coverage;
};

// Measures and draws lines of text in a named face. When the face is not installed, a
// Japanese face that is stands in for it; characters the face lacks are drawn as a visible
// substitute mark. Results depend only on the text, the request and the installed fonts.
class TextRasterizer {
 public:
  static constexpr int32_t kMaxHeight = 256;
  static constexpr int32_t kMaxWidth = 4096;

  virtual ~TextRasterizer() = default;
  // The extent of `text` (Unicode code points): the summed advances, and the cell height.
  // Heights outside 1..kMaxHeight and widths beyond kMaxWidth are clamped.
  virtual Size measure(std::u32string_view text, const FontRequest& font) = 0;
  // `text` measured at `font` and drawn at twice its height.
  virtual TextRaster rasterize(std::u32string_view text, const FontRequest& font) = 0;
};

}  // namespace avg
