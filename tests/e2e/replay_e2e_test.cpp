// Recording a headless run of the demo and replaying it: the same frames, boxes and log (the
// session plays the quick keys, the options screen, Esc, F7 and the menu); a recording cut
// short by kill -9 replays up to where it stops; the seed a recording fixes; frames composed
// in part equal frames composed whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <regex>
#include <thread>

#include "support/game_dir.h"
#include "support/player_run.h"

namespace avg {
namespace {

using test::quoted;

// Title, quick save and load, the options screen, Esc answered No, F7 and the menu's Title.
constexpr const char* kSession =
    "50 key F5 down\n51 key F5 up\n"    // saved on the title
    "60 lbutton down\n61 lbutton up\n"  // the title starts the story
    "100 key F6 down\n101 key F6 up\n"  // back on the title
    "120 key Z down\n122 key Z up\n"    // which opens the options
    "130 mouse 300 200\n"
    "140 key Left down\n142 key Left up\n"
    "150 answer no\n150 key Esc down\n150 char 27\n151 key Esc up\n"
    "160 key X down\n162 key X up\n"
    "170 key F7 down\n171 key F7 up\n"  // full screen: only "Flag-FullScreen" tells headless
    "180 menu 40001\n";

class Replay : public ::testing::Test {
 protected:
  // The demo built once in "pristine", then copied for each run so that every run starts
  // from the same config.ini and saves.
  Replay() {
    EXPECT_EQ(test::buildDemo(dir_.path() / "pristine"), 0);
    // Without the opening film, the session's passes count from the title.
    dir_.write("pristine/config.ini",
               dir_.read("pristine/config.ini") + "[VIDEO]\r\nDISABLE=1\r\n");
  }

  // A fresh copy of the demo in `name`.
  std::string copyGame(const std::string& name) {
    std::filesystem::copy(dir_.path() / "pristine", dir_.path() / name,
                          std::filesystem::copy_options::recursive);
    return file(name);
  }

  // Runs the player headless on a fresh copy of the demo in `name`; returns its boxes.
  std::string play(const std::string& name, const std::string& options) {
    copyGame(name);
    test::PlayerRun run =
        test::runPlayer("--headless " + options + " " + quoted(dir_.path() / name));
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    return run.stderrText;
  }

  // ErrorLog.txt of a run without the time stamps.
  std::string errorLog(const std::string& name) const {
    return std::regex_replace(
        dir_.read(name + "/ErrorLog.txt"),
        std::regex(R"(^\d\d/\d\d/\d\d \d\d:\d\d:\d\d : )", std::regex::multiline), "");
  }

  std::string file(const std::string& name) const { return quoted(dir_.path() / name); }

  test::TempGameDir dir_;
};

TEST_F(Replay, RecordedRunReplaysToTheSameFramesBoxesAndLog) {
  dir_.write("session.txt", kSession);
  const std::string boxes = play("a", "--frames 200 --input " + file("session.txt") + " --record " +
                                          file("rec.txt") + " --frame-hashes " + file("a.hashes"));
  const std::string replayed =
      play("b", "--input " + file("rec.txt") + " --frame-hashes " + file("b.hashes"));

  const std::string recording = dir_.read("rec.txt");
  EXPECT_EQ(recording.rfind("# avgplayer ", 0), 0u) << recording;
  EXPECT_NE(recording.find("\n# game: a\n"), std::string::npos);
  EXPECT_NE(recording.find("\n1 seed 0\n1 display window\n"), std::string::npos);
  EXPECT_NE(recording.find("\n150 key Esc down\n150 char 27\n150 answer no\n"), std::string::npos);
  EXPECT_EQ(recording.substr(recording.size() - 10), "201 close\n");  // the frame limit

  const std::string hashes = dir_.read("a.hashes");
  EXPECT_EQ(std::count(hashes.begin(), hashes.end(), '\n'), 200);
  EXPECT_EQ(hashes.rfind("1 ", 0), 0u);
  EXPECT_EQ(dir_.read("b.hashes"), hashes);
  // The quick save and load, then Esc answered No.
  EXPECT_EQ(boxes,
            "[messagebox] avgplayer | デモはここまでです。 -> ok\n"
            "[messagebox] 確認 | セーブしました -> ok\n[messagebox] 確認 | ロードしました -> ok\n"
            "[messagebox] 確認 | 終了しますか？ -> no\n");
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "a/Save/qsave.sav"));
  EXPECT_EQ(replayed, boxes);
  EXPECT_EQ(test::logChecks(errorLog("a")),
            (std::vector<std::string>{
                "title = avgplayer デモ", "sum of 1..10 = 55", "doubled = 42",
                "one third = 0.333333", "as text = 1/3 = 0.3333333433", "squares[10] = 100",
                "frames counted by thread 1 = 30", "scene = title", "scene = story",
                "scene = options", "Talk-Wait = 0", "Volume-Music = 80", "Volume-Sound = 80",
                "Volume-Voice = 80", "scene = title", "menu = title", "scene = title"}));
  EXPECT_EQ(errorLog("b"), errorLog("a"));
  EXPECT_NE(dir_.read("a/config.ini").find("FULL=1"), std::string::npos);
  EXPECT_EQ(dir_.read("b/config.ini"), dir_.read("a/config.ini"));
}

TEST_F(Replay, RecordingKilledMidwayReplaysUpToItsEnd) {
  std::string session = kSession;
  for (int frame = 200; frame < 300000; frame += 3)
    session += std::to_string(frame) + " mouse " + std::to_string(frame % 640) + " 240\n";
  dir_.write("session.txt", session);
  const std::string command = "exec " + std::string(AVGPLAYER_BINARY) + " --headless --input " +
                              file("session.txt") + " --record " + file("rec.txt") +
                              " --frame-hashes " + file("a.hashes") + " " + copyGame("a") +
                              " 2>/dev/null";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
    _exit(127);
  }
  // Killed once the recording is past the scripted session, into the mouse moves.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  int status = 0;
  bool ended = false;
  while (!ended && dir_.read("rec.txt").find("\n260 mouse") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ended = waitpid(child, &status, WNOHANG) == child;
  }
  if (!ended) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  ASSERT_TRUE(WIFSIGNALED(status)) << "the player ended before it was killed";

  const std::string recording = dir_.read("rec.txt");
  ASSERT_EQ(recording.back(), '\n');
  const uint64_t last =
      std::stoull(recording.substr(recording.rfind('\n', recording.size() - 2) + 1));
  ASSERT_GE(last, 260u);
  // The last pass may have lost events to the kill: the replay stops before it.
  play("b", "--frames " + std::to_string(last - 1) + " --input " + file("rec.txt") +
                " --frame-hashes " + file("b.hashes"));
  const std::string replayed = dir_.read("b.hashes");
  EXPECT_EQ(static_cast<uint64_t>(std::count(replayed.begin(), replayed.end(), '\n')), last - 1);
  EXPECT_EQ(dir_.read("a.hashes").substr(0, replayed.size()), replayed);
}

// The whole demo, opening film included, clicked through with a name typed: composing only
// what changed gives every frame exactly as composing each frame whole does.
TEST_F(Replay, PartialFramesEqualWholeOnesThroughTheDemo) {
  // Z skips the film and, on the title, opens the options, where Left and X work and leave;
  // a click starts the story, whose lines clicks go through, with a name typed.
  std::map<int, std::string> events = {
      {100, "key Z down"},    {102, "key Z up"},    {150, "key Z down"}, {152, "key Z up"},
      {170, "key Left down"}, {172, "key Left up"}, {190, "key X down"}, {192, "key X up"}};
  for (int frame = 330; frame < 4000; frame += 17)
    events[frame] = "lbutton down", events[frame + 1] = "lbutton up";
  for (int frame = 400; frame < 1000; frame += 100)
    events[frame + 5] = "char 65", events[frame + 6] = "char 110";
  std::string session;
  for (const auto& [frame, event] : events)
    session += std::to_string(frame) + " " + event + "\n";
  dir_.write("session.txt", session);
  const std::string withFilm = "--frames 4000 --input " + file("session.txt") + " ";
  for (const char* name : {"partial", "whole"}) {
    copyGame(name);
    dir_.write(std::string(name) + "/config.ini",
               dir_.read("pristine/config.ini")
                   .substr(0, dir_.read("pristine/config.ini").find("[VIDEO]\r\nDISABLE")));
  }
  test::PlayerRun partial = test::runPlayer("--headless " + withFilm + "--frame-hashes " +
                                            file("partial.hashes") + " " + file("partial"));
  setenv("AVG_FULL_REDRAW", "1", 1);
  test::PlayerRun whole = test::runPlayer("--headless " + withFilm + "--frame-hashes " +
                                          file("whole.hashes") + " " + file("whole"));
  unsetenv("AVG_FULL_REDRAW");
  ASSERT_EQ(partial.exitCode, 0) << partial.stderrText;
  ASSERT_EQ(whole.exitCode, 0) << whole.stderrText;
  const std::string hashes = dir_.read("partial.hashes");
  EXPECT_GT(std::count(hashes.begin(), hashes.end(), '\n'), 200);
  EXPECT_EQ(hashes, dir_.read("whole.hashes"));
  for (const char* scene : {"options", "story"})
    EXPECT_NE(errorLog("partial").find(std::string("### LogCheck ### scene = ") + scene),
              std::string::npos);
}

TEST(ReplayInput, SeedLineFixesTheRandomNumbers) {
  test::TempGameDir game;
  game.write("autoexec.eve",
             test::crlf({"DICE,CAST,$n__d,%n__1,%n__1000", "LOG_,INT_,$n__d,%s__dice", "QUIT"}));
  // The seed's first number: (seed * 214013 + 2531011) >> 16 & 0x7FFF; headless, 0 by default.
  for (const auto& [input, dice] : {std::pair{"", "39"}, {"1 seed 99\n", "362"}}) {
    game.write("input.txt", input);
    std::filesystem::remove(game.path() / "ErrorLog.txt");
    test::PlayerRun run = test::runPlayer(
        "--headless --input " + quoted(game.path() / "input.txt") + " " + quoted(game.path()));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(game.read("ErrorLog.txt").find("dice = " + std::string(dice) + "\n"),
              std::string::npos)
        << input << game.read("ErrorLog.txt");
  }
}

}  // namespace
}  // namespace avg
