#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/display_layout.h"
#include "platform/surface.h"
#include "platform/text_rasterizer.h"
#include "stage/menu_bar.h"
#include "stage/stage_view.h"

namespace avg {

// What the menu made of an input event.
struct MenuResponse {
  // The menu used the event; the game does not see it.
  bool taken = false;
  // The command of the item the player chose.
  std::optional<int32_t> command;

  static MenuResponse take(bool taken = true) { return {taken, std::nullopt}; }
};

// The menu bar as the player draws and works it: the items across a 640 × 20 bar and the
// popup of "ゲーム(&G)" hanging below it, opened, highlighted and chosen with the pointer or
// the keyboard the way a desktop menu is. Coordinates are menu coordinates: the bar covers
// rows 0 to 19 and popups open from row 20 down.
class MenuBarView {
 public:
  static constexpr int32_t kBarWidth = 640;
  static constexpr int32_t kBarHeight = kMenuStripHeight;
  // The desktop's menu face; a Japanese face stands in where it is not installed.
  static constexpr std::string_view kFace = "MS UI Gothic";

  MenuBarView(const MenuBar& menu, TextRasterizer& text);

  MenuResponse pointerMoved(int32_t x, int32_t y);
  MenuResponse buttonPressed(int32_t x, int32_t y);
  MenuResponse buttonReleased(int32_t x, int32_t y);
  // Alt plus a popup's mnemonic opens it; an open popup takes the arrows, Return, Escape
  // and its items' mnemonics.
  MenuResponse keyPressed(Key key, bool altHeld);
  // The character that follows a key the menu took (Escape, Return) is the menu's too.
  MenuResponse characterTyped();
  // Closes the popup and releases a pressed item without choosing anything.
  void cancel();

  // The menu owns the point: the bar's rows, and everything while it is in use.
  bool covers(int32_t x, int32_t y) const { return tracking() || (y >= 0 && y < kBarHeight); }
  // A popup is open or a bar item is held down: the game waits meanwhile.
  bool tracking() const { return openPopup_ >= 0 || pressedItem_ >= 0; }

  // The bar as it looks now.
  const Surface& bar();
  // The open popup as it looks now; null when none is open.
  const Surface* popup();
  // Where the open popup's top-left corner is.
  IntPoint popupOrigin() const;
  // Changes with every change of the bar's or popup's look.
  uint64_t appearance() const { return changes_ + menu_.revision(); }

 private:
  struct Label {
    std::u32string text;
    int32_t width = 0;
    Surface normal;
    Surface grayed;
  };
  struct Slot {
    int32_t left = 0;
    int32_t right = 0;
  };

  const MenuItem& barItem(int32_t index) const { return menu_.items()[index]; }
  const std::vector<MenuItem>& popupItems() const { return barItem(openPopup_).items; }
  Label makeLabel(const std::string& text);
  int32_t barItemAt(int32_t x, int32_t y) const;
  int32_t popupRowAt(int32_t x, int32_t y) const;
  Rect popupRect() const;
  MenuResponse pressAt(int32_t x, int32_t y);
  MenuResponse releaseAt(int32_t x, int32_t y);
  void setState(int32_t hot, int32_t pressed, int32_t popup, int32_t row);
  void openPopup(int32_t index, int32_t row);
  MenuResponse choose(const MenuItem& item);
  MenuResponse popupKey(Key key);
  void drawLabel(Surface& target, Label& label, bool enabled, int32_t x, int32_t y);
  void redraw();

  const MenuBar& menu_;
  TextRasterizer& text_;
  std::vector<Label> barLabels_;
  std::vector<Slot> slots_;
  std::vector<std::vector<Label>> popupLabels_;
  int32_t popupWidth_ = 0;
  int32_t hotItem_ = -1;
  int32_t pressedItem_ = -1;
  int32_t openPopup_ = -1;
  int32_t popupRow_ = -1;
  bool takeCharacter_ = false;
  bool pressTaken_ = false;
  uint64_t changes_ = 0;
  uint64_t drawn_ = ~uint64_t{0};
  Surface bar_;
  Surface popup_;
};

}  // namespace avg
