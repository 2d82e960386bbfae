#include "app/menu_bar_view.h"
#include "graphics/blit.h"

#include <algorithm>

#include "base/text_encoding.h"
#include "graphics/text_image.h"

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

// A menu text as shown: each "&" that marks a mnemonic removed ("&&" shows one "&"), and
// the byte offset of the mnemonic letter in the shown text.
struct ShownText {
  std::string text;
  std::optional<size_t> mnemonic;
};

ShownText shownText(const std::string& text) {
  ShownText shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&' && !shown.mnemonic) shown.mnemonic = shown.text.size();
    }
    shown.text.push_back(text[i]);
  }
  return shown;
}

// The letter key after the "&" of `text`, if it has one.
std::optional<Key> mnemonic(const std::string& text) {
  const ShownText shown = shownText(text);
  if (!shown.mnemonic) return std::nullopt;
  const char letter = static_cast<char>(shown.text[*shown.mnemonic] & ~0x20);
  if (letter < 'A' || letter > 'Z') return std::nullopt;
  return static_cast<Key>(static_cast<int>(Key::A) + (letter - 'A'));
}

// A filled rectangle with a one-pixel edge, as a highlighted menu item is drawn.
void frameRect(Surface& target, const Rect& rect, uint32_t fill, uint32_t edge) {
  target.fill(edge, rect);
  target.fill(fill, {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1});
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
  const FontRequest font{kFace, kTextHeight};
  const ShownText shown = shownText(text);
  Label label;
  label.text = utf8ToCodepoints(shown.text);
  label.width = text_.measure(label.text, font).width;
  if (shown.mnemonic) {
    const std::u32string before = utf8ToCodepoints(shown.text.substr(0, *shown.mnemonic));
    label.mnemonicLeft = text_.measure(before, font).width;
    label.mnemonicWidth =
        text_.measure(std::u32string_view(label.text).substr(before.size(), 1), font).width;
  }
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
  if (state_.popup < 0) return {};
  const int32_t rows = static_cast<int32_t>(popupItems().size());
  int32_t width = kPopupMinWidth;
  for (const Label& label : popupLabels_[state_.popup])
    width = std::max(width, kPopupTextLeft + label.width + kPopupTextRight);
  const int32_t left = slots_[state_.popup].left;
  return {left, kBarHeight, left + width, kBarHeight + 2 * kPopupBorder + rows * kRowHeight};
}

IntPoint MenuBarView::popupOrigin() const {
  const Rect rect = popupRect();
  return {rect.left, rect.top};
}

int32_t MenuBarView::popupRowAt(int32_t x, int32_t y) const {
  const Rect rect = popupRect();
  if (state_.popup < 0 || !rect.contains(x, y)) return -1;
  const int32_t row = (y - rect.top - kPopupBorder) / kRowHeight;
  const bool onRow =
      y - rect.top >= kPopupBorder && row < static_cast<int32_t>(popupItems().size());
  return onRow ? row : -1;
}

void MenuBarView::setState(const State& next) {
  if (next == state_) return;
  state_ = next;
  ++changes_;
}

void MenuBarView::openPopup(int32_t index, int32_t row, bool keyboard) {
  setState({.hot = index, .popup = index, .row = row, .keyboard = keyboard});
}

void MenuBarView::selectBarItem(int32_t index) {
  setState({.hot = index, .keyboard = true});
}

void MenuBarView::cancel() {
  altAlone_ = false;
  setState({});
}

MenuResponse MenuBarView::choose(const MenuItem& item) {
  // A grayed item chooses nothing and leaves the menu as it is.
  if (!item.enabled) return MenuResponse::take();
  cancel();
  return {true, item.id};
}

MenuResponse MenuBarView::pointerMoved(int32_t x, int32_t y) {
  const int32_t item = barItemAt(x, y);
  State next = state_;
  if (state_.popup >= 0) {
    if (item >= 0 && item != state_.popup && !barItem(item).items.empty()) {
      openPopup(item, -1, state_.keyboard);
      return MenuResponse::take();
    }
    next.row = popupRowAt(x, y);
  } else if (!state_.keyboard || item >= 0) {
    next.hot = item;
  }
  setState(next);
  return MenuResponse::take(covers(x, y));
}

MenuResponse MenuBarView::buttonPressed(int32_t x, int32_t y) {
  altAlone_ = false;
  MenuResponse response = pressAt(x, y);
  pressTaken_ = response.taken;
  return response;
}

MenuResponse MenuBarView::pressAt(int32_t x, int32_t y) {
  const int32_t item = barItemAt(x, y);
  if (item >= 0) {
    if (barItem(item).items.empty()) {
      setState({.hot = item, .pressed = item});
    } else if (item == state_.popup) {
      setState({.hot = item});
    } else {
      openPopup(item, -1, false);
    }
    return MenuResponse::take();
  }
  if (tracking()) {
    // A click beside an open popup closes it and goes no further.
    if (!popupRect().contains(x, y)) cancel();
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
  if (state_.pressed >= 0) {
    const int32_t pressed = state_.pressed;
    setState({.hot = item});
    if (item == pressed) return choose(barItem(item));
    return MenuResponse::take();
  }
  if (state_.popup >= 0) {
    const int32_t row = popupRowAt(x, y);
    if (row >= 0) return choose(popupItems()[row]);
    // Releasing on the popup's own title keeps it open; anywhere else closes it.
    if (item != state_.popup && !popupRect().contains(x, y)) cancel();
    return MenuResponse::take();
  }
  return MenuResponse::take(covers(x, y));
}

MenuResponse MenuBarView::keyPressed(Key key, bool altHeld) {
  altAlone_ = key == Key::Alt;
  takeCharacter_ = false;
  if (key == Key::Alt) return {};
  if (key == Key::F10 && !tracking()) {
    selectBarItem(0);
    return MenuResponse::take();
  }
  if (tracking()) {
    takeCharacter_ = true;
    return state_.popup >= 0 ? popupKey(key) : barKey(key);
  }
  if (!altHeld) return {};
  for (int32_t i = 0; i < barItemCount(); ++i) {
    if (!barItem(i).items.empty() && mnemonic(barItem(i).text) == key) {
      takeCharacter_ = true;
      openPopup(i, 0, true);
      return MenuResponse::take();
    }
  }
  return {};
}

void MenuBarView::keyReleased(Key key) {
  if (key != Key::Alt || !altAlone_) return;
  altAlone_ = false;
  if (tracking()) {
    cancel();
  } else {
    selectBarItem(0);
  }
}

MenuResponse MenuBarView::chooseMnemonic(const std::vector<MenuItem>& items, Key key,
                                         bool opensPopups) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (mnemonic(items[i].text) != key) continue;
    if (opensPopups && !items[i].items.empty()) {
      openPopup(static_cast<int32_t>(i), 0, true);
      return MenuResponse::take();
    }
    return choose(items[i]);
  }
  return MenuResponse::take();
}

// Keys while a bar item is selected from the keyboard and no popup is open.
MenuResponse MenuBarView::barKey(Key key) {
  const int32_t count = barItemCount();
  const int32_t hot = state_.hot;
  switch (key) {
    case Key::Left:
      selectBarItem((hot + count - 1) % count);
      return MenuResponse::take();
    case Key::Right:
      selectBarItem((hot + 1) % count);
      return MenuResponse::take();
    case Key::Up:
    case Key::Down:
    case Key::Return:
      if (!barItem(hot).items.empty()) {
        openPopup(hot, 0, true);
        return MenuResponse::take();
      }
      return key == Key::Return ? choose(barItem(hot)) : MenuResponse::take();
    case Key::Escape:
    case Key::F10:
      cancel();
      return MenuResponse::take();
    default:
      return chooseMnemonic(menu_.items(), key, true);
  }
}

MenuResponse MenuBarView::popupKey(Key key) {
  const auto rows = static_cast<int32_t>(popupItems().size());
  const int32_t row = state_.row;
  switch (key) {
    case Key::Up:
      openPopup(state_.popup, row <= 0 ? rows - 1 : row - 1, true);
      return MenuResponse::take();
    case Key::Down:
      openPopup(state_.popup, (row + 1) % rows, true);
      return MenuResponse::take();
    case Key::Left:
    case Key::Right: {
      // Over to the neighbouring bar item, opening its popup when it has one.
      const int32_t count = barItemCount();
      const int32_t next = (state_.popup + (key == Key::Left ? count - 1 : 1)) % count;
      if (barItem(next).items.empty()) {
        selectBarItem(next);
      } else {
        openPopup(next, 0, true);
      }
      return MenuResponse::take();
    }
    case Key::Return:
      return row >= 0 ? choose(popupItems()[row]) : MenuResponse::take();
    case Key::Escape:
      // Back to the selected bar item, as a desktop menu steps back one level.
      selectBarItem(state_.popup);
      return MenuResponse::take();
    case Key::F10:
      cancel();
      return MenuResponse::take();
    default:
      return chooseMnemonic(popupItems(), key, false);
  }
}

MenuResponse MenuBarView::characterTyped() {
  const bool taken = takeCharacter_ || tracking();
  takeCharacter_ = false;
  return MenuResponse::take(taken);
}

void MenuBarView::drawLabel(Surface& target, Label& label, bool enabled, int32_t x, int32_t y) {
  // Each label is rasterized once per colour, when first shown in it.
  Surface& image = enabled ? label.normal : label.grayed;
  const uint32_t color = enabled ? kTextColor : kGrayedColor;
  if (!image.loaded())
    makeTextImage(text_.rasterize(label.text, {kFace, kTextHeight}), color, image);
  blit(target, image, x, y, Blend::alpha(uniformRates(255), 0));
  if (state_.keyboard && label.mnemonicWidth > 0) {
    const int32_t underline = y + kTextHeight;
    const int32_t left = x + label.mnemonicLeft;
    target.fill(colorRefToPixel(color),
                {left, underline, left + label.mnemonicWidth, underline + 1});
  }
}

void MenuBarView::redraw() {
  if (drawn_ == appearance()) return;
  drawn_ = appearance();
  if (!bar_.loaded()) bar_.create(kBarWidth, kBarHeight);
  bar_.fill(kBarColor);
  for (int32_t index = 0; index < barItemCount(); ++index) {
    const Rect slot{slots_[index].left, 0, slots_[index].right, kBarHeight};
    const bool enabled = barItem(index).enabled;
    const bool hot = index == state_.hot;
    if (index == state_.popup || (hot && (state_.keyboard || index == state_.pressed))) {
      frameRect(bar_, slot, kOpenFill, kOpenEdge);
    } else if (hot && enabled) {
      frameRect(bar_, slot, kHotFill, kHotEdge);
    }
    drawLabel(bar_, barLabels_[index], enabled, slot.left + kItemPadding,
              (kBarHeight - kTextHeight) / 2);
  }
  if (state_.popup < 0) return;
  const Rect rect = popupRect();
  popup_.create(rect.width(), rect.height());
  frameRect(popup_, popup_.bounds(), kPopupColor, kPopupEdge);
  const std::vector<MenuItem>& items = popupItems();
  for (size_t row = 0; row < items.size(); ++row) {
    const int32_t top = kPopupBorder + static_cast<int32_t>(row) * kRowHeight;
    if (static_cast<int32_t>(row) == state_.row) {
      frameRect(popup_, {2, top, rect.width() - 2, top + kRowHeight}, kOpenFill, kOpenEdge);
    }
    drawLabel(popup_, popupLabels_[state_.popup][row], items[row].enabled, kPopupTextLeft,
              top + (kRowHeight - kTextHeight) / 2);
  }
}

const Surface& MenuBarView::bar() {
  redraw();
  return bar_;
}

const Surface* MenuBarView::popup() {
  redraw();
  return state_.popup >= 0 ? &popup_ : nullptr;
}

}  // namespace avg
