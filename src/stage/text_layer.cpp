#include "stage/text_layer.h"

#include "stage/blend_rules.h"

#include "base/text_encoding.h"

namespace avg {
namespace {

constexpr uint32_t kBackspace = 8;

std::string utf8Of(uint32_t codepoint) {
  std::string out;
  if (codepoint < 0x80) {
    out += static_cast<char>(codepoint);
  } else if (codepoint < 0x800) {
    out += static_cast<char>(0xC0 | codepoint >> 6);
    out += static_cast<char>(0x80 | (codepoint & 0x3F));
  } else if (codepoint < 0x10000) {
    out += static_cast<char>(0xE0 | codepoint >> 12);
    out += static_cast<char>(0x80 | (codepoint >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (codepoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codepoint >> 18 & 0x07));
    out += static_cast<char>(0x80 | (codepoint >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (codepoint >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (codepoint & 0x3F));
  }
  return out;
}

// Each glyph at M = glyph matrix × `placement`, its top-left corner at the truncated
// translation of M plus the offset. A mode without a blend shows none of them.
void collectGlyphs(DrawList& list, const std::vector<GlyphPtr>& glyphs, const Matrix4& placement,
                   int32_t mode, float offsetX, float offsetY) {
  for (const GlyphPtr& glyph : glyphs) {
    if (!glyph->image || !glyph->image->surface.loaded()) continue;
    std::optional<Blend> blend = glyphBlend(mode, static_cast<uint8_t>(glyph->drawColor >> 24));
    if (!blend) return;
    const Matrix4 m = glyph->matrix * placement;
    list.add(glyph->image->surface, truncateToInt(m.translationX() + offsetX),
             truncateToInt(m.translationY() + offsetY), *blend);
  }
}

}  // namespace

TextLayer::TextLayer(TextRasterizer& rasterizer, std::string faceName)
    : renderer_(rasterizer, std::move(faceName)) {
  windows_[0];
}

MessageWindow& TextLayer::selectWindow(int32_t number) {
  currentWindow_ = number;
  return windows_[number];
}

void TextLayer::removeAllWindows() {
  if (observer_) {
    for (const auto& [number, window] : windows_)
      observer_->textCleared(number);
  }
  windows_.clear();
  selectWindow(0);
}

void TextLayer::removeAllEditBoxes() {
  editBoxes_.clear();
  currentEditBox_.reset();
}

void TextLayer::clearAllLogs() {
  for (auto& [number, window] : windows_)
    window.clearLog(renderer_);
}

void TextLayer::addText(std::string_view text) {
  currentWindow().add(text, renderer_);
  if (observer_) observer_->textAdded(currentWindow_, text);
}

void TextLayer::newLine() {
  currentWindow().newLine();
  if (observer_) observer_->lineBroken(currentWindow_);
}

void TextLayer::clearText() {
  currentWindow().clear();
  if (observer_) observer_->textCleared(currentWindow_);
}

void TextLayer::endLog() {
  MessageWindow& window = currentWindow();
  if (window.logPages.empty()) return;
  window.endLog(renderer_);
  if (observer_) observer_->textCleared(currentWindow_);
}

bool TextLayer::showsLiveText(int32_t number) const {
  auto window = windows_.find(number);
  return window != windows_.end() && window->second.placement.visible && !window->second.shownPage;
}

EditBox& TextLayer::selectEditBox(int32_t number) {
  currentEditBox_ = number;
  return editBoxes_[number];
}

EditBox* TextLayer::currentEditBox() {
  return currentEditBox_ ? &editBoxes_.at(*currentEditBox_) : nullptr;
}

void TextLayer::typeCharacter(uint32_t codepoint) {
  EditBox* box = currentEditBox();
  if (!box) return;
  if (codepoint == kBackspace) {
    box->backspace();
    return;
  }
  std::string bytes = typedCharacterBytes(codepoint);
  if (!bytes.empty()) box->type(bytes, renderer_);
}

void TextLayer::moveEditCursor(int step) {
  if (EditBox* box = currentEditBox()) box->moveCursor(step);
}

void TextLayer::collectEditBoxes(DrawList& list, const StageView& view) const {
  for (const auto& [number, box] : editBoxes_) {
    if (!box.placement.visible) continue;
    list.beginGroup(&box);
    collectGlyphs(list, box.characters, box.placement.matrix * view.viewMatrix(),
                  box.placement.blendMode, 0.0f, 0.0f);
  }
}

void TextLayer::collectMessageWindows(DrawList& list, const StageView& view) const {
  for (const auto& [number, window] : windows_) {
    if (!window.placement.visible) continue;
    list.beginGroup(&window);
    collectGlyphs(list, window.visibleGlyphs(), window.placement.matrix, window.placement.blendMode,
                  view.windowOffsetX(), view.windowOffsetY());
  }
}

std::string typedCharacterBytes(uint32_t codepoint) {
  if (codepoint < 0x20 || codepoint == 0x7F || codepoint > 0x10FFFF) return {};
  if (codepoint < 0x80) return std::string(1, static_cast<char>(codepoint));
  std::string bytes = utf8ToCp932(utf8Of(codepoint));
  // A lone '?' is what characters without a CP932 form become.
  if (bytes == "?" || splitCharacters(bytes).size() != 1) return {};
  return bytes;
}

}  // namespace avg
