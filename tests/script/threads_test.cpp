// Script threads and processes: scheduling order, waiting, THRE, PROC, QUIT and unloading.
#include <gtest/gtest.h>

#include "support/game_dir.h"

namespace avg {
namespace {

using test::crlf;
using test::mark;
using test::PlayerFixture;

TEST(Threads, WaitCounterHoldsForThatManyPasses) {
  PlayerFixture player;
  player.runScript({"SET_,%n__3", "WAIT", "GET_,$n__after", "CLOS"});
  EXPECT_EQ(player.app().passes(), 4u);
  EXPECT_EQ(player.intVar("after"), 0);
  PlayerFixture zero;  // a zero or negative counter does not yield
  zero.runScript({"WAIT", "SET_,%n__-5", "WAIT", "CLOS"});
  EXPECT_EQ(zero.app().passes(), 1u);
}

// `script` run with "sub.eve" holding `subFile`: the trace once every thread has ended.
struct TraceCase {
  const char* name;
  std::vector<std::string> subFile;
  std::vector<std::string> script;
  const char* trace;
};

TEST(Threads, SchedulingThreadsAndProcesses) {
  const TraceCase cases[] = {
      // Pass 1: thread 0, then the new thread 9; thread -2 first runs in pass 2, before 0.
      {"order_within_a_pass",
       {},
       {"THRE,ADD_,%n__9,%s__nine", "THRE,ADD_,%n__-2,%s__minus", mark("0"), "NEXT", mark("0"),
        "CLOS", "#nine", mark("9"), "NEXT", mark("9"), "CLOS", "#minus", mark("m"), "NEXT",
        mark("m"), "CLOS"},
       "09m09m"},
      // ADD_ to the thread's own id jumps; a missing label ends the thread.
      {"add_to_own_id",
       {},
       {"THRE,ADD_,%n__0,%s__there", mark("skipped"), "#there", mark("T"),
        "THRE,ADD_,%n__4,%s__nowhere", mark("U"), "THRE,ADD_,%n__0,%s__nowhere", mark("never")},
       "TU"},
      // The script unloads with its last thread and is loaded afresh.
      {"unload_and_reload",
       {mark("a"), "CLOS"},
       {"PROC,ADD_,%n__7,%n__1,%s__sub.eve", "NEXT", "CALS,=___,$s__slots,%s__",
        "PROC,ADD_,%n__7,%n__1,%s__sub.eve", "NEXT", "CLOS"},
       "aa"},
      // Own slot, other thread: thread 8 ends with the old script, thread 6 runs the new
      // file in the same pass.
      {"own_slot_other_thread",
       {mark("N"), "CLOS"},
       {"THRE,ADD_,%n__8,%s__loop", "PROC,ADD_,%n__0,%n__6,%s__sub.eve", mark("never"), "#loop",
        mark("L"), "NEXT", "GOTO,loop"},
       "N"},
      {"other_slot_own_thread_moves",
       {mark("O"), "CLOS"},
       {"THRE,ADD_,%n__2,%s__wait", "PROC,ADD_,%n__5,%n__0,%s__sub.eve", mark("never"), "#wait",
        "NEXT", mark("W"), "CLOS"},
       "OW"},
      {"other_slot_other_thread_until_deleted",
       {"#l", mark("x"), "NEXT", "GOTO,l"},
       {"PROC,ADD_,%n__5,%n__3,%s__sub.eve", "NEXT", "NEXT", "PROC,DEL_,%n__5", "NEXT", "NEXT",
        "CLOS"},
       "xx"}};
  for (const TraceCase& c : cases) {
    PlayerFixture player;
    player.dir().write("sub.eve", crlf(c.subFile));
    player.runScript(c.script);
    EXPECT_EQ(player.stringVar("trace"), c.trace) << c.name;
    EXPECT_TRUE(player.engine().threads().empty()) << c.name;
    EXPECT_TRUE(player.engine().scripts().empty()) << c.name;
  }
}

TEST(Threads, ThreadDelete) {
  PlayerFixture player;
  player.runScript({"THRE,ADD_,%n__3,%s__loop", "NEXT", "NEXT", "THRE,DEL_,%n__3", "NEXT", "NEXT",
                    "THRE,DEL_,%n__0", mark("never"), "#loop", mark("x"), "NEXT", "GOTO,loop"});
  // Thread 3 ran in passes 1 to 2 (3 runs after 0 in each pass, and is deleted in pass 3).
  EXPECT_EQ(player.stringVar("trace"), "xx");
  EXPECT_EQ(player.app().passes(), 5u);
}

TEST(Processes, OwnSlotOwnThreadRestartsWithEmptyStack) {
  PlayerFixture player;
  player.dir().write("next.eve", crlf({"STAC,GET_,$n__top", mark("N"), "CLOS"}));
  player.runScript(
      {"CALN,=___,$n__top,%n__-1", "STAC,PUSH,%n__42", "PROC,ADD_,%n__0,%n__0,%s__next.eve"});
  EXPECT_EQ(player.stringVar("trace"), "N");
  EXPECT_EQ(player.intVar("top"), -1);  // the stack was emptied: GET_ left it unchanged
}

// CONT, and PROC in the slot or thread of its own, end the running thread quietly.
TEST(Processes, MissingFileEndsTheRunningThreadInOwnCases) {
  for (const char* line :
       {"PROC,ADD_,%n__0,%n__0,%s__missing.eve", "PROC,ADD_,%n__0,%n__4,%s__missing.eve",
        "PROC,ADD_,%n__9,%n__0,%s__missing.eve", "CONT,%s__missing.eve"}) {
    PlayerFixture player;
    player.runScript({std::string(line), mark("after")});
    EXPECT_EQ(player.stringVar("trace"), "") << line;
    EXPECT_TRUE(player.engine().threads().empty()) << line;
    EXPECT_TRUE(player.engine().scripts().empty()) << line;
    EXPECT_EQ(player.boxes(), "") << line;
  }
}

TEST(Threads, UnknownCommandReportsAndEndsOnlyItsThread) {
  PlayerFixture player;
  player.runScript({"THRE,ADD_,%n__1,%s__other", "ZZZZ,$n__v,%s__text", mark("never"), "#other",
                    "NEXT", mark("O"), "CLOS"});
  EXPECT_EQ(player.stringVar("trace"), "O");
  EXPECT_EQ(player.boxes(),
            "[messagebox] 未定義の命令!! | autoexec.eve : ZZZZ $n__v %s__text  -> ok\n");
}

TEST(Threads, CommandNamesUseOnlyTheirFirstFourBytes) {
  PlayerFixture player;
  player.runScript({"SET_,%n__2", "WAITING", "CALN_EXTRA,=___,$n__v,%n__3", "CLOS"});
  EXPECT_EQ(player.app().passes(), 3u);
  EXPECT_EQ(player.intVar("v"), 3);
}

TEST(Threads, RunningPastTheEndJumpingAwayOrQuitEndsTheRun) {
  for (const std::vector<std::string>& script : std::vector<std::vector<std::string>>{
           {"JUMP,%n__-5"},
           {"JUMP,%n__100"},
           {"CALN,=___,$n__c,%n__0", "IF__,$n__c"},
           {"STAC,PUSH,%n__99999", "EXIT"},
           {"THRE,ADD_,%n__-1,%s__l", "QUIT", "#l", "NEXT", "GOTO,l"}}) {
    PlayerFixture player;
    player.runScript(script);
    EXPECT_TRUE(player.engine().threads().empty());
    EXPECT_EQ(player.app().passes(), 1u);
  }
}

}  // namespace
}  // namespace avg
