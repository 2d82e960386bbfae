// The mouse and pad cells as scripts see them, pass by pass, fed by scripted window events.
#include "input/input_devices.h"

#include <gtest/gtest.h>

#include "support/game_dir.h"

namespace avg {
namespace {

using test::PlayerFixture;

// A script that copies the input cells into variables NAME<pass> on each of `passes` passes.
std::vector<std::string> recordCells(int passes, const std::vector<std::string>& cells) {
  std::vector<std::string> lines;
  for (int pass = 1; pass <= passes; ++pass) {
    for (const std::string& cell : cells)
      lines.push_back("CALN,=___,$n__" + cell + std::to_string(pass) + ",$$__" + cell);
    lines.push_back("NEXT");
  }
  lines.push_back("QUIT");
  return lines;
}

struct PassExpectation {
  int pass;
  int32_t mbut, mbex, mmov, mpz;
};

TEST(MouseCells, FollowTheButtonRulesWithinAndAcrossPasses) {
  PlayerFixture player(parseInputScript(R"(
1 lbutton down
1 lbutton up
3 lbutton down
4 mouse 10 10
5 lbutton up
6 lbutton dbl
7 mouse 20 20
8 lbutton up
8 rbutton down
8 rbutton up
8 rbutton dbl
9 rbutton down
9 wheel -120
10 mouse 30 30
11 rbutton up
)"));
  player.runScript(recordCells(12, {"MBUT", "MBEX", "MMOV", "M_PZ"}));
  for (PassExpectation e : {PassExpectation{1, 0x20, 0, 0, 0},  // a click within one pass
                            {2, 0, 0, 0, 0},
                            {3, 0x10, 0x10, 0, 0},
                            {4, 0x10, 0x10, 1, 0},  // moving while held
                            {5, 0x20, 0, 0, 0},
                            {6, 0x40, 0, 0, 0},  // the double-click's press alone
                            {7, 0x10, 0, 1, 0},  // a move clears it; the button is still down
                            {8, 0x26, 0, 0, 0},
                            {9, 0x01, 0x01, 0, -120},
                            {10, 0x01, 0x01, 1, 0},
                            {11, 0x02, 0, 0, 0},
                            {12, 0, 0, 0, 0}}) {
    std::string n = std::to_string(e.pass);
    EXPECT_EQ(player.intVar("MBUT" + n), e.mbut) << "pass " << n;
    EXPECT_EQ(player.intVar("MBEX" + n), e.mbex) << "pass " << n;
    EXPECT_EQ(player.intVar("MMOV" + n), e.mmov) << "pass " << n;
    EXPECT_EQ(player.intVar("M_PZ" + n), e.mpz) << "pass " << n;
  }
}

TEST(MouseCells, PointerIsInStageUnitsFromTheCentre) {
  PlayerFixture player(parseInputScript("2 mouse 639 479\n"));
  player.runScript(recordCells(2, {"M_PX", "M_PY"}));
  EXPECT_EQ(player.intVar("M_PX1"), 0);  // centred before the pointer was seen
  EXPECT_EQ(player.intVar("M_PY1"), 0);
  EXPECT_EQ(player.intVar("M_PX2"), 510);
  EXPECT_EQ(player.intVar("M_PY2"), 382);
}

TEST(PadCells, PadSelectsThePlayerAtOnce) {
  PlayerFixture player(parseInputScript("1 key W down\n1 key Shift down\n1 key Up down\n"));
  player.dir().write("config.ini", test::crlf({"[INPUT]", "PL=2", "Button=1", "[PL1]", "A=160",
                                               "[PL2]", "UP=87"}));
  player.runScript({"CALN,=___,$n__d0,$$__PDIR", "CALN,=___,$n__b0,$$__PBUT", "PAD_,%n__1",
                    "CALN,=___,$n__d1,$$__PDIR", "CALN,=___,$n__b1,$$__PBUT", "PAD_,%n__2",
                    "CALN,=___,$n__d2,$$__PDIR", "CALN,=___,$n__b2,$$__PBUT", "PAD_,%n__-1",
                    "CALN,=___,$n__d3,$$__PDIR", "CALN,=___,$n__b3,$$__PBUT", "QUIT"});
  EXPECT_EQ(player.intVar("d0"), 1);  // the arrow key of player 1
  EXPECT_EQ(player.intVar("b0"), 1);  // left shift (0xA0) held as Shift
  EXPECT_EQ(player.intVar("d1"), 1);  // W for player 2
  EXPECT_EQ(player.intVar("b1"), 0);
  EXPECT_EQ(player.intVar("d2"), 5);
  EXPECT_EQ(player.intVar("b2"), 0);
  EXPECT_EQ(player.intVar("d3"), 5);  // no such pad: centred, no buttons
  EXPECT_EQ(player.intVar("b3"), 0);
}

TEST(PadCells, KeysReleasedWhileInactiveDoNotStayHeld) {
  PlayerFixture player(parseInputScript("1 key Up down\n2 deactivate\n3 activate\n"));
  player.dir().write("config.ini", test::crlf({"[INPUT]", "PL=1"}));
  player.runScript(recordCells(2, {"PDIR"}));
  EXPECT_EQ(player.intVar("PDIR1"), 1);
  EXPECT_EQ(player.intVar("PDIR2"), 5);
}

}  // namespace
}  // namespace avg
