#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stage/glyph.h"
#include "stage/text_layout.h"

namespace avg {

// A numbered text layer: the live text added piece by piece at a cursor, and a log of
// committed pages that can be shown instead of the live text. Pages share their glyphs
// with the live text they were committed from.
struct MessageWindow {
  WindowPlacement placement;
  TextLayout layout;
  float cursorX = 0.0f;
  float cursorY = 0.0f;
  FontStyle currentFont;
  float lineSpacing = 0.0f;
  FontStyle logFont{18, 0, 0xFFFFC0C0};

  std::vector<GlyphPtr> glyphs;
  std::vector<std::vector<GlyphPtr>> logPages;  // oldest first
  std::optional<size_t> shownPage;
  int32_t logAtNewest = 0;

  // Adds a piece of text at the cursor in the current font, aligned on the cursor, and
  // moves the cursor right by its width plus the spacing.
  void add(std::string_view text, GlyphRenderer& renderer);
  void newLine();
  // Current font := default font; cursor := origin.
  void rewind();
  // Removes the live text (pages keep their glyphs) and rewinds.
  void clear();

  // The glyphs drawn now: the shown log page, else the live text.
  const std::vector<GlyphPtr>& visibleGlyphs() const;

  // The message log.
  void commitPage();
  void pageUp(GlyphRenderer& renderer);
  void pageDown(GlyphRenderer& renderer);
  // Stops showing the log; the newest page, in the default colour, becomes the live text.
  void endLog(GlyphRenderer& renderer);
  // Discards every page and shows the live text again.
  void clearLog(GlyphRenderer& renderer);
  // One "!!! Check !!!" line per glyph of every page, as UTF-8.
  std::vector<std::string> logCheckLines() const;

 private:
  void releaseShownPage();
  void showPage(size_t index, GlyphRenderer& renderer);
};

}  // namespace avg
