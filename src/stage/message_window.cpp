#include "stage/message_window.h"

#include <algorithm>
#include <cstdio>

#include "base/text_encoding.h"

namespace avg {
namespace {

void releaseImages(const std::vector<GlyphPtr>& glyphs) {
  for (const GlyphPtr& glyph : glyphs)
    glyph->image.reset();
}

}  // namespace

void MessageWindow::add(std::string_view text, GlyphRenderer& renderer) {
  GlyphPtr glyph = renderer.create(text, currentFont);
  layout.align(*glyph, cursorX, cursorY);
  cursorX += static_cast<float>(glyph->width) + layout.spacingX;
  glyphs.push_back(std::move(glyph));
}

void MessageWindow::newLine() {
  cursorX = layout.originX;
  cursorY += layout.spacingY + lineSpacing;
}

void MessageWindow::rewind() {
  currentFont = layout.font;
  cursorX = layout.originX;
  cursorY = layout.originY;
}

void MessageWindow::clear() {
  glyphs.clear();
  rewind();
}

const std::vector<GlyphPtr>& MessageWindow::visibleGlyphs() const {
  return shownPage ? logPages[*shownPage] : glyphs;
}

void MessageWindow::commitPage() {
  if (!glyphs.empty()) logPages.push_back(glyphs);
}

void MessageWindow::releaseShownPage() {
  if (shownPage) releaseImages(logPages[*shownPage]);
}

void MessageWindow::showPage(size_t index, GlyphRenderer& renderer) {
  shownPage = index;
  for (const GlyphPtr& glyph : logPages[index])
    renderer.renderIn(*glyph, logFont.color);
}

void MessageWindow::pageUp(GlyphRenderer& renderer) {
  if (!shownPage) {
    if (!logPages.empty()) {
      releaseImages(glyphs);
      showPage(logPages.size() - 1, renderer);
    }
    logAtNewest = 1;
    return;
  }
  releaseShownPage();
  showPage(*shownPage == 0 ? 0 : *shownPage - 1, renderer);
  logAtNewest = 0;
}

void MessageWindow::pageDown(GlyphRenderer& renderer) {
  if (!shownPage) return;
  releaseShownPage();
  showPage(std::min(*shownPage + 1, logPages.size() - 1), renderer);
  logAtNewest = *shownPage + 1 == logPages.size() ? 1 : 0;
}

void MessageWindow::endLog(GlyphRenderer& renderer) {
  if (logPages.empty()) return;
  releaseShownPage();
  releaseImages(glyphs);
  shownPage.reset();
  glyphs = logPages.back();
  for (const GlyphPtr& glyph : glyphs)
    renderer.renderIn(*glyph, layout.font.color);
}

void MessageWindow::clearLog(GlyphRenderer& renderer) {
  if (shownPage) {
    releaseShownPage();
    shownPage.reset();
    for (const GlyphPtr& glyph : glyphs)
      if (!glyph->image) renderer.render(*glyph);
  }
  logPages.clear();
  logAtNewest = 0;
}

std::vector<std::string> MessageWindow::logCheckLines() const {
  std::vector<std::string> lines;
  for (size_t page = 0; page < logPages.size(); ++page) {
    for (const GlyphPtr& glyph : logPages[page]) {
      char head[48];
      std::snprintf(head, sizeof head, "!!! Check !!! [%03d] : ", static_cast<int>(page));
      char where[96];
      std::snprintf(where, sizeof where, " (%f,%f) %08x", glyph->x, glyph->y, glyph->drawColor);
      lines.push_back(head + cp932ToUtf8(glyph->text) + where);
    }
  }
  return lines;
}

}  // namespace avg
