#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "base/surface.h"
#include "platform/display_layout.h"
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
  // Alt plus a popup's mnemonic opens it; F10 selects the bar's first item. Once in use
  // the menu takes the arrows, Return, Escape and the items' mnemonics.
  MenuResponse keyPressed(Key key, bool altHeld);
  // Alt pressed and released with no key between selects the bar's first item, or leaves
  // the menu when it is in use. Releases always reach the game as well.
  void keyReleased(Key key);
  // The character that follows a key the menu took (Escape, Return) is the menu's too.
  MenuResponse characterTyped();
  // Closes the popup, releases a pressed item and leaves keyboard use, choosing nothing.
  void cancel();

  // The menu owns the point: the bar's rows, and everything while it is in use.
  bool covers(int32_t x, int32_t y) const { return tracking() || (y >= 0 && y < kBarHeight); }
  // A popup is open, a bar item is held down or selected from the keyboard: the game waits
  // meanwhile.
  bool tracking() const { return state_.popup >= 0 || state_.pressed >= 0 || state_.keyboard; }

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
    // Where the mnemonic letter lies, underlined while the keyboard works the menu.
    int32_t mnemonicLeft = 0;
    int32_t mnemonicWidth = 0;
    Surface normal;
    Surface grayed;
  };
  // Indexes are -1 for none.
  struct State {
    // The bar item under the pointer, or selected from the keyboard.
    int32_t hot = -1;
    int32_t pressed = -1;
    int32_t popup = -1;
    int32_t row = -1;
    // The keyboard works the menu: the hot item is selected and mnemonics are underlined.
    bool keyboard = false;
    bool operator==(const State&) const = default;
  };
  struct Slot {
    int32_t left = 0;
    int32_t right = 0;
  };

  const MenuItem& barItem(int32_t index) const { return menu_.items()[index]; }
  const std::vector<MenuItem>& popupItems() const { return barItem(state_.popup).items; }
  int32_t barItemCount() const { return static_cast<int32_t>(menu_.items().size()); }
  Label makeLabel(const std::string& text);
  int32_t barItemAt(int32_t x, int32_t y) const;
  int32_t popupRowAt(int32_t x, int32_t y) const;
  Rect popupRect() const;
  MenuResponse pressAt(int32_t x, int32_t y);
  MenuResponse releaseAt(int32_t x, int32_t y);
  void setState(const State& next);
  void openPopup(int32_t index, int32_t row, bool keyboard);
  void selectBarItem(int32_t index);
  MenuResponse choose(const MenuItem& item);
  MenuResponse chooseMnemonic(const std::vector<MenuItem>& items, Key key, bool opensPopups);
  MenuResponse barKey(Key key);
  MenuResponse popupKey(Key key);
  void drawLabel(Surface& target, Label& label, bool enabled, int32_t x, int32_t y);
  void redraw();

  const MenuBar& menu_;
  TextRasterizer& text_;
  std::vector<Label> barLabels_;
  std::vector<Slot> slots_;
  std::vector<std::vector<Label>> popupLabels_;
  State state_;
  bool takeCharacter_ = false;
  // Alt is down and no other key came since.
  bool altAlone_ = false;
  bool pressTaken_ = false;
  uint64_t changes_ = 0;
  uint64_t drawn_ = ~uint64_t{0};
  Surface bar_;
  Surface popup_;
};

}  // namespace avg
