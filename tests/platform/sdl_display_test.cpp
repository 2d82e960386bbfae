// The SDL window on a private X server started by the test; skipped where Xvfb is missing.
#include "platform/sdl/sdl_display.h"

#include <SDL.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/sdl/sdl_platform.h"
#include "support/game_dir.h"
#include "support/player_run.h"
#include "support/x_pointer.h"

extern char** environ;

namespace avg {
namespace {

// An Xvfb server on a free display number (it picks one and reports it through a pipe).
// The screen is 1280 × 960, so the window opens at scale 1 and full screen is exactly 2×.
class XvfbServer {
 public:
  XvfbServer() {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return;
    std::string fd = std::to_string(pipeEnds[1]);
    const char* argv[] = {"Xvfb",        "-displayfd", fd.c_str(), "-screen", "0",
                          "1280x960x24", "-nolisten",  "tcp",      nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    installed_ =
        posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (installed_) display_ = readDisplayNumber(pipeEnds[0]);
    ::close(pipeEnds[0]);
  }
  ~XvfbServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }

  bool installed() const { return installed_; }
  const std::optional<std::string>& display() const { return display_; }

 private:
  static std::optional<std::string> readDisplayNumber(int fd) {
    std::string number;
    pollfd ready{fd, POLLIN, 0};
    while (::poll(&ready, 1, 20000) > 0) {
      char c;
      if (::read(fd, &c, 1) != 1) break;
      if (c == '\n') return ":" + number;
      number += c;
    }
    return std::nullopt;
  }

  pid_t pid_ = -1;
  bool installed_ = false;
  std::optional<std::string> display_;
};

// A picture that tells every pixel apart, with alpha bytes that must not show.
void drawPattern(Surface& surface, uint32_t seed) {
  for (int32_t y = 0; y < surface.height(); ++y) {
    for (int32_t x = 0; x < surface.width(); ++x) {
      surface.row(y)[x] = (x * 0x9E3779B1u + y * 0x85EBCA77u + seed) | 0x5A000000;
    }
  }
}

void expectShown(Display& display, const Surface& expected) {
  Surface shown;
  ASSERT_TRUE(display.readPresented(shown));
  ASSERT_EQ(shown.width(), expected.width());
  ASSERT_EQ(shown.height(), expected.height());
  for (int32_t y = 0; y < shown.height(); ++y) {
    for (int32_t x = 0; x < shown.width(); ++x) {
      ASSERT_EQ(shown.pixel(x, y), expected.pixel(x, y) & 0xFFFFFF) << x << "," << y;
    }
  }
}

// One X server for all window tests of the process: SDL keeps its connection to the first
// display it opened until the process ends.
const XvfbServer* sharedServer() {
  static XvfbServer server;
  return server.installed() ? &server : nullptr;
}

class SdlWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    const XvfbServer* server = sharedServer();
    if (!server) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(server->display()) << "Xvfb did not start";
    ::setenv("DISPLAY", server->display()->c_str(), 1);
    ::setenv("SDL_VIDEODRIVER", "x11", 1);
  }
  void TearDown() override {
    ::unsetenv("SDL_RENDER_DRIVER");
    ::unsetenv("SDL_VIDEODRIVER");
    ::unsetenv("DISPLAY");
  }

  test::TempGameDir dir_;
};

TEST_F(SdlWindowTest, ShowsThePresentedFrameAtItsWholeScale) {
  Platform platform = makeSdlPlatform();
  auto& display = dynamic_cast<SdlDisplay&>(*platform.display);
  EXPECT_EQ(display.windowScale(), 1);
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(display.window(), &width, &height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 500);

  drawPattern(display.backSurface(), 1);
  Surface shown = display.backSurface();
  display.presentWhole();
  EXPECT_EQ(display.presentCount(), 1u);
  expectShown(display, shown);
}

// Without a window manager the X server never resizes a full-screen window, which only
// the software renderer, drawing into its own copy of the window, does not notice.
TEST_F(SdlWindowTest, SwitchesToFullScreenAndBack) {
  ::setenv("SDL_RENDER_DRIVER", "software", 1);
  Platform platform = makeSdlPlatform();
  Display& display = *platform.display;
  ASSERT_TRUE(display.changeDisplay(true, 640, 480, 32));
  EXPECT_TRUE(display.isFullScreen());
  drawPattern(display.backSurface(), 2);
  Surface shown = display.backSurface();
  display.presentWhole();
  expectShown(display, shown);

  ASSERT_TRUE(display.changeDisplay(false, 640, 480, 32));
  EXPECT_FALSE(display.isFullScreen());
  display.presentWhole();
  Surface black;
  black.create(640, 480);
  expectShown(display, black);
}

// Runs `command` through the shell without waiting for it.
pid_t spawnShell(const std::string& command) {
  pid_t pid = -1;
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ);
  return pid;
}

// The window opens centred on the 1280 × 960 screen without decorations: its 640 × 500
// client area starts at (320, 230), the 20-row strip first. "ゲーム(G)" is the first item.
constexpr int32_t kLeft = 320;
constexpr int32_t kTop = 230;

// Waits up to 20 seconds for dark text of "ゲーム(G)" on the menu bar's grey.
bool menuTextAppears(test::XPointer& screen) {
  const Rect area{kLeft + 7, kTop + 4, kLeft + 40, kTop + 16};
  for (int round = 0; round < 200; ++round) {
    if (screen.pixel(area.left - 5, area.top - 3) != 0xF0F0F0u) {
      ::usleep(100000);
      continue;
    }
    for (int32_t y = area.top; y < area.bottom; ++y) {
      for (int32_t x = area.left; x < area.right; ++x) {
        if (screen.pixel(x, y).value_or(0xFFFFFF) < 0x404040) return true;
      }
    }
    ::usleep(100000);
  }
  return false;
}

// Whether `player` ends within `rounds` runs of `step`, each followed by a look; it is
// ended otherwise.
bool endsWhile(pid_t player, int rounds, const std::function<void()>& step) {
  for (int round = 0; round < rounds; ++round) {
    step();
    if (::waitpid(player, nullptr, WNOHANG) == player) return true;
  }
  ::kill(player, SIGTERM);
  ::waitpid(player, nullptr, 0);
  return false;
}

// The player in its own window: the menu bar is drawn in the strip above the picture, and
// clicking "ゲーム(&G)" and then its first item, "タイトルへ戻る(&T)", sets "Flag-Triger".
TEST_F(SdlWindowTest, MenuBarIsDrawnAndWorkedInTheRealWindow) {
  std::unique_ptr<test::XPointer> screen = test::XPointer::open(*sharedServer()->display());
  ASSERT_TRUE(screen) << "no XTest on the X server";
  dir_.write("autoexec.eve",
             test::crlf({"#wait", "NEXT", "IF__,$n__Flag-Triger", "GOTO,chosen", "GOTO,wait",
                         "#chosen", "LOG_,INT_,$n__Flag-Triger,%s__chosen", "QUIT"}));
  std::string command = "XDG_RUNTIME_DIR=" + dir_.path().string() + " exec " +
                        std::string(AVGPLAYER_BINARY) + " --frames 3000 " + dir_.path().string() +
                        " 2>/dev/null";
  const pid_t player = spawnShell(command);
  ASSERT_GT(player, 0);
  EXPECT_TRUE(menuTextAppears(*screen));
  // The first clicks may come before the window takes input; each round opens the popup
  // (or closes one left open) and clicks its first row.
  EXPECT_TRUE(endsWhile(player, 40, [&] {
    screen->click(kLeft + 10, kTop + 10);
    ::usleep(200000);
    screen->click(kLeft + 20, kTop + 30);
    ::usleep(300000);
  }));
  EXPECT_NE(dir_.read("ErrorLog.txt").find("chosen = 1"), std::string::npos);
}

// Whether a player takes connections on the socket at `path` within `seconds`; the test's
// connections send nothing, so the player drops them.
bool acceptsConnections(const std::string& path, int seconds) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof(address.sun_path) - 1);
  for (int round = 0; round < seconds * 20; ++round) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    ::close(fd);
    if (connected) return true;
    ::usleep(50000);
  }
  return false;
}

// Requests reach the running windowed player through its socket next to the lock: a player
// killed outright leaves a stale socket that the next one replaces; the socket is private
// to the user and gone after a normal exit.
TEST_F(SdlWindowTest, RequestsFromAnotherProgramReachThePlayer) {
  dir_.write("autoexec.eve", test::crlf({"#wait", "NEXT", "GOTO,wait"}));
  std::filesystem::create_directory(dir_.path() / "Save");
  // The players and the requests below share this runtime directory.
  const char* previous = std::getenv("XDG_RUNTIME_DIR");
  const std::string saved = previous ? previous : "";
  ::setenv("XDG_RUNTIME_DIR", dir_.path().c_str(), 1);
  const std::string socketPath = (dir_.path() / "MUTEX_AVG_SCRIPT_PLAYER.sock").string();
  const std::string player = "exec " + std::string(AVGPLAYER_BINARY) + " --frames 100000 " +
                             test::quoted(dir_.path()) + " 2>/dev/null";

  const pid_t killed = spawnShell(player);
  const bool listened = acceptsConnections(socketPath, 20);
  ::kill(killed, SIGKILL);
  ::waitpid(killed, nullptr, 0);
  const bool stale = std::filesystem::is_socket(socketPath);
  const test::PlayerRun refused = test::runPlayer("--request save a.sav");

  const pid_t running = spawnShell(player);
  const bool replaced = acceptsConnections(socketPath, 20);
  struct stat status {};
  ::stat(socketPath.c_str(), &status);
  const std::filesystem::path saveFile = dir_.path() / "Save" / "s 1.sav";
  const test::PlayerRun save = test::runPlayer("--request save 'Save/s 1.sav'");
  for (int round = 0; round < 200 && !std::filesystem::exists(saveFile); ++round)
    ::usleep(50000);
  const test::PlayerRun load = test::runPlayer("--request load 'Save/s 1.sav'");
  ::usleep(300000);
  ::kill(running, SIGTERM);
  int exit = -1;
  ::waitpid(running, &exit, 0);
  if (previous) {
    ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_RUNTIME_DIR");
  }

  ASSERT_TRUE(listened) << "the first player did not listen";
  EXPECT_TRUE(stale);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.stderrText, "avgplayer: no player is listening on " + socketPath + "\n");
  ASSERT_TRUE(replaced) << "the stale socket was not replaced";
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  EXPECT_EQ(save.exitCode, 0);
  EXPECT_EQ(save.stderrText, "");
  EXPECT_EQ(load.exitCode, 0);
  // The save holds a packed block of mode 2; loading it leaves the game running.
  const std::string block = dir_.read("Save/s 1.sav");
  ASSERT_GE(block.size(), 12u);
  EXPECT_EQ(block.substr(4, 4), std::string("\x02\0\0\0", 4));
  EXPECT_TRUE(WIFEXITED(exit) && WEXITSTATUS(exit) == 0) << exit;
  EXPECT_FALSE(std::filesystem::exists(socketPath));
}

// A session of the demo in the real window, worked through XTest (F5 and the box it shows
// answered with Return, a click), recorded with its frame hashes; the headless replay of the
// recording composes the same frames.
TEST_F(SdlWindowTest, RecordedWindowSessionReplaysHeadlessToTheSameFrames) {
  std::unique_ptr<test::XPointer> screen = test::XPointer::open(*sharedServer()->display());
  ASSERT_TRUE(screen) << "no XTest on the X server";
  const std::filesystem::path root = dir_.path();
  ASSERT_EQ(test::buildDemo(root / "w"), 0);
  std::filesystem::copy(root / "w", root / "h", std::filesystem::copy_options::recursive);
  const pid_t player =
      spawnShell("XDG_RUNTIME_DIR=" + root.string() + " exec " + std::string(AVGPLAYER_BINARY) +
                 " --frames 600 --record " + test::quoted(root / "rec.txt") + " --frame-hashes " +
                 test::quoted(root / "w.hashes") + " " + test::quoted(root / "w") + " 2>/dev/null");
  ASSERT_GT(player, 0);
  EXPECT_TRUE(menuTextAppears(*screen));
  // The keys go to the window under the pointer: the box, centred on the screen, lies over
  // the player's window there. A Return that finds no box is a key of the game, recorded too.
  for (int round = 0; round < 10 && dir_.read("rec.txt").find("answer ok") == std::string::npos;
       ++round) {
    screen->move(640, 480);
    screen->press("F5");
    ::usleep(700000);
    screen->press("Return");
    ::usleep(500000);
  }
  screen->click(kLeft + 100, kTop + 400);
  ASSERT_TRUE(endsWhile(player, 600, [] { ::usleep(100000); }))
      << "the player did not end after its 600 passes";

  const std::string recording = dir_.read("rec.txt");
  EXPECT_NE(recording.find(" key F5 down\n"), std::string::npos) << recording;
  EXPECT_NE(recording.find(" answer ok\n"), std::string::npos) << recording;
  EXPECT_NE(recording.find(" lbutton down\n"), std::string::npos) << recording;
  const test::PlayerRun replay =
      test::runPlayer("--headless --input " + test::quoted(root / "rec.txt") + " --frame-hashes " +
                      test::quoted(root / "h.hashes") + " " + test::quoted(root / "h"));
  EXPECT_EQ(replay.exitCode, 0) << replay.stderrText;
  const std::string hashes = dir_.read("w.hashes");
  EXPECT_GE(std::count(hashes.begin(), hashes.end(), '\n'), 500);
  EXPECT_EQ(dir_.read("h.hashes"), hashes);
}

}  // namespace
}  // namespace avg
