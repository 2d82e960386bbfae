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
}

// `script` run with "sub.eve" holding `subFile`: the trace and the number of passes once every
// thread and script has ended, with no message box.
struct TraceCase {
  const char* name;
  std::vector<std::string> subFile;
  std::vector<std::string> script;
  const char* outcome;  // "trace/passes"
};

TEST(Threads, SchedulingThreadsAndProcesses) {
  const TraceCase cases[] = {
      // Pass 1: thread 0, then the new thread 9; thread -2 first runs in pass 2, before 0.
      {"order_within_a_pass",
       {},
       {"THRE,ADD_,%n__9,%s__nine", "THRE,ADD_,%n__-2,%s__minus", mark("0"), "NEXT", mark("0"),
        "CLOS", "#nine", mark("9"), "NEXT", mark("9"), "CLOS", "#minus", mark("m"), "NEXT",
        mark("m"), "CLOS"},
       "09m09m/3"},
      // ADD_ to the thread's own id jumps; a missing label ends the thread.
      {"add_to_own_id",
       {},
       {"THRE,ADD_,%n__0,%s__there", mark("skipped"), "#there", mark("T"),
        "THRE,ADD_,%n__4,%s__nowhere", mark("U"), "THRE,ADD_,%n__0,%s__nowhere", mark("never")},
       "TU/1"},
      // The script unloads with its last thread and is loaded afresh.
      {"unload_and_reload",
       {mark("a"), "CLOS"},
       {"PROC,ADD_,%n__7,%n__1,%s__sub.eve", "NEXT", "CALS,=___,$s__slots,%s__",
        "PROC,ADD_,%n__7,%n__1,%s__sub.eve", "NEXT", "CLOS"},
       "aa/3"},
      // Own slot, other thread: thread 8 ends with the old script, thread 6 runs the new
      // file in the same pass.
      {"own_slot_other_thread",
       {mark("N"), "CLOS"},
       {"THRE,ADD_,%n__8,%s__loop", "PROC,ADD_,%n__0,%n__6,%s__sub.eve", mark("never"), "#loop",
        mark("L"), "NEXT", "GOTO,loop"},
       "N/1"},
      {"other_slot_own_thread_moves",
       {mark("O"), "CLOS"},
       {"THRE,ADD_,%n__2,%s__wait", "PROC,ADD_,%n__5,%n__0,%s__sub.eve", mark("never"), "#wait",
        "NEXT", mark("W"), "CLOS"},
       "OW/2"},
      {"other_slot_other_thread_until_deleted",
       {"#l", mark("x"), "NEXT", "GOTO,l"},
       {"PROC,ADD_,%n__5,%n__3,%s__sub.eve", "NEXT", "NEXT", "PROC,DEL_,%n__5", "NEXT", "NEXT",
        "CLOS"},
       "xx/5"},
      // Thread 3 runs after 0 in passes 1 and 2 and is deleted in pass 3.
      {"thread_delete",
       {},
       {"THRE,ADD_,%n__3,%s__loop", "NEXT", "NEXT", "THRE,DEL_,%n__3", "NEXT", "NEXT",
        "THRE,DEL_,%n__0", mark("never"), "#loop", mark("x"), "NEXT", "GOTO,loop"},
       "xx/5"},
      {"zero_or_negative_wait_does_not_yield", {}, {"WAIT", "SET_,%n__-5", "WAIT", "CLOS"}, "/1"},
      {"names_use_their_first_four_bytes",
       {},
       {"SET_,%n__2", "WAITING", "CALS_EXTRA,+___,$s__trace,$s__trace,%s__v", "CLOS"},
       "v/3"},
      // CONT, and PROC in the slot or thread of its own, end the running thread quietly.
      {"own_slot_and_thread", {}, {"PROC,ADD_,%n__0,%n__0,%s__missing.eve", mark("x")}, "/1"},
      {"own_slot_thread_4", {}, {"PROC,ADD_,%n__0,%n__4,%s__missing.eve", mark("x")}, "/1"},
      {"slot_9_own_thread", {}, {"PROC,ADD_,%n__9,%n__0,%s__missing.eve", mark("x")}, "/1"},
      {"cont_missing", {}, {"CONT,%s__missing.eve", mark("x")}, "/1"},
      // Running past either end, skipping past it, returning past it or QUIT ends the run.
      {"jump_before_the_start", {}, {"JUMP,%n__-5"}, "/1"},
      {"jump_past_the_end", {}, {"JUMP,%n__100"}, "/1"},
      {"skip_past_the_end", {}, {"CALN,=___,$n__c,%n__0", "IF__,$n__c"}, "/1"},
      {"return_past_the_end", {}, {"STAC,PUSH,%n__99999", "EXIT"}, "/1"},
      {"quit", {}, {"THRE,ADD_,%n__-1,%s__l", "QUIT", "#l", "NEXT", "GOTO,l"}, "/1"}};
  for (const TraceCase& c : cases) {
    PlayerFixture player;
    player.dir().write("sub.eve", crlf(c.subFile));
    std::vector<std::string> script = {"CALS,=___,$s__trace,%s__"};  // an empty trace
    script.insert(script.end(), c.script.begin(), c.script.end());
    player.runScript(script);
    EXPECT_EQ(player.stringVar("trace") + "/" + std::to_string(player.app().passes()), c.outcome)
        << c.name;
    EXPECT_TRUE(player.engine().threads().empty()) << c.name;
    EXPECT_TRUE(player.engine().scripts().empty()) << c.name;
    EXPECT_EQ(player.boxes(), "") << c.name;
  }
}

TEST(Processes, OwnSlotOwnThreadRestartsWithEmptyStack) {
  PlayerFixture player;
  player.dir().write("next.eve", crlf({"STAC,GET_,$n__top", mark("N"), "CLOS"}));
  player.runScript(
      {"CALN,=___,$n__top,%n__-1", "STAC,PUSH,%n__42", "PROC,ADD_,%n__0,%n__0,%s__next.eve"});
  EXPECT_EQ(player.stringVar("trace"), "N");
  EXPECT_EQ(player.intVar("top"), -1);  // the stack was emptied: GET_ left it unchanged
}

TEST(Threads, UnknownCommandReportsAndEndsOnlyItsThread) {
  PlayerFixture player;
  player.runScript({"THRE,ADD_,%n__1,%s__other", "ZZZZ,$n__v,%s__text", mark("never"), "#other",
                    "NEXT", mark("O"), "CLOS"});
  EXPECT_EQ(player.stringVar("trace"), "O");
  EXPECT_EQ(player.boxes(),
            "[messagebox] 未定義の命令!! | autoexec.eve : ZZZZ $n__v %s__text  -> ok\n");
}

}  // namespace
}  // namespace avg
