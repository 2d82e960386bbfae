// The mouse and pad cells as scripts see them, pass by pass, fed by scripted window events.
#include "input/input_devices.h"

#include <gtest/gtest.h>

#include <sstream>

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

// The values a cell had on passes 1 to `passes`, by spaces, in the given base.
std::string byPass(PlayerFixture& player, const std::string& cell, int passes,
                   std::ios_base& (*base)(std::ios_base&) = std::dec) {
  std::string values;
  for (int pass = 1; pass <= passes; ++pass) {
    std::ostringstream value;
    value << base << player.intVar(cell + std::to_string(pass));
    values += (pass > 1 ? " " : "") + value.str();
  }
  return values;
}

// The pointer is centred until it is first seen.
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
10 mouse 639 479
11 rbutton up
)"));
  player.runScript(recordCells(12, {"MBUT", "MBEX", "MMOV", "M_PZ", "M_PX", "M_PY"}));
  // A click within one pass (1); moving while held (4); the double-click's press alone (6);
  // a move clears it while the button is still down (7).
  EXPECT_EQ(byPass(player, "MBUT", 12, std::hex), "20 0 10 10 20 40 10 26 1 1 2 0");
  EXPECT_EQ(byPass(player, "MBEX", 12, std::hex), "0 0 10 10 0 0 0 0 1 1 0 0");
  EXPECT_EQ(byPass(player, "MMOV", 12), "0 0 0 1 0 0 1 0 0 1 0 0");
  EXPECT_EQ(byPass(player, "M_PZ", 12), "0 0 0 0 0 0 0 0 -120 0 0 0");
  // In stage units from the centre: (10, 10), (20, 20) and (639, 479) on the client.
  EXPECT_EQ(byPass(player, "M_PX", 12), "0 0 0 -496 -496 -496 -480 -480 -480 510 510 510");
  EXPECT_EQ(byPass(player, "M_PY", 12), "0 0 0 -368 -368 -368 -352 -352 -352 382 382 382");
}

TEST(PadCells, PadSelectsThePlayerAtOnce) {
  PlayerFixture player(parseInputScript("1 key W down\n1 key Shift down\n1 key Up down\n"));
  player.dir().write("config.ini", test::crlf({"[INPUT]", "PL=2", "Button=1", "[PL1]", "A=160",
                                               "[PL2]", "UP=87"}));
  player.runScript({"CALN,=___,$n__d0,$$__PDIR", "CALN,=___,$n__b0,$$__PBUT", "PAD_,%n__1",
                    "CALN,=___,$n__d1,$$__PDIR", "CALN,=___,$n__b1,$$__PBUT", "PAD_,%n__2",
                    "CALN,=___,$n__d2,$$__PDIR", "CALN,=___,$n__b2,$$__PBUT", "PAD_,%n__-1",
                    "CALN,=___,$n__d3,$$__PDIR", "CALN,=___,$n__b3,$$__PBUT", "QUIT"});
  // Player 1: its arrow key, and left shift (0xA0) held as Shift; player 2: W; player 3 has
  // no pad (centred, no buttons).
  EXPECT_EQ(player.intVars("d0 b0 d1 b1 d2 b2 d3 b3"), "d0=1 b0=1 d1=1 b1=0 d2=5 b2=0 d3=5 b3=0");
}

TEST(PadCells, KeysReleasedWhileInactiveDoNotStayHeld) {
  PlayerFixture player(parseInputScript("1 key Up down\n2 deactivate\n3 activate\n"));
  player.dir().write("config.ini", test::crlf({"[INPUT]", "PL=1"}));
  player.runScript(recordCells(2, {"PDIR"}));
  EXPECT_EQ(player.intVars("PDIR1 PDIR2"), "PDIR1=1 PDIR2=5");
}

}  // namespace
}  // namespace avg
