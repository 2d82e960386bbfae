// The main window's hooks: menu commands and their accelerators, grayed items, Esc and the
// Version box, fed by scripted window events.
#include <gtest/gtest.h>

#include "stage/menu_bar.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::PlayerFixture;

// Starts with "Flag-Skip" 1 and "Flag-Triger" 0, lets the events of passes 2 and 3 arrive,
// then copies both flags.
const std::vector<std::string> kFlagScript = {"CALN,=___,$n__Flag-Skip,%n__1",
                                              "CALN,=___,$n__Flag-Triger,%n__0",
                                              "NEXT",
                                              "NEXT",
                                              "NEXT",
                                              "CALN,=___,$n__skip,$n__Flag-Skip",
                                              "CALN,=___,$n__triger,$n__Flag-Triger",
                                              "QUIT"};

TEST(MenuHooks, CommandsSetTheFlagsTheScriptsPoll) {
  struct Case {
    const char* input;
    int32_t triger, skip;
    bool grayed = false;  // save, load and title grayed by the script first
  };
  for (const Case& c :
       {Case{"2 menu 10000", 2, 0}, Case{"2 menu 20000", 3, 0}, Case{"2 menu 40001", 1, 0},
        Case{"2 menu 40000", 0, 1}, Case{"2 menu 12345", 0, 1}, Case{"2 key F1 down", 2, 0},
        Case{"2 key F3 up", 0, 1}, Case{"2 key Alt down\n2 key F1 down", 0, 1},
        Case{"2 menu 10000\n2 key F2 down\n2 menu 40001\n", 0, 1, true}}) {
    PlayerFixture player(parseInputScript(c.input));
    std::vector<std::string> script = kFlagScript;
    if (c.grayed)
      script.insert(script.begin(), {"MENU,SAVE,%n__0", "MENU,LOAD,%n__0", "MENU,TITL,%n__0"});
    player.runScript(script);
    EXPECT_EQ(player.intVar("triger"), c.triger) << c.input;
    EXPECT_EQ(player.intVar("skip"), c.skip) << c.input;
  }
}

TEST(MenuHooks, SkipGraysItsOwnItemUntilAScriptEnablesIt) {
  PlayerFixture player(parseInputScript("2 menu 40000\n3 key F3 down\n5 key F3 down\n"));
  player.runScript({"NEXT", "NEXT", "CALN,=___,$n__Flag-Skip,%n__0", "NEXT",
                    "CALN,=___,$n__after_gray,$n__Flag-Skip", "MENU,SKIP,%n__5", "NEXT",
                    "CALN,=___,$n__after_enable,$n__Flag-Skip", "QUIT"});
  EXPECT_EQ(player.intVar("after_gray"), 0);
  EXPECT_EQ(player.intVar("after_enable"), 1);
  EXPECT_FALSE(player.engine().companion<MenuBar>().enabled(kMenuSkip));
}

TEST(MenuHooks, QuitAndEscAskFirstWithNoAsDefault) {
  struct Case {
    std::string config;
    std::string input;
    std::string boxes;
    bool closed;
  };
  const std::string ask = "[messagebox] 確認 | 終了しますか？ -> ";
  for (const Case& c :
       {Case{"", "2 menu 40002", ask + "no\n", false},
        Case{"", "2 answer yes\n2 menu 40002", ask + "yes\n", true},
        Case{"", "2 char 27", ask + "no\n", false},
        Case{"", "2 answer yes\n2 char 27", ask + "yes\n", true},
        Case{"[OPTION]\r\nESC=0\r\n", "2 char 27", "", false}, Case{"", "2 close", "", true}}) {
    PlayerFixture player(parseInputScript(c.input));
    player.dir().write("config.ini", c.config);
    player.runScript({"NEXT", "NEXT", "NEXT", "CALN,=___,$n__ran,%n__1", "QUIT"});
    EXPECT_EQ(player.boxes(), c.boxes) << c.input;
    EXPECT_EQ(player.intVar("ran") == 1, !c.closed) << c.input;
  }
}

// Alt+V opens the Version box; without version.txt it is empty.
TEST(MenuHooks, VersionBoxShowsVersionTxt) {
  PlayerFixture player(parseInputScript("2 key Alt down\n2 key V down\n"));
  player.dir().write("version.txt", "\x83\x51\x81\x5B\x83\x80 1.0\r\n");
  player.runScript({"NEXT", "NEXT", "QUIT"});
  EXPECT_EQ(player.boxes(), "[messagebox] Version | ゲーム 1.0\\n -> ok\n");
  PlayerFixture missing(parseInputScript("2 menu 40003\n"));
  missing.runScript({"NEXT", "NEXT", "QUIT"});
  EXPECT_EQ(missing.boxes(), "[messagebox] Version |  -> ok\n");
}

TEST(MenuHooks, SettleDropsTheInputOfThePass) {
  PlayerFixture player(parseInputScript("2 lbutton down\n2 menu 40001\n"));
  player.runScript({"NEXT", "CALN,=___,$n__mbut,$$__MBUT", "QUIT"});
  EXPECT_EQ(player.intVar("mbut"), 0);
}

// The bar lies in the strip above the picture (picture rows −20 to −1); the Game popup hangs
// over the top of the picture. Clicks that work the menu never reach the game's mouse cells.
TEST(MenuHooks, TheDrawnBarIsWorkedWithThePointer) {
  struct Case {
    const char* input;
    int32_t triger;
    bool gameSawAClick;
  };
  for (const Case& c : {
           Case{"2 mouse 100 -10\n2 lbutton down\n2 lbutton up", 2, false},
           Case{"2 mouse 10 -10\n2 lbutton down\n2 lbutton up\n2 mouse 10 10\n"
                "2 lbutton down\n2 lbutton up",
                1, false},
           Case{"2 mouse 100 10\n2 lbutton down\n2 lbutton up", 0, true},
       }) {
    PlayerFixture player(parseInputScript(c.input));
    const std::string addClicks = "CALN,+___,$n__clicks,$n__clicks,$$__MBUT";
    player.runScript({kFlagScript[1], "NEXT", addClicks, "NEXT", addClicks, "NEXT", addClicks,
                      kFlagScript[6], "QUIT"});
    EXPECT_EQ(player.intVar("triger"), c.triger) << c.input;
    EXPECT_EQ(player.intVar("clicks") != 0, c.gameSawAClick) << c.input;
  }
}

TEST(MenuHooks, QuickKeysOnlyAfterGlobTurnsThemOn) {
  PlayerFixture player(
      parseInputScript("2 lbutton down\n2 key F5 down\n3 lbutton down\n"
                       "3 key F6 down\n"));
  player.runScript({"NEXT", "CALN,=___,$n__before,$$__MBUT", "GLOB,QSL_,SET_,%n__1", "NEXT",
                    "CALN,=___,$n__after,$$__MBUT", "QUIT"});
  EXPECT_EQ(player.intVar("before"), 0x10);
  EXPECT_EQ(player.intVar("after"), 0);
}

}  // namespace
}  // namespace avg
