#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/events.h"
#include "script/engine.h"

namespace avg {

// Command ids of the main window's menu items and accelerators.
enum MenuId : int32_t {
  kMenuSave = 10000,
  kMenuLoad = 20000,
  kMenuSkip = 40000,
  kMenuTitle = 40001,
  kMenuQuit = 40002,
  kMenuVersion = 40003,
};

// An item of the menu bar: a command (id non-zero) or a popup holding items (id 0).
// Texts are UTF-8; "&" marks the mnemonic letter.
struct MenuItem {
  int32_t id = 0;
  std::string text;
  bool enabled = true;
  std::vector<MenuItem> items;
};

// The main window's menu bar: its items, which of them are grayed, and the keys that choose
// them. Scripts gray and enable items (MENU); the window draws and clicks it.
class MenuBar : public EngineCompanion {
 public:
  MenuBar();

  const std::vector<MenuItem>& items() const { return items_; }
  // False for a grayed item; an unknown id is never enabled.
  bool enabled(int32_t id) const;
  void setEnabled(int32_t id, bool enabled);
  // Changes whenever an item is grayed or enabled, so that a drawn bar knows it is stale.
  uint64_t revision() const { return revision_; }
  // The command of an accelerator key (F1, F2, F3, Alt+V), if `key` is one.
  std::optional<int32_t> accelerator(Key key, bool altHeld) const;

 private:
  MenuItem* find(int32_t id);
  const MenuItem* find(int32_t id) const;

  std::vector<MenuItem> items_;
  uint64_t revision_ = 0;
};

}  // namespace avg
