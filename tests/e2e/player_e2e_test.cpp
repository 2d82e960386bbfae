// The real binary on small game directories, in headless mode.
#include <gtest/gtest.h>

#include <regex>

#include "support/game_dir.h"
#include "support/player_run.h"

namespace avg {
namespace {

using test::crlf;
using test::quoted;
using test::runPlayer;
using test::TempGameDir;

// The start script goes on in a script named by a Windows path in another case.
TEST(PlayerE2E, RunsTheGameAndLogsInUtf8) {
  TempGameDir game;
  game.write("autoexec.eve", crlf({"CONT,%s__SCRIPTS\\part2.eve"}));
  game.write(
      "scripts/Part2.EVE",
      crlf({"CALN,=___,$n__n,%n__41", "CALN,+___,$n__n,$n__n,%n__1", "LOG_,INT_,$n__n,%s__answer",
            "LOG_,STR_,%s__\x93\xFA\x96\x7B,%s__\x8C\xBE", "LOG_,FLT_,%f__0.5,%s__half",
            "LOG_,INT_,$n__n", "TEST,INT_,$n__n", "TEST,STR_,%s__a\nb,%s__cap", "CLOS"}));
  auto run = runPlayer("--headless " + quoted(game.path()));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.stderrText, "[messagebox] ERROR!! | 42 -> ok\n[messagebox] cap | a\\nb -> ok\n");
  const std::string log = game.read("ErrorLog.txt");
  EXPECT_EQ(test::logChecks(log),
            (std::vector<std::string>{"answer = 42", "言 = 日本", "half = 0.500000"}));
  EXPECT_TRUE(std::regex_search(
      log, std::regex(R"(^\d\d/\d\d/\d\d \d\d:\d\d:\d\d : ### LogCheck ### answer = 42\n)")));
}

// A game without a start script ends at once, silently; bad command lines exit with 2 and
// say why.
TEST(PlayerE2E, MissingAutoexecEndsSilentlyAndBadCommandLinesSayWhy) {
  TempGameDir game;
  game.write("input.txt", "# comment\n1 mouse 10 20\n2 key F99 down\n");
  game.write("rec.txt", "1 seed 3\n9 close\n5 close\n");
  struct Case {
    std::string arguments;
    int exitCode;
    std::string message;  // in the standard error, which is empty when this is
  };
  const Case cases[] = {
      {"--headless " + quoted(game.path()), 0, ""},
      {"--headless --bogus", 2, "usage: avgplayer"},
      {"--headless /nonexistent/game/dir", 2, "usage: avgplayer"},
      {"--headless --input " + quoted(game.path() / "input.txt") + " " + quoted(game.path()), 2,
       "line 3: unknown key 'F99'"},
      {"--headless --input " + quoted(game.path() / "rec.txt") + " " + quoted(game.path()), 2,
       "line 3: frame 5 after frame 9"},
  };
  for (const Case& c : cases) {
    auto run = runPlayer(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
    EXPECT_EQ(run.stderrText.empty(), c.message.empty()) << c.arguments << run.stderrText;
    EXPECT_NE(run.stderrText.find(c.message), std::string::npos) << c.arguments << run.stderrText;
  }
}

TEST(PlayerE2E, FrameLimitClosesARunningGame) {
  TempGameDir game;
  game.write("autoexec.eve", crlf({"#loop", "CALN,+___,$n__n,$n__n,%n__1",
                                   "LOG_,INT_,$n__n,%s__pass", "NEXT", "GOTO,loop"}));
  auto run = runPlayer("--headless --frames 3 " + quoted(game.path()));
  EXPECT_EQ(run.exitCode, 0);
  std::string log = game.read("ErrorLog.txt");
  EXPECT_NE(log.find("pass = 3\n"), std::string::npos);
  EXPECT_EQ(log.find("pass = 4"), std::string::npos);
}

}  // namespace
}  // namespace avg
