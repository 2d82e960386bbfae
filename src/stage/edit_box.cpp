#include "stage/edit_box.h"

#include <algorithm>

namespace avg {

void EditBox::insert(std::string_view character, const FontStyle& font, GlyphRenderer& renderer) {
  characters.insert(characters.begin() + static_cast<ptrdiff_t>(cursor),
                    renderer.create(character, font));
  ++cursor;
}

void EditBox::type(std::string_view character, GlyphRenderer& renderer) {
  insert(character, layout.font, renderer);
  layOut();
}

void EditBox::backspace() {
  if (cursor == 0) return;
  --cursor;
  characters.erase(characters.begin() + static_cast<ptrdiff_t>(cursor));
  layOut();
}

void EditBox::moveCursor(int step) {
  if (step < 0 && cursor > 0) --cursor;
  if (step > 0 && cursor < characters.size()) ++cursor;
}

void EditBox::clear() {
  characters.clear();
  cursor = 0;
}

void EditBox::compose(std::string_view text, GlyphRenderer& renderer) {
  const size_t removed = std::min(cursor, static_cast<size_t>(std::max(compositionLength, 0)));
  characters.erase(characters.begin() + static_cast<ptrdiff_t>(cursor - removed),
                   characters.begin() + static_cast<ptrdiff_t>(cursor));
  cursor -= removed;
  const FontStyle font = compositionFont.value_or(layout.font);
  int32_t inserted = 0;
  for (std::string_view character : splitCharacters(text)) {
    insert(character, font, renderer);
    ++inserted;
  }
  compositionLength = inserted;
  layOut();
}

std::string EditBox::text() const {
  std::string out;
  for (const GlyphPtr& glyph : characters)
    out += glyph->text;
  return out;
}

void EditBox::layOut() {
  float x = layout.originX;
  for (const GlyphPtr& glyph : characters) {
    layout.align(*glyph, x, layout.originY);
    x += static_cast<float>(glyph->width) + layout.spacingX;
  }
}

}  // namespace avg
