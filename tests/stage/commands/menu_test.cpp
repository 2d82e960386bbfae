// MENU grays and enables the four switchable items of the menu bar.
#include <gtest/gtest.h>

#include "stage/menu_bar.h"
#include "support/game_dir.h"

namespace avg {
namespace {

TEST(MenuCommand, AnyValueButZeroEnablesAndOnlyFourItemsSwitch) {
  struct Case {
    std::vector<std::string> lines;
    int32_t item;
    bool enabled;
  };
  for (const Case& c : {Case{{"MENU,TITL,%n__0"}, kMenuTitle, false},
                        Case{{"MENU,TITL,%n__0", "MENU,TITL,%n__-1"}, kMenuTitle, true},
                        Case{{"MENU,QUIT,%n__0", "MENU,VERS,%n__0"}, kMenuQuit, true},
                        Case{{"MENU,QUIT,%n__0", "MENU,VERS,%n__0"}, kMenuVersion, true}}) {
    test::PlayerFixture player;
    std::vector<std::string> lines = c.lines;
    lines.push_back("QUIT");
    player.runScript(lines);
    EXPECT_EQ(player.engine().companion<MenuBar>().enabled(c.item), c.enabled) << c.lines.back();
  }
}

TEST(MenuBar, AcceleratorsNeedTheirExactKeys) {
  MenuBar menu;
  EXPECT_EQ(menu.accelerator(Key::F3, false), kMenuSkip);
  EXPECT_EQ(menu.accelerator(Key::V, true), kMenuVersion);
  EXPECT_EQ(menu.accelerator(Key::V, false), std::nullopt);
  EXPECT_EQ(menu.accelerator(Key::F4, false), std::nullopt);
}

}  // namespace
}  // namespace avg
