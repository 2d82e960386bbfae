// Variables, arrays, the value stack, key switches and load-time binding.
#include <gtest/gtest.h>

#include "support/game_dir.h"

namespace avg {
namespace {

using test::crlf;
using test::PlayerFixture;

// Loading a script creates the variables it names; one name in three types is three
// variables.
TEST(Binding, LoadingAScriptCreatesTheVariablesItNames) {
  PlayerFixture player;
  player.dir().write("other.eve", crlf({"CALN,=___,$n__fromOther,$n__fresh", "CLOS"}));
  player.runScript({"CALN,=___,$n__A,%n__1", "CALF,=___,$f__A,%f__2.5", "CALS,=___,$s__A,%s__three",
                    "LOG_,INT_,$n__mentioned", "CLOS", "CALF,=___,$f__unreached,%f__1"});
  EXPECT_EQ(player.intVar("mentioned"), 0);
  EXPECT_EQ(player.floatVar("unreached"), 0.0f);
  EXPECT_EQ(player.intVar("fresh"), INT32_MIN);  // other.eve was never loaded
  EXPECT_EQ(player.intVar("A"), 1);
  EXPECT_EQ(player.floatVar("A"), 2.5f);
  EXPECT_EQ(player.stringVar("A"), "three");
}

TEST(Variables, DeleteAndClearRemoveOneOrAll) {
  PlayerFixture player;
  player.runScript({"CALN,=___,$n__a,%n__1", "CALN,=___,$n__b,%n__2", "VARN,DEL_,a",
                    "CALS,=___,$s__s,%s__x", "VARS,CLE_", "VARF,XXXX", "CLOS"});
  VariableStore& store = player.engine().variables();
  EXPECT_EQ(store.ints.find("a"), nullptr);
  EXPECT_NE(store.ints.find("b"), nullptr);
  EXPECT_TRUE(store.strings.entries().empty());
}

TEST(Arrays, GetCreatesSetStoresAnyIndex) {
  PlayerFixture player;
  player.runScript({"ARRN,GET_,$n__fresh,$na_arr,%n__4", "ARRN,SET_,%n__7,$na_arr,%n__-3",
                    "ARRN,SET_,%n__9,$na_arr,%n__2147483647", "ARRN,GET_,$n__neg,$na_arr,%n__-3",
                    "ARRS,SET_,%s__word,$sa_words,%n__1", "ARRS,GET_,$s__w,$sa_words,%n__1",
                    "ARRF,SET_,%f__0.5,$fa_f,%n__0", "ARRF,GET_,$f__half,$fa_f,%n__0", "CLOS"});
  EXPECT_EQ(player.intVars("fresh neg"), "fresh=0 neg=7");
  EXPECT_EQ(player.stringVar("w"), "word");
  EXPECT_EQ(player.floatVar("half"), 0.5f);
  IntArray* array = player.engine().variables().intArrays.find("arr");
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(array->size(), 3u);  // 4 was created by GET_
  EXPECT_EQ(array->begin()->first, ArrayKey{-3});
  EXPECT_EQ(array->rbegin()->first, ArrayKey{2147483647});
}

TEST(Arrays, ClearWithoutNameEmptiesDeleteWithoutNameRemoves) {
  PlayerFixture player;
  player.runScript(
      {"ARRN,SET_,%n__1,$na_a,%n__0", "ARRN,SET_,%n__1,$na_b,%n__0", "ARRN,CLE_", "CLOS"});
  VariableStore& store = player.engine().variables();
  ASSERT_NE(store.intArrays.find("a"), nullptr);
  EXPECT_TRUE(store.intArrays.find("a")->empty());
  PlayerFixture second;
  second.runScript({"ARRN,SET_,%n__1,$na_a,%n__0", "ARRN,SET_,%n__1,$na_b,%n__0", "ARRN,DEL_,a",
                    "ARRN,CLE_,b", "ARRN,SET_,%n__2,$na_b,%n__5", "CLOS"});
  EXPECT_EQ(second.engine().variables().intArrays.find("a"), nullptr);
  EXPECT_EQ(second.engine().variables().intArrays.find("b"), nullptr);
}

TEST(Stack, PushPopGetAndEmptyStack) {
  PlayerFixture player;
  player.runScript({"CALN,=___,$n__empty,%n__-1", "STAC,POP_,$n__empty", "STAC,GET_,$n__empty",
                    "STAC,PUSH,%n__1", "STAC,PUSH,%n__2", "STAC,GET_,$n__top", "STAC,POP_",
                    "STAC,POP_,$n__popped", "CLOS"});
  EXPECT_EQ(player.intVars("empty top popped"), "empty=-1 top=2 popped=1");
}

TEST(Global, KeySwitches) {
  PlayerFixture player;
  player.runScript({"GLOB,QSL_,GET_,$n__q0", "GLOB,DISP,GET_,$n__d0", "GLOB,CONF,GET_,$n__c0",
                    "GLOB,QSL_,SET_,%n__5", "GLOB,QSL_,GET_,$n__q1", "GLOB,DISP,SET_,%n__0",
                    "GLOB,DISP,GET_,$n__d1", "CLOS"});
  EXPECT_EQ(player.intVars("q0 d0 q1 d1"), "q0=0 d0=1 q1=1 d1=0");
}

}  // namespace
}  // namespace avg
