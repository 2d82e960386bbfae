// The real binary on small game directories, in headless mode.
#include <gtest/gtest.h>

#include <regex>

#include "support/game_dir.h"

namespace avg {
namespace {

using test::crlf;
using test::runPlayer;
using test::TempGameDir;

std::string quoted(const std::filesystem::path& path) {
  return "'" + path.string() + "'";
}

TEST(PlayerE2E, RunsTheGameAndLogsInUtf8) {
  TempGameDir game;
  game.write(
      "autoexec.eve",
      crlf({"CALN,=___,$n__n,%n__41", "CALN,+___,$n__n,$n__n,%n__1", "LOG_,INT_,$n__n,%s__answer",
            "LOG_,STR_,%s__\x93\xFA\x96\x7B,%s__\x8C\xBE", "LOG_,FLT_,%f__0.5,%s__half",
            "LOG_,INT_,$n__n", "TEST,INT_,$n__n", "TEST,STR_,%s__a\nb,%s__cap", "CLOS"}));
  auto run = runPlayer("--headless " + quoted(game.path()));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.stderrText, "[messagebox] ERROR!! | 42 -> ok\n[messagebox] cap | a\\nb -> ok\n");
  std::string log = game.read("ErrorLog.txt");
  std::regex line(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d : ### LogCheck ### (.*)\n)");
  std::vector<std::string> entries;
  for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it) {
    entries.push_back((*it)[1]);
  }
  EXPECT_EQ(entries, (std::vector<std::string>{"answer = 42", "言 = 日本", "half = 0.500000"}));
}

TEST(PlayerE2E, MissingAutoexecEndsSilently) {
  TempGameDir game;
  auto run = runPlayer("--headless " + quoted(game.path()));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.stderrText, "");
}

TEST(PlayerE2E, BadCommandLinesExitWithUsage) {
  TempGameDir game;
  for (const std::string& arguments :
       {std::string("--headless --bogus"), std::string("--headless /nonexistent/game/dir"),
        std::string("--headless --frames x"), std::string("--headless --input")}) {
    auto run = runPlayer(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_NE(run.stderrText.find("usage: avgplayer"), std::string::npos) << arguments;
  }
}

TEST(PlayerE2E, MalformedInputLineNamesTheLine) {
  TempGameDir game;
  game.write("input.txt", "# comment\n1 mouse 10 20\n2 key F99 down\n");
  auto run = runPlayer("--headless --input " + quoted(game.path() / "input.txt") + " " +
                       quoted(game.path()));
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.stderrText.find("line 3: unknown key 'F99'"), std::string::npos) << run.stderrText;
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

TEST(PlayerE2E, MenuQuitAnsweredYesCloses) {
  TempGameDir game;
  game.write("autoexec.eve", crlf({"#loop", "CALN,+___,$n__n,$n__n,%n__1", "NEXT", "GOTO,loop"}));
  game.write("input.txt", "5 answer yes\n5 menu 40002\n7 char 27\n");
  auto run = runPlayer("--headless --frames 100 --input " + quoted(game.path() / "input.txt") +
                       " " + quoted(game.path()));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.stderrText, "[messagebox] 確認 | 終了しますか？ -> yes\n");
}

TEST(PlayerE2E, MenuSetsTheVariablesScriptsPoll) {
  TempGameDir game;
  game.write("version.txt", "Demo \x83\x51\x81\x5B\x83\x80 1.0");  // "ゲーム" in CP932
  game.write("autoexec.eve", crlf({"#loop", "CALN,!=__,$n__asked,$n__Flag-Triger,%n__0",
                                   "IF__,$n__asked", "GOTO,asked", "NEXT", "GOTO,loop", "#asked",
                                   "LOG_,INT_,$n__Flag-Triger,%s__triger",
                                   "LOG_,INT_,$n__Flag-Skip,%s__skip", "CLOS"}));
  game.write("input.txt", "2 menu 40000\n3 menu 40003\n4 menu 20000\n");
  auto run = runPlayer("--headless --input " + quoted(game.path() / "input.txt") + " " +
                       quoted(game.path()));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.stderrText, "[messagebox] Version | Demo ゲーム 1.0 -> ok\n");
  std::string log = game.read("ErrorLog.txt");
  EXPECT_NE(log.find("triger = 3\n"), std::string::npos) << log;
  EXPECT_NE(log.find("skip = 0\n"), std::string::npos) << log;
}

TEST(PlayerE2E, ScriptsFromSubdirectoriesWithWindowsPaths) {
  TempGameDir game;
  game.write("scripts/Part2.EVE", crlf({"LOG_,STR_,%s__reached,%s__chapter", "CLOS"}));
  game.write("autoexec.eve", crlf({"CONT,%s__SCRIPTS\\part2.eve"}));
  auto run = runPlayer("--headless " + quoted(game.path()));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(game.read("ErrorLog.txt").find("chapter = reached"), std::string::npos);
}

}  // namespace
}  // namespace avg
