// Jumps, calls, conditional skips, CONT and POST.
#include <gtest/gtest.h>

#include "support/game_dir.h"

namespace avg {
namespace {

using test::crlf;
using test::mark;
using test::PlayerFixture;

TEST(Control, TraceOfJumpsAndCalls) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"CALL,a", mark("3"), "CLOS", "#a", mark("1"), "CALL,b", mark("2"), "EXIT", "#b", mark("B"),
        "EXIT"},
       "1B23"},
      // Labels after the jump are found; the later definition wins.
      {{"GOTO,dup", "#dup", mark("first"), "CLOS", "#dup", mark("second"), "CLOS"}, "second"},
      {{"IF__,%n__0", mark("a"), mark("b"), "IF__,%n__-3", mark("c"), "IF!_,%n__0", mark("d"),
        "IF!_,%n__1", mark("e"), "IF__,$n__undefinedIsZero", mark("f"), "CLOS"},
       "bcd"},
      {{"JUMP,%n__0", mark("a"), "SW__,%n__2", mark("skipped"), mark("b"),
        "CALN,+___,$n__n,$n__n,%n__1", "CALN,<___,$n__again,$n__n,%n__3", "IF__,$n__again",
        "JUMP,%n__-3", "CLOS"},
       "ab"},
      // A value pushed in a subroutine becomes the return index, unless popped again.
      {{"CALL,sub", mark("returned"), "CLOS", mark("0"), mark("1"), mark("at5"), "CLOS", "#sub",
        "STAC,PUSH,%n__5", "EXIT"},
       "at5"},
      {{"CALL,sub", mark("returned"), "CLOS", "#sub", "STAC,PUSH,%n__5", "STAC,POP_", "EXIT"},
       "returned"},
  };
  for (const auto& [script, trace] : cases) {
    PlayerFixture player;
    player.runScript(script);
    EXPECT_EQ(player.stringVar("trace"), trace);
  }
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
  EXPECT_EQ(player.intVar("last"), 1);
  EXPECT_TRUE(player.engine().threads().empty());
}

TEST(Control, MissingLabelIsReportedInUtf8AndEndsTheThread) {
  PlayerFixture player;
  player.runScript({"GOTO,\x83\x89\x83\x78\x83\x8B", mark("never")});  // "ラベル" in CP932
  EXPECT_EQ(player.boxes(), "[messagebox] ラベル | 指定されたラベルは存在しません -> ok\n");
  EXPECT_EQ(player.dir().read("Err.log"), "指定されたラベルは存在しませんラベル\r\n");
  EXPECT_EQ(player.stringVar("trace"), "");
  EXPECT_TRUE(player.engine().threads().empty());
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

TEST(Control, PostQuitAsksAndOnlyYesCloses) {
  PlayerFixture player;
  player.runScript({"POST,QUIT", "POST,OTHER", "NEXT", mark("still"), "CLOS"});
  EXPECT_EQ(player.boxes(), "[messagebox] 確認 | 終了しますか？ -> no\n");
  EXPECT_EQ(player.stringVar("trace"), "still");
  PlayerFixture closing(parseInputScript("1 answer yes\n"));
  closing.runScript({"POST,QUIT", "#l", "NEXT", "GOTO,l"});
  EXPECT_EQ(closing.app().passes(), 1u);
}

}  // namespace
}  // namespace avg
