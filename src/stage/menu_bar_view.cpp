#include "stage/menu_bar_view.h"

#include <algorithm>

#include "platform/text_image.h"

namespace avg {
namespace {

constexpr int32_t kTextHeight = 12;
constexpr int32_t kItemPadding = 7;
constexpr int32_t kPopupBorder = 3;
constexpr int32_t kRowHeight = 20;
constexpr int32_t kPopupTextLeft = 28;
constexpr int32_t kPopupTextRight = 24;
constexpr int32_t kPopupMinWidth = 120;

constexpr uint32_t kBarColor = 0xF0F0F0;
constexpr uint32_t kPopupColor = 0xF2F2F2;
constexpr uint32_t kPopupEdge = 0xA0A0A0;
constexpr uint32_t kHotFill = 0xE5F3FF;
constexpr uint32_t kHotEdge = 0xCCE8FF;
constexpr uint32_t kOpenFill = 0xCCE8FF;
constexpr uint32_t kOpenEdge = 0x99D1FF;
constexpr uint32_t kTextColor = 0x000000;
constexpr uint32_t kGrayedColor = 0x6D6D6D;

// The text as shown: each "&" that marks a mnemonic removed ("&&" shows one "&").
std::string shownText(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown.push_back(text[i]);
  }
  return shown;
}

// The letter key after the "&" of `text`, if it has one.
std::optional<Key> mnemonic(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    char letter = static_cast<char>(text[i + 1] & ~0x20);
    if (letter < 'A' || letter > 'Z') return std::nullopt;
    return static_cast<Key>(static_cast<int>(Key::A) + (letter - 'A'));
  }
  return std::nullopt;
}

void fillRect(Surface& target, const Rect& rect, uint32_t color) {
  const Rect area = rect.intersect(target.bounds());
  for (int32_t y = area.top; y < area.bottom; ++y)
    std::fill(target.row(y) + area.left, target.row(y) + area.right, color);
}

// A filled rectangle with a one-pixel edge, as a highlighted menu item is drawn.
void frameRect(Surface& target, const Rect& rect, uint32_t fill, uint32_t edge) {
  fillRect(target, rect, edge);
  fillRect(target, {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1}, fill);
}

bool inside(const Rect& rect, int32_t x, int32_t y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

}  // namespace

MenuBarView::MenuBarView(const MenuBar& menu, TextRasterizer& text) : menu_(menu), text_(text) {
  int32_t left = 0;
  for (const MenuItem& item : menu_.items()) {
    Label label = makeLabel(item.text);
    slots_.push_back({left, left + label.width + 2 * kItemPadding});
    left = slots_.back().right;
    barLabels_.push_back(std::move(label));
    std::vector<Label> popup;
    for (const MenuItem& inner : item.items)
      popup.push_back(makeLabel(inner.text));
    popupLabels_.push_back(std::move(popup));
  }
}

MenuBarView::Label MenuBarView::makeLabel(const std::string& text) {
  Label label;
  label.text = utf8ToCodepoints(shownText(text));
  label.width = text_.measure(label.text, {kFace, kTextHeight}).width;
  return label;
}

int32_t MenuBarView::barItemAt(int32_t x, int32_t y) const {
  if (y < 0 || y >= kBarHeight) return -1;
  for (size_t i = 0; i < slots_.size(); ++i) {
    if (x >= slots_[i].left && x < slots_[i].right) return static_cast<int32_t>(i);
  }
  return -1;
}

Rect MenuBarView::popupRect() const {
  if (openPopup_ < 0) return {};
  const int32_t rows = static_cast<int32_t>(popupItems().size());
  int32_t width = kPopupMinWidth;
  for (const Label& label : popupLabels_[openPopup_])
    width = std::max(width, kPopupTextLeft + label.width + kPopupTextRight);
  const int32_t left = slots_[openPopup_].left;
  return {left, kBarHeight, left + width, kBarHeight + 2 * kPopupBorder + rows * kRowHeight};
}

IntPoint MenuBarView::popupOrigin() const {
  const Rect rect = popupRect();
  return {rect.left, rect.top};
}

int32_t MenuBarView::popupRowAt(int32_t x, int32_t y) const {
  const Rect rect = popupRect();
  if (openPopup_ < 0 || !inside(rect, x, y)) return -1;
  const int32_t row = (y - rect.top - kPopupBorder) / kRowHeight;
  const bool onRow =
      y - rect.top >= kPopupBorder && row < static_cast<int32_t>(popupItems().size());
  return onRow ? row : -1;
}

void MenuBarView::setState(int32_t hot, int32_t pressed, int32_t popup, int32_t row) {
  if (hot == hotItem_ && pressed == pressedItem_ && popup == openPopup_ && row == popupRow_) return;
  hotItem_ = hot;
  pressedItem_ = pressed;
  openPopup_ = popup;
  popupRow_ = row;
  ++changes_;
}

void MenuBarView::openPopup(int32_t index, int32_t row) {
  setState(index, -1, index, row);
}

void MenuBarView::cancel() {
  setState(-1, -1, -1, -1);
}

MenuResponse MenuBarView::choose(const MenuItem& item) {
  // A grayed item chooses nothing and leaves the menu as it is.
  if (!item.enabled) return MenuResponse::take();
  cancel();
  return {true, item.id};
}

MenuResponse MenuBarView::pointerMoved(int32_t x, int32_t y) {
  const int32_t item = barItemAt(x, y);
  if (openPopup_ >= 0) {
    if (item >= 0 && item != openPopup_ && !barItem(item).items.empty()) {
      openPopup(item, -1);
    } else {
      setState(hotItem_, -1, openPopup_, popupRowAt(x, y));
    }
    return MenuResponse::take();
  }
  setState(item, pressedItem_, -1, -1);
  return MenuResponse::take(covers(x, y));
}

MenuResponse MenuBarView::buttonPressed(int32_t x, int32_t y) {
  MenuResponse response = pressAt(x, y);
  pressTaken_ = response.taken;
  return response;
}

MenuResponse MenuBarView::pressAt(int32_t x, int32_t y) {
  const int32_t item = barItemAt(x, y);
  if (item >= 0) {
    if (barItem(item).items.empty()) {
      setState(item, item, -1, -1);
    } else if (item == openPopup_) {
      setState(item, -1, -1, -1);
    } else {
      openPopup(item, -1);
    }
    return MenuResponse::take();
  }
  if (openPopup_ >= 0) {
    // A click beside an open popup closes it and goes no further.
    if (!inside(popupRect(), x, y)) cancel();
    return MenuResponse::take();
  }
  return MenuResponse::take(covers(x, y));
}

MenuResponse MenuBarView::buttonReleased(int32_t x, int32_t y) {
  MenuResponse response = releaseAt(x, y);
  // The release of a press the menu took is the menu's too.
  response.taken = response.taken || pressTaken_;
  pressTaken_ = false;
  return response;
}

MenuResponse MenuBarView::releaseAt(int32_t x, int32_t y) {
  const int32_t item = barItemAt(x, y);
  if (pressedItem_ >= 0) {
    const int32_t pressed = pressedItem_;
    setState(item, -1, -1, -1);
    if (item == pressed) return choose(barItem(item));
    return MenuResponse::take();
  }
  if (openPopup_ >= 0) {
    const int32_t row = popupRowAt(x, y);
    if (row >= 0) return choose(popupItems()[row]);
    // Releasing on the popup's own title keeps it open; anywhere else closes it.
    if (item != openPopup_ && !inside(popupRect(), x, y)) cancel();
    return MenuResponse::take();
  }
  return MenuResponse::take(covers(x, y));
}

MenuResponse MenuBarView::keyPressed(Key key, bool altHeld) {
  takeCharacter_ = false;
  if (openPopup_ >= 0) {
    takeCharacter_ = true;
    return popupKey(key);
  }
  if (!altHeld) return {};
  for (size_t i = 0; i < menu_.items().size(); ++i) {
    const MenuItem& item = menu_.items()[i];
    if (!item.items.empty() && mnemonic(item.text) == key) {
      takeCharacter_ = true;
      openPopup(static_cast<int32_t>(i), 0);
      return MenuResponse::take();
    }
  }
  return {};
}

MenuResponse MenuBarView::popupKey(Key key) {
  const auto rows = static_cast<int32_t>(popupItems().size());
  switch (key) {
    case Key::Up:
      setState(hotItem_, -1, openPopup_, popupRow_ <= 0 ? rows - 1 : popupRow_ - 1);
      return MenuResponse::take();
    case Key::Down:
      setState(hotItem_, -1, openPopup_, (popupRow_ + 1) % rows);
      return MenuResponse::take();
    case Key::Return:
      return popupRow_ >= 0 ? choose(popupItems()[popupRow_]) : MenuResponse::take();
    case Key::Escape:
      cancel();
      return MenuResponse::take();
    default:
      break;
  }
  for (const MenuItem& item : popupItems()) {
    if (mnemonic(item.text) == key) return choose(item);
  }
  return MenuResponse::take();
}

MenuResponse MenuBarView::characterTyped() {
  const bool taken = takeCharacter_ || tracking();
  takeCharacter_ = false;
  return MenuResponse::take(taken);
}

void MenuBarView::drawLabel(Surface& target, Label& label, bool enabled, int32_t x, int32_t y) {
  // Each label is rasterized once per colour, when first shown in it.
  Surface& image = enabled ? label.normal : label.grayed;
  if (!image.loaded()) {
    makeTextImage(text_.rasterize(label.text, {kFace, kTextHeight}),
                  enabled ? kTextColor : kGrayedColor, image);
  }
  target.blit(image, x, y, Blend::alpha(uniformRates(255), 0));
}

void MenuBarView::redraw() {
  if (drawn_ == appearance()) return;
  drawn_ = appearance();
  if (!bar_.loaded()) bar_.create(kBarWidth, kBarHeight);
  bar_.fill(kBarColor);
  for (size_t i = 0; i < slots_.size(); ++i) {
    const auto index = static_cast<int32_t>(i);
    const Rect slot{slots_[i].left, 0, slots_[i].right, kBarHeight};
    const bool enabled = barItem(index).enabled;
    if (index == openPopup_ || (index == pressedItem_ && index == hotItem_)) {
      frameRect(bar_, slot, kOpenFill, kOpenEdge);
    } else if (index == hotItem_ && enabled) {
      frameRect(bar_, slot, kHotFill, kHotEdge);
    }
    drawLabel(bar_, barLabels_[i], enabled, slot.left + kItemPadding,
              (kBarHeight - kTextHeight) / 2);
  }
  if (openPopup_ < 0) return;
  const Rect rect = popupRect();
  popup_.create(rect.width(), rect.height());
  frameRect(popup_, popup_.bounds(), kPopupColor, kPopupEdge);
  const std::vector<MenuItem>& items = popupItems();
  for (size_t row = 0; row < items.size(); ++row) {
    const int32_t top = kPopupBorder + static_cast<int32_t>(row) * kRowHeight;
    if (static_cast<int32_t>(row) == popupRow_) {
      frameRect(popup_, {2, top, rect.width() - 2, top + kRowHeight}, kOpenFill, kOpenEdge);
    }
    drawLabel(popup_, popupLabels_[openPopup_][row], items[row].enabled, kPopupTextLeft,
              top + (kRowHeight - kTextHeight) / 2);
  }
}

const Surface& MenuBarView::bar() {
  redraw();
  return bar_;
}

const Surface* MenuBarView::popup() {
  redraw();
  return openPopup_ >= 0 ? &popup_ : nullptr;
}

}  // namespace avg
