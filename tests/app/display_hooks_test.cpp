// The colour depth check, the display mode at start and the F7 switch, and the cursor shown
// after each switch into full screen or back.
#include <gtest/gtest.h>

#include <sstream>

#include "app/colour_depth.h"
#include "input/ini_file.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::PlayerFixture;

TEST(ColourDepth, OnlyTrueColourGoesOnWithoutAsking) {
  const std::string warning =
      "[messagebox] 警告 | \\nこのアプリケーションはTrueColor用です。\\n"
      "画面の色数を切り替えてから再度お試し下さい。\\n\\n終了しますか？ -> ";
  struct Case {
    int32_t bits;
    std::optional<MessageAnswer> answer;
    bool goesOn;
    std::string shown;
  };
  for (const Case& c :
       {Case{24, std::nullopt, true, ""}, Case{16, std::nullopt, true, warning + "no\n"},
        Case{16, MessageAnswer::Yes, false, warning + "yes\n"}}) {
    std::ostringstream log;
    HeadlessMessageBoxes boxes(log);
    if (c.answer) boxes.queueAnswer(*c.answer);
    EXPECT_EQ(acceptColourDepth(c.bits, boxes), c.goesOn) << c.bits;
    EXPECT_EQ(log.str(), c.shown) << c.bits;
  }
}

// Records "Flag-FullScreen" before and after the events of pass 2.
const std::vector<std::string> kScreenScript = {"CALN,=___,$n__before,$n__Flag-FullScreen", "NEXT",
                                                "NEXT", "CALN,=___,$n__after,$n__Flag-FullScreen",
                                                "QUIT"};

TEST(ScreenSwitch, StartsAsConfiguredAndF7TogglesShowingTheCursor) {
  struct Case {
    std::string config;
    std::string input;
    int32_t before, after, written, cursorShows;
    bool f7Off = false;  // GLOB DISP turns F7 off
  };
  const std::string full = "[SCREEN]\r\nFULL=5\r\n";
  for (const Case& c :
       {Case{"", "", 0, 0, 0, 0}, Case{full, "", 1, 1, 1, 1}, Case{"", "2 key F7 down", 0, 1, 1, 1},
        Case{full, "2 key F7 down", 1, 0, 0, 2}, Case{"", "2 key F7 up", 0, 0, 0, 0},
        Case{"", "2 key F7 down\n3 key F7 up\n3 key F7 down", 0, 0, 0, 2},
        Case{"", "2 key F7 down", 0, 0, 0, 0, true}}) {
    SCOPED_TRACE(c.config + c.input);
    PlayerFixture player(parseInputScript(c.input));
    player.dir().write("config.ini", c.config);
    std::vector<std::string> lines = kScreenScript;
    if (c.f7Off) lines.insert(lines.begin(), "GLOB,DISP,SET_,%n__0");
    player.runScript(lines);
    EXPECT_EQ(player.intVar("before"), c.before);
    EXPECT_EQ(player.intVar("after"), c.after);
    EXPECT_EQ(IniFile::load("config.ini").integer("SCREEN", "FULL", -1), c.written);
    EXPECT_EQ(dynamic_cast<const HeadlessWindow&>(*player.platform().window).cursorShows(),
              c.cursorShows);
  }
}

}  // namespace
}  // namespace avg
