#include "app/game_location.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <tuple>

#include "app/game_chooser.h"
#include "support/game_dir.h"

namespace avg {
namespace {

namespace fs = std::filesystem;

TEST(GameLocation, RedirectedDirectoryIsNamedByTheGameAndItsPath) {
  const fs::path home = "/home/u/.local/share";
  fs::path a = redirectedWriteDirectory("/media/cdrom/Game", home);
  EXPECT_EQ(a.parent_path(), home / "avgplayer/games");
  EXPECT_TRUE(a.filename().string().starts_with("Game-"));
  EXPECT_EQ(a.filename().string().size(), std::string("Game-").size() + 8);
  EXPECT_EQ(redirectedWriteDirectory("/media/cdrom/Game/", home), a);
  EXPECT_NE(redirectedWriteDirectory("/media/cdrom1/Game", home), a);
}

// A given data directory always wins; a writable game keeps its writes unless it is installed
// data; the rest go below XDG_DATA_HOME.
TEST(GameLocation, WriteDirectoryChoice) {
  test::TempGameDir dir;
  fs::create_directories(dir.path() / "share/games/avgplayer/demo");
  fs::create_directories(dir.path() / "mine");
  ::setenv("XDG_DATA_HOME", (dir.path() / "data").c_str(), 1);
  const fs::path installed = dir.path() / "share/games/avgplayer";
  EXPECT_EQ(writeDirectoryFor("mine", "", installed), "");
  EXPECT_EQ(writeDirectoryFor("mine", "saves/./x", installed), (dir.path() / "saves/x").string());
  EXPECT_EQ(writeDirectoryFor(installed / "demo", "", installed),
            redirectedWriteDirectory(installed / "demo", dir.path() / "data").string());
  if (::geteuid() != 0) {  // root writes anywhere the file system allows
    ::chmod((dir.path() / "mine").c_str(), 0555);
    EXPECT_EQ(writeDirectoryFor("mine", "", installed),
              redirectedWriteDirectory(dir.path() / "mine", dir.path() / "data").string());
  }
  ::unsetenv("XDG_DATA_HOME");
}

TEST(GameLocation, RecentGamesKeepTheLastFewMostRecentFirst) {
  test::TempGameDir dir;
  const fs::path file = dir.path() / "state/avgplayer/recent";
  EXPECT_TRUE(readRecentGames(file).empty());
  for (int i = 0; i < 10; ++i)
    ASSERT_TRUE(rememberGame(file, "/g" + std::to_string(i)));
  ASSERT_TRUE(rememberGame(file, "/g5"));
  EXPECT_EQ(readRecentGames(file),
            (std::vector<std::string>{"/g5", "/g9", "/g8", "/g7", "/g6", "/g4", "/g3", "/g2"}));
}

// The dialogs a chooser runs, and what their answers come to.
TEST(GameChooser, AsksWithTheDesktopsDialogs) {
  using O = GameChoice::Outcome;
  struct Case {
    const char* program;  // the one dialog program installed, or "" for none
    const char* portal;   // the portal's folder, "" when cancelled, nullptr without a portal
    std::vector<std::string> recent;
    std::vector<std::optional<std::string>> answers;  // of the dialogs in order
    O outcome;
    const char* directory;
    std::vector<std::string> shown;  // argv[1] of each dialog run
  };
  const Case cases[] = {
      {"zenity", nullptr, {}, {"/games/a\n"}, O::Chosen, "/games/a", {"--file-selection"}},
      {"zenity", "/portal", {}, {}, O::Chosen, "/portal", {}},
      {"zenity", nullptr, {"/r1", "/r2"}, {"/r2\n"}, O::Chosen, "/r2", {"--list"}},
      {"zenity",
       nullptr,
       {"/r1"},
       {"Another folder…\n", "/new\n"},
       O::Chosen,
       "/new",
       {"--list", "--file-selection"}},
      {"zenity", "/portal", {"/r1"}, {"Another folder…\n"}, O::Chosen, "/portal", {"--list"}},
      {"zenity", nullptr, {"/r1"}, {std::nullopt}, O::Cancelled, "", {"--list"}},
      {"kdialog", nullptr, {}, {std::nullopt}, O::Cancelled, "", {"--title"}},
      {"kdialog", nullptr, {"/r1"}, {"/r1\n"}, O::Chosen, "/r1", {"--title"}},
      {"", "", {"/r1"}, {}, O::Cancelled, "", {}},
      {"", nullptr, {"/r1"}, {}, O::NoDialog, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.program) + " " + std::to_string(c.recent.size()));
    std::vector<std::string> shown;
    size_t answer = 0;
    GameChoice choice = chooseGameDirectory(
        c.recent, [&](const std::string& name) { return name == c.program; },
        [&](const std::vector<std::string>& argv) {
          EXPECT_EQ(argv[0], c.program);
          shown.push_back(argv[1]);
          return answer < c.answers.size() ? c.answers[answer++] : std::nullopt;
        },
        [&]() -> std::optional<GameChoice> {
          if (!c.portal) return std::nullopt;
          if (*c.portal == '\0') return GameChoice{O::Cancelled, ""};
          return GameChoice{O::Chosen, c.portal};
        });
    EXPECT_EQ(std::tie(choice.outcome, choice.directory), std::tuple(c.outcome, c.directory));
    EXPECT_EQ(shown, c.shown);
  }
}

// Lines of `gdbus monitor` as the portal's Response signal prints them.
TEST(GameChooser, ReadsThePortalsResponse) {
  const std::string request = "/org/freedesktop/portal/desktop/request/1_42/avgplayer7";
  const std::string signal = request + ": org.freedesktop.portal.Request.Response ";
  using O = GameChoice::Outcome;
  struct Case {
    std::string line;
    std::optional<GameChoice> choice;
  };
  const Case cases[] = {
      {signal + "(uint32 0, {'uris': <['file:///home/u/My%20Games/%E6%97%A5']>})",
       GameChoice{O::Chosen, "/home/u/My Games/日"}},
      {signal + "(uint32 1, @a{sv} {})", GameChoice{O::Cancelled, ""}},
      {signal + "(uint32 2, @a{sv} {})", GameChoice{O::Cancelled, ""}},
      {request + "0: org.freedesktop.portal.Request.Response (uint32 0, {})", std::nullopt},
      {"/org/freedesktop/portal/desktop: org.freedesktop.DBus.Properties.PropertiesChanged ()",
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::optional<GameChoice> choice = portalResponse(c.line, request);
    ASSERT_EQ(choice.has_value(), c.choice.has_value());
    if (!choice) continue;
    EXPECT_EQ(choice->outcome, c.choice->outcome);
    EXPECT_EQ(choice->directory, c.choice->directory);
  }
}

// askDesktopPortal against a stand-in gdbus: the monitor prints the Response once the call
// has returned its request path; a call that fails means no portal.
TEST(GameChooser, AsksThePortalThroughGdbus) {
  test::TempGameDir dir;
  dir.write("bin/gdbus", R"sh(#!/bin/sh
dir=$(dirname "$0")
case "$1" in
  monitor)
    while [ ! -e "$dir/called" ]; do sleep 0.01; done
    echo "/org/freedesktop/portal/desktop: org.freedesktop.DBus.Properties.PropertiesChanged ()"
    echo "$(cat "$dir/called"): org.freedesktop.portal.Request.Response (uint32 0, {'uris': <['file:///games/A%20B']>})"
    exec sleep 10 ;;
  call)
    [ -e "$dir/no-portal" ] && { touch "$dir/called"; exit 1; }
    token=$(echo "$*" | sed -n "s/.*handle_token': <'\([^']*\)'.*/\1/p")
    echo "/org/freedesktop/portal/desktop/request/1_9/$token" > "$dir/called"
    echo "(objectpath '/org/freedesktop/portal/desktop/request/1_9/$token',)" ;;
esac
)sh");
  fs::permissions(dir.path() / "bin/gdbus", fs::perms::owner_all);
  const std::string path = std::getenv("PATH");
  ::setenv("PATH", ((dir.path() / "bin").string() + ":" + path).c_str(), 1);
  std::optional<GameChoice> answer = askDesktopPortal();
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->outcome, GameChoice::Outcome::Chosen);
  EXPECT_EQ(answer->directory, "/games/A B");
  dir.write("bin/no-portal", "");
  fs::remove(dir.path() / "bin/called");
  EXPECT_FALSE(askDesktopPortal());
  ::setenv("PATH", path.c_str(), 1);
}

TEST(GameChooser, RunsProgramsAndTellsTheirOutcome) {
  EXPECT_EQ(runProgram({"sh", "-c", "printf '/a b\\n'"}), "/a b\n");
  EXPECT_EQ(runProgram({"sh", "-c", "echo x; exit 1"}), std::nullopt);
  EXPECT_EQ(runProgram({"/nonexistent/program"}), std::nullopt);
  EXPECT_TRUE(programOnPath("sh"));
  EXPECT_FALSE(programOnPath("no-such-program-avg"));
}

}  // namespace
}  // namespace avg
