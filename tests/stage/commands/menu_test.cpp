// MENU grays and enables the four switchable items of the menu bar.
#include <gtest/gtest.h>

#include "stage/menu_bar.h"
#include "support/game_dir.h"

namespace avg {
namespace {

struct MenuCase {
  std::vector<std::string> lines;
  int32_t item;
  bool enabled;
};

TEST(MenuCommand, GraysOnZeroAndEnablesOnAnyOtherValue) {
  for (const MenuCase& c : {MenuCase{{"MENU,SAVE,%n__0"}, kMenuSave, false},
                            MenuCase{{"MENU,LOAD,%n__0"}, kMenuLoad, false},
                            MenuCase{{"MENU,SKIP,%n__0", "MENU,SKIP,%n__5"}, kMenuSkip, true},
                            MenuCase{{"MENU,TITL,%n__0"}, kMenuTitle, false},
                            MenuCase{{"MENU,TITL,%n__0", "MENU,TITL,%n__1"}, kMenuTitle, true},
                            MenuCase{{"MENU,TITL,%n__-1"}, kMenuTitle, true},
                            MenuCase{{"MENU,QUIT,%n__0", "MENU,VERS,%n__0"}, kMenuQuit, true},
                            MenuCase{{"MENU,QUIT,%n__0", "MENU,VERS,%n__0"}, kMenuVersion, true}}) {
    test::PlayerFixture player;
    std::vector<std::string> lines = c.lines;
    lines.push_back("QUIT");
    player.runScript(lines);
    EXPECT_EQ(player.engine().companion<MenuBar>().enabled(c.item), c.enabled) << c.lines[0];
  }
}

TEST(MenuBar, HoldsTheItemsAndAccelerators) {
  MenuBar menu;
  ASSERT_EQ(menu.items().size(), 5u);
  EXPECT_EQ(menu.items()[0].text, "ゲーム(&G)");
  ASSERT_EQ(menu.items()[0].items.size(), 2u);
  EXPECT_EQ(menu.items()[0].items[0].text, "タイトルへ戻る(&T)");
  EXPECT_EQ(menu.items()[0].items[1].id, kMenuQuit);
  EXPECT_EQ(menu.items()[3].text, "スキップ[F3]");
  EXPECT_EQ(menu.items()[4].text, "バージョン情報(&V)");
  EXPECT_FALSE(menu.enabled(0));  // the popup is no command
  EXPECT_EQ(menu.accelerator(Key::F1, false), kMenuSave);
  EXPECT_EQ(menu.accelerator(Key::F3, false), kMenuSkip);
  EXPECT_EQ(menu.accelerator(Key::V, true), kMenuVersion);
  EXPECT_EQ(menu.accelerator(Key::V, false), std::nullopt);
  EXPECT_EQ(menu.accelerator(Key::F4, false), std::nullopt);
}

}  // namespace
}  // namespace avg
