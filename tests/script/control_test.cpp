// Jumps, calls, conditional skips, CONT and POST.
#include <gtest/gtest.h>

#include "support/game_dir.h"

namespace avg {
namespace {

using test::crlf;
using test::mark;
using test::PlayerFixture;


TEST(Control, NestedCallsReturnInOrder) {
  PlayerFixture player;
  player.runScript({"CALL,a", mark("3"), "CLOS", "#a", mark("1"), "CALL,b", mark("2"), "EXIT", "#b",
                    mark("B"), "EXIT"});
  EXPECT_EQ(player.stringVar("trace"), "1B23");
}

TEST(Control, LabelsAfterTheJumpAreFoundAndLaterDefinitionWins) {
  PlayerFixture player;
  player.runScript({"GOTO,dup", "#dup", mark("first"), "CLOS", "#dup", mark("second"), "CLOS"});
  EXPECT_EQ(player.stringVar("trace"), "second");
}

TEST(Control, ConditionalSkips) {
  PlayerFixture player;
  player.runScript({"IF__,%n__0", mark("a"), mark("b"), "IF__,%n__-3", mark("c"), "IF!_,%n__0",
                    mark("d"), "IF!_,%n__1", mark("e"), "IF__,$n__undefinedIsZero", mark("f"),
                    "CLOS"});
  EXPECT_EQ(player.stringVar("trace"), "bcd");
}

TEST(Control, ComparisonsFollowedBySkipsBehaveAsTwoCommands) {
  PlayerFixture player;
  player.runScript({"CALN,=___,$n__v,%n__0", "JUMP,%n__2", "CALN,==__,$n__c,$n__v,%n__0",
                    // reached directly by the jump: c is still 0
                    "IF__,$n__c", mark("no"), mark("yes"), "CALN,==__,$n__c,$n__v,%n__0",
                    "IF__,$n__c", mark("T"), "CALN,>=__,$n__c,$n__v,%n__5", "IF!_,$n__c", mark("N"),
                    "CALN,<___,$n__c,$n__v,%n__1", "IF!_,$n__c", mark("skipped"),
                    "CALN,!=__,$n__last,$n__v,%n__1", "IF__,$n__last"});
  EXPECT_EQ(player.stringVar("trace"), "yesTN");
  EXPECT_EQ(player.intVar("c"), 1);
  EXPECT_EQ(player.intVar("last"), 1);
  EXPECT_TRUE(player.engine().threads().empty());
}

TEST(Control, RelativeJumps) {
  PlayerFixture player;
  player.runScript({"JUMP,%n__0", mark("a"), "SW__,%n__2", mark("skipped"), mark("b"),
                    "CALN,+___,$n__n,$n__n,%n__1", "CALN,<___,$n__again,$n__n,%n__3",
                    "IF__,$n__again", "JUMP,%n__-3", "CLOS"});
  EXPECT_EQ(player.stringVar("trace"), "ab");
  EXPECT_EQ(player.intVar("n"), 3);
}

TEST(Control, ValuePushedInSubroutineBecomesTheReturnIndex) {
  PlayerFixture player;
  player.runScript({"CALL,sub", mark("returned"), "CLOS", mark("0"), mark("1"), mark("at5"), "CLOS",
                    "#sub", "STAC,PUSH,%n__5", "EXIT"});
  EXPECT_EQ(player.stringVar("trace"), "at5");
}

TEST(Control, PoppedValueLetsTheSubroutineReturnNormally) {
  PlayerFixture player;
  player.runScript(
      {"CALL,sub", mark("returned"), "CLOS", "#sub", "STAC,PUSH,%n__5", "STAC,POP_", "EXIT"});
  EXPECT_EQ(player.stringVar("trace"), "returned");
}

TEST(Control, MissingLabelIsReportedAndEndsTheThread) {
  PlayerFixture player;
  player.runScript({"GOTO,nowhere", mark("never")});
  EXPECT_EQ(player.boxes(), "[messagebox] nowhere | 指定されたラベルは存在しません -> ok\n");
  EXPECT_EQ(player.dir().read("Err.log"), "指定されたラベルは存在しませんnowhere\r\n");
  EXPECT_EQ(player.stringVar("trace"), "");
  EXPECT_TRUE(player.engine().threads().empty());
}

TEST(Control, MissingCallLabelIsReportedOnceAndConvertedToUtf8) {
  PlayerFixture player;
  player.runScript({"CALL,\x83\x89\x83\x78\x83\x8B", "CLOS"});  // "ラベル" in CP932
  EXPECT_EQ(player.boxes(), "[messagebox] ラベル | 指定されたラベルは存在しません -> ok\n");
}

TEST(Control, ContinueEndsOtherThreadsAndRestartsInTheNewFile) {
  PlayerFixture player;
  player.dir().write("second.eve",
                     crlf({"STAC,GET_,$n__top", mark("S"), "NEXT", mark("S"), "CLOS"}));
  player.runScript({"CALN,=___,$n__top,%n__-1", "THRE,ADD_,%n__1,%s__loop",
                    "THRE,ADD_,%n__2,%s__loop", "THRE,ADD_,%n__3,%s__loop", "STAC,PUSH,%n__9",
                    "NEXT", "CONT,%s__second.eve", "#loop", mark("l"), "NEXT", "GOTO,loop"});
  EXPECT_EQ(player.stringVar("trace"), "lllSS");
  EXPECT_EQ(player.intVar("top"), -1);
  EXPECT_EQ(player.engine().scripts().size(), 0u);
}

TEST(Control, ContinueWithMissingFileEndsTheThread) {
  PlayerFixture player;
  player.runScript({"CONT,%s__missing.eve", mark("never")});
  EXPECT_TRUE(player.engine().threads().empty());
  EXPECT_TRUE(player.engine().scripts().empty());
  EXPECT_EQ(player.boxes(), "");
}

TEST(Control, PostQuitAsksAndNoKeepsRunning) {
  PlayerFixture player;
  player.runScript({"POST,QUIT", "POST,OTHER", "NEXT", mark("still"), "CLOS"});
  EXPECT_EQ(player.boxes(), "[messagebox] 確認 | 終了しますか？ -> no\n");
  EXPECT_EQ(player.stringVar("trace"), "still");
}

TEST(Control, PostQuitAnsweredYesCloses) {
  ScriptedEvent yes;
  yes.frame = 1;
  yes.answer = MessageAnswer::Yes;
  PlayerFixture player({yes});
  player.runScript({"POST,QUIT", "#l", "NEXT", "GOTO,l"});
  EXPECT_EQ(player.boxes(), "[messagebox] 確認 | 終了しますか？ -> yes\n");
  EXPECT_EQ(player.app().passes(), 1u);
}

}  // namespace
}  // namespace avg
