// CALN, CALF, CALS, CAST and DICE through the loader and dispatcher.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "support/game_dir.h"

namespace avg {
namespace {

using test::PlayerFixture;

// Cases "a op b r", four words each: r, 77 before, is a op b, with a and b read from
// variables. The tilde is not NOT and an unknown operator writes nothing.
TEST(Caln, IntegerOperators) {
  std::istringstream cases(
      "5 =___ 9 5   2147483647 +___ 1 -2147483648   -2147483648 -___ 1 2147483647   "
      "65536 *___ 65536 0   -7 /___ 2 -3   -7 %___ 2 -1   7 %___ -2 1   5 /___ 0 0   "
      "-2147483648 /___ -1 -2147483648   -2147483648 %___ -1 0   12 &___ 10 8   12 ^___ 10 6   "
      "0 \x7F___ 0 -1   0 ~___ 0 77   0 !___ 5 1   3 !___ 0 0   4 ==__ 4 1   -1 <___ 0 1   "
      "3 <=__ 3 1   2 &&__ -1 1   0 ||__ 9 1   1 XYZ_ 1 77");
  int count = 0;
  for (std::string a, op, b, r; cases >> a >> op >> b >> r; ++count) {
    PlayerFixture player;
    player.runScript({"CALN,=___,$n__r,%n__77", "CALN,=___,$n__a,%n__" + a,
                      "CALN,=___,$n__b,%n__" + b, "CALN," + op + ",$n__r,$n__a,$n__b", "CLOS"});
    EXPECT_EQ(player.intVar("r"), std::stoi(r)) << a << " " << op << " " << b;
  }
  EXPECT_EQ(count, 22);
}

TEST(Caln, LogicalFoldsAndRect) {
  const std::pair<std::string, int32_t> cases[] = {
      {"CALN,&&&&,$n__r,%n__5", 5},
      {"CALN,&&&&,$n__r,%n__5,%n__3,%n__0", 0},
      {"CALN,||||,$n__r,%n__7", 7},
      {"CALN,||||,$n__r,%n__0,%n__0,%n__-2", 1},
      {"CALN,RECT,$n__r,%n__10,%n__10,%n__0,%n__0,%n__20,%n__20", 1},
      {"CALN,RECT,$n__r,%n__10,%n__20,%n__0,%n__0,%n__20,%n__20", 0},
      {"CALN,RECT,$n__r,%n__-5,%n__1,%n__-10,%n__0,%n__0,%n__2", 1},
  };
  for (const auto& [line, expected] : cases) {
    PlayerFixture player;
    player.runScript({line, "CLOS"});
    EXPECT_EQ(player.intVar("r"), expected) << line;
  }
}

// Built-in cells and literals are operands; writes to literals are dropped.
TEST(Caln, BuiltinCellsAndLiterals) {
  PlayerFixture player;
  player.runScript({"CALN,=___,$$__RET_,%x__0000001F", "CALN,+___,$n__r,$$__RET_,%n__1",
                    "CALN,=___,%n__5,%n__9", "CALN,=___,$n__five,%n__5", "CLOS"});
  EXPECT_EQ(player.intVar("r"), 32);
  EXPECT_EQ(player.engine().builtin(BuiltinCell::RET_), 31);
  EXPECT_EQ(player.intVar("five"), 5);
}

TEST(Calf, ArithmeticAndComparisons) {
  PlayerFixture player;
  player.runScript({"CALF,+___,$f__sum,%f__1.5,%f__2.25", "CALF,/___,$f__inf,%f__1.0,%f__0",
                    "CALF,<___,$n__less,%f__1.0,%f__2.0", "CALF,>=__,$n__ge,%f__1.0,%f__2.0",
                    "CALF,!___,$n__zero,%f__0.0", "CALF,*___,$f__third,%f__3,%f__0.1", "CLOS"});
  EXPECT_EQ(player.floatVar("sum"), 3.75f);
  EXPECT_TRUE(std::isinf(player.floatVar("inf")));
  EXPECT_EQ(player.intVars("less ge zero"), "less=1 ge=0 zero=1");
  EXPECT_EQ(player.floatVar("third"), 3.0f * 0.1f);
}

TEST(Cals, StringOperators) {
  PlayerFixture player;
  player.runScript({"CALS,=___,$s__s,%s__abc", "CALS,+___,$s__s,$s__s,%s__def",
                    "CALS,==__,$n__eq,$s__s,%s__abcdef", "CALS,!=__,$n__ne,$s__s,%s__abcdef",
                    "CALS,SET_,$s__raw,$n__not_bound", "CLOS"});
  EXPECT_EQ(player.stringVar("s"), "abcdef");
  EXPECT_EQ(player.intVars("eq ne"), "eq=1 ne=0");
  EXPECT_EQ(player.stringVar("raw"), "$n__not_bound");
}

TEST(Cast, Conversions) {
  PlayerFixture player;
  player.runScript(
      {"CAST,INT_,$n__fromText,STR_,%s__ 42xyz", "CAST,INT_,$n__fromFloat,FLT_,%f__-2.7",
       "CAST,FLT_,$f__fromText,STR_,%s__2.5e1", "CAST,FLT_,$f__fromInt,INT_,%n__16777217",
       "CAST,STR_,$s__fromInt,INT_,%n__-305", "CAST,STR_,$s__fromFloat,FLT_,%f__1e10",
       "CALN,=___,$n__same,%n__3", "CAST,INT_,$n__same,INT_,%n__9",
       "CAST,INT_,$n__big,FLT_,%f__1e20", "CAST,INT_,$n__small,FLT_,%f__-1e20",
       "CALF,/___,$f__nan,%f__0,%f__0", "CAST,INT_,$n__nan,FLT_,$f__nan", "CLOS"});
  EXPECT_EQ(player.floatVar("fromText"), 25.0f);
  EXPECT_EQ(player.floatVar("fromInt"), 16777216.0f);
  EXPECT_EQ(player.stringVar("fromInt"), "-305");
  EXPECT_EQ(player.stringVar("fromFloat"), "1.e+010");
  // Out of range saturates.
  EXPECT_EQ(player.intVars("fromText fromFloat same big small nan"),
            "fromText=42 fromFloat=-2 same=3 big=2147483647 small=-2147483648 nan=0");
}

TEST(Dice, SumsThrows) {
  PlayerFixture player;
  player.runScript({"DICE,CAST,$n__none,%n__0,%n__6", "DICE,CAST,$n__ones,%n__3,%n__1",
                    "DICE,CAST,$n__six,%n__2,%n__6", "DICE,CAST,$n__zeroSides,%n__4,%n__0",
                    "DICE,CAST,$n__negative,%n__-2,%n__6", "DICE,XXXX,$n__untouched,%n__1,%n__6",
                    "CLOS"});
  // The generator seeded with 0 gives 38, 7719, 21238, 2437, 8855: six is 2 + 2437 % 6 +
  // 8855 % 6.
  EXPECT_EQ(player.intVars("none ones six zeroSides negative untouched"),
            "none=0 ones=3 six=8 zeroSides=4 negative=-2 untouched=0");
}

}  // namespace
}  // namespace avg
