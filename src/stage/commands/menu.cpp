// MENU: grays and enables items of the menu bar.
#include "script/command_table.h"
#include "script/exec.h"
#include "stage/commands/families.h"
#include "stage/menu_bar.h"

namespace avg {
namespace {

std::optional<int32_t> menuItemOf(uint32_t keyword) {
  switch (keyword) {
    case fourCC("TITL"):
      return kMenuTitle;
    case fourCC("SAVE"):
      return kMenuSave;
    case fourCC("LOAD"):
      return kMenuLoad;
    case fourCC("SKIP"):
      return kMenuSkip;
    default:
      return std::nullopt;
  }
}

// MENU keyword value: value 0 grays the item of TITL, SAVE, LOAD or SKIP, any other enables it.
Outcome menu(Exec& x) {
  if (std::optional<int32_t> id = menuItemOf(x.keyword(1))) {
    x.engine.companion<MenuBar>().setEnabled(*id, x.intValue(2) != 0);
  }
  return x.next();
}

}  // namespace

void registerMenuCommands(CommandTable& table) {
  table.add("MENU", menu, "TITL value:int | SAVE value:int | LOAD value:int | SKIP value:int");
}

}  // namespace avg
