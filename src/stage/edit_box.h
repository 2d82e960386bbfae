#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stage/glyph.h"
#include "stage/text_layout.h"

namespace avg {

// A one-line text entry: one glyph per character, a cursor before which characters are
// inserted, and a composition that scripts replace as it changes. After every change the
// characters are laid out again on one line from the origin.
struct EditBox {
  std::vector<GlyphPtr> characters;
  size_t cursor = 0;
  int32_t compositionLength = 0;
  WindowPlacement placement;
  TextLayout layout{.font = {36, 0, 0xFFFFFFFF}};  // its font is the typing font
  // Until a script sets it, composed text uses the typing font.
  std::optional<FontStyle> compositionFont;

  // Inserts one character (CP932 bytes) before the cursor in the typing font.
  void type(std::string_view character, GlyphRenderer& renderer);
  void backspace();
  void moveCursor(int step);
  void clear();
  // Replaces the last composition before the cursor with the characters of `text`.
  void compose(std::string_view text, GlyphRenderer& renderer);
  // The texts of all characters in order.
  std::string text() const;
  void layOut();

 private:
  void insert(std::string_view character, const FontStyle& font, GlyphRenderer& renderer);
};

}  // namespace avg
