// The window build in a Wayland session: a weston compositor of its own, whose output the
// test reads back with weston-screenshooter and whose pointer it moves through XTest.
// Skipped where weston, its screenshooter or Xvfb is missing or weston does not start.
//
// Weston runs on its X11 back-end inside a private Xvfb: SDL 2.26 crashes on a compositor
// without a seat, and the headless back-end has none. The player never sees that X server
// unless a test gives it DISPLAY.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "graphics/image_loader.h"
#include "platform/image_io/sdl_image_codec.h"
#include "support/game_dir.h"
#include "support/player_run.h"
#include "support/png_files.h"
#include "support/x_pointer.h"

extern char** environ;

namespace avg {
namespace {

using test::quoted;

constexpr uint32_t kBackground = 0x2060A0;
constexpr uint32_t kBlock = 0xE0C040;
// The block of the game's picture, in picture pixels.
constexpr Rect kBlockPlace{240, 180, 400, 300};
// The output is 1440 × 1080 with a panel: the window opens at scale 2 (1280 × 1000).
constexpr int32_t kOutputWidth = 1440;
constexpr int32_t kOutputHeight = 1080;

// Starts `command` through the shell with its own process group, not waiting for it.
pid_t spawnShell(const std::string& command) {
  pid_t pid = -1;
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  if (posix_spawn(&pid, "/bin/sh", nullptr, &attributes, const_cast<char**>(argv), environ) != 0)
    pid = -1;
  posix_spawnattr_destroy(&attributes);
  return pid;
}

void stop(pid_t& group) {
  if (group <= 0) return;
  ::kill(-group, SIGTERM);
  ::waitpid(group, nullptr, 0);
  group = -1;
}

bool installed(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Waits up to `seconds` for `done`, asking again every 100 ms.
template <typename Done>
bool waitFor(int seconds, Done done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    ::usleep(100000);
  }
  return true;
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Xvfb and weston in a runtime directory of their own, for all tests of the process.
class WestonSession {
 public:
  WestonSession() {
    if (!installed("weston") || !installed("weston-screenshooter") || !installed("Xvfb")) {
      problem_ = "weston, weston-screenshooter or Xvfb is not installed";
      return;
    }
    std::string pattern = (std::filesystem::temp_directory_path() / "avg-weston-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
      problem_ = "no runtime directory";
      return;
    }
    dir_ = pattern;
    xServer_ = spawnShell("exec Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>" +
                          quoted(dir_ / "display") + " 2>/dev/null");
    if (!waitFor(20, [&] { return readFile(dir_ / "display").find('\n') != std::string::npos; })) {
      problem_ = "Xvfb did not start";
      return;
    }
    const std::string number = readFile(dir_ / "display");
    xDisplay_ = ":" + number.substr(0, number.find('\n'));
    compositor_ = spawnShell("DISPLAY=" + xDisplay_ + " XDG_RUNTIME_DIR=" + quoted(dir_) +
                             " exec weston --backend=x11-backend.so --use-pixman --no-config"
                             " --idle-time=0 --debug --socket=" +
                             kSocket + " --width=" + std::to_string(kOutputWidth) +
                             " --height=" + std::to_string(kOutputHeight) + " >" +
                             quoted(dir_ / "weston.log") + " 2>&1");
    // The desktop is up once the shell has drawn its panel: the output starts black.
    const bool ready = waitFor(20, [&] {
      std::optional<Surface> shot = screenshot();
      return shot && (shot->pixel(5, 5) & 0xFFFFFF) != 0;
    });
    if (!ready) problem_ = "weston did not start: " + readFile(dir_ / "weston.log");
  }
  ~WestonSession() {
    stop(compositor_);
    stop(xServer_);
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  // Why the session cannot be used; empty when it can.
  const std::string& problem() const { return problem_; }
  const std::string& xDisplay() const { return xDisplay_; }
  // The start of a command line that runs a Wayland client of the session.
  std::string client() const {
    return "exec env -u DISPLAY -u SDL_VIDEODRIVER XDG_RUNTIME_DIR=" + quoted(dir_) +
           " WAYLAND_DISPLAY=" + kSocket;
  }

  // The compositor's output now; nothing when the screenshooter fails.
  std::optional<Surface> screenshot() const {
    const std::filesystem::path shots = dir_ / "shots";
    std::filesystem::remove_all(shots);
    std::filesystem::create_directory(shots);
    const std::string command =
        "cd " + quoted(shots) + " && " + client() + " weston-screenshooter >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return std::nullopt;
    for (const auto& entry : std::filesystem::directory_iterator(shots)) {
      Surface shot;
      if (loadImage(shot, entry.path().string(), *makeSdlImageCodec()) == kImageLoaded) return shot;
    }
    return std::nullopt;
  }

 private:
  static constexpr const char* kSocket = "avg-weston";

  std::filesystem::path dir_;
  std::string problem_;
  std::string xDisplay_;
  pid_t xServer_ = -1;
  pid_t compositor_ = -1;
};

const WestonSession& sharedSession() {
  static WestonSession session;
  return session;
}

uint32_t rgb(const Surface& surface, int32_t x, int32_t y) {
  return surface.pixel(x, y) & 0xFFFFFF;
}

// The smallest rectangle that holds every pixel of `color`; empty when there is none.
Rect boundsOf(const Surface& shot, uint32_t color) {
  Rect found{shot.width(), shot.height(), 0, 0};
  for (int32_t y = 0; y < shot.height(); ++y) {
    for (int32_t x = 0; x < shot.width(); ++x) {
      if (rgb(shot, x, y) != color) continue;
      found = {std::min(found.left, x), std::min(found.top, y), std::max(found.right, x + 1),
               std::max(found.bottom, y + 1)};
    }
  }
  return found.empty() ? Rect{} : found;
}

// How many pixels of `area` in `shot` are not `color`.
int32_t pixelsOtherThan(const Surface& shot, const Rect& area, uint32_t color) {
  int32_t count = 0;
  for (int32_t y = area.top; y < area.bottom; ++y) {
    for (int32_t x = area.left; x < area.right; ++x)
      count += rgb(shot, x, y) != color;
  }
  return count;
}

// Weston's output is its X window at the X screen's origin. Weston places its pointer where
// the X pointer enters that window, so the X pointer enters it anew from outside.
void enterOutputAt(test::XPointer& pointer, int32_t x, int32_t y) {
  pointer.move(kOutputWidth + 50, kOutputHeight + 50);
  ::usleep(100000);
  pointer.move(x, y);
}

class WaylandWindow : public testing::Test {
 protected:
  // A picture of one colour with a block of another, shown until the player is stopped.
  void SetUp() override {
    const WestonSession& session = sharedSession();
    if (!session.problem().empty()) GTEST_SKIP() << session.problem();
    std::vector<uint32_t> pixels(640 * 480);
    for (int32_t y = 0; y < 480; ++y) {
      for (int32_t x = 0; x < 640; ++x) {
        const bool inBlock = x >= kBlockPlace.left && x < kBlockPlace.right &&
                             y >= kBlockPlace.top && y < kBlockPlace.bottom;
        pixels[y * 640 + x] = 0xFF000000 | (inBlock ? kBlock : kBackground);
      }
    }
    dir_.write("game/bg.png", test::pngImage(640, 480, pixels));
    dir_.write("game/scene.spr", test::crlf({"#,bg", "1,bg.png,0,0,640,480,192,144"}));
    dir_.write("game/autoexec.eve",
               test::crlf({"SPR_,LOAD,%s__scene,%s__scene.spr",
                           "2D__,ADD_,%s__bg,%s__scene,%s__bg,%f__0,%f__0,%n__0", "#loop", "NEXT",
                           "GOTO,loop"}));
  }
  void TearDown() override { stop(player_); }

  // Starts the player windowed on the game with `environment` and `options`, with SDL's
  // default renderer (here Mesa's software OpenGL, whose frames reach the compositor with
  // the alpha the picture's texture gives them).
  void startPlayer(const std::string& environment, const std::string& options) {
    player_ = spawnShell(sharedSession().client() + " " + environment + " " + AVGPLAYER_BINARY +
                         " --frames 100000 " + options + " " + quoted(dir_.path() / "game") + " >" +
                         quoted(dir_.path() / "player.log") + " 2>&1");
    ASSERT_GT(player_, 0);
  }

  // Waits for the output to show the picture's background; its bounds, empty if it never
  // did.
  Rect awaitPicture(std::optional<Surface>& shot) {
    Rect picture;
    waitFor(30, [&] {
      shot = sharedSession().screenshot();
      picture = shot ? boundsOf(*shot, kBackground) : Rect{};
      return !picture.empty();
    });
    return picture;
  }

  test::TempGameDir dir_;
  pid_t player_ = -1;
};

// Without X11 the window opens on Wayland at scale 2, the drawn menu bar above the picture;
// the pointer maps back to picture pixels (an odd window pixel to the one left of it).
TEST_F(WaylandWindow, ShowsTheFrameAtItsScaleWithTheMenuBarAndMapsThePointer) {
  std::unique_ptr<test::XPointer> pointer = test::XPointer::open(sharedSession().xDisplay());
  ASSERT_TRUE(pointer) << "no XTest on the X server";
  startPlayer("", "--record " + quoted(dir_.path() / "rec.txt"));
  std::optional<Surface> shot;
  const Rect picture = awaitPicture(shot);
  ASSERT_FALSE(picture.empty()) << "the picture never showed; " << dir_.read("player.log");

  EXPECT_EQ(picture.width(), 1280);
  EXPECT_EQ(picture.height(), 960);
  const Rect block{picture.left + 2 * kBlockPlace.left, picture.top + 2 * kBlockPlace.top,
                   picture.left + 2 * kBlockPlace.right, picture.top + 2 * kBlockPlace.bottom};
  EXPECT_EQ(boundsOf(*shot, kBlock), block);
  // The strip holds the menu bar's grey and its dark item names.
  const Rect strip{picture.left, picture.top - 40, picture.right, picture.top};
  const int32_t names = pixelsOtherThan(*shot, strip, 0xF0F0F0);
  EXPECT_GT(names, 1000);
  EXPECT_LT(names, strip.width() * strip.height() / 2);

  bool mapped = waitFor(20, [&] {
    enterOutputAt(*pointer, picture.left + 2 * 100, picture.top + 2 * 50);
    ::usleep(300000);
    pointer->move(picture.left + 2 * 300 + 1, picture.top + 2 * 200 + 1);
    ::usleep(300000);
    const std::string recording = dir_.read("rec.txt");
    return recording.find(" mouse 100 50\n") != std::string::npos &&
           recording.find(" mouse 300 200\n") != std::string::npos;
  });
  EXPECT_TRUE(mapped) << dir_.read("rec.txt");
}

// Full screen covers the whole output, panel included, with the 4:3 picture scaled to fit.
TEST_F(WaylandWindow, FullScreenCoversTheOutput) {
  // The pointer rests mid-output, away from where the menu bar would show over the picture.
  std::unique_ptr<test::XPointer> pointer = test::XPointer::open(sharedSession().xDisplay());
  ASSERT_TRUE(pointer) << "no XTest on the X server";
  enterOutputAt(*pointer, kOutputWidth / 2, kOutputHeight - 100);
  dir_.write("full.txt", "1 display full\n");
  startPlayer("", "--input " + quoted(dir_.path() / "full.txt"));
  std::optional<Surface> shot;
  const bool covered = waitFor(30, [&] {
    shot = sharedSession().screenshot();
    return shot && rgb(*shot, 5, 5) == kBackground;
  });
  ASSERT_TRUE(covered) << "no full-screen picture; " << dir_.read("player.log");
  EXPECT_EQ(rgb(*shot, kOutputWidth - 5, kOutputHeight - 5), kBackground);
  // The block spans 540..900 × 405..675 at 2.25×; only its edges are blended.
  EXPECT_EQ(rgb(*shot, 545, 410), kBlock);
  EXPECT_EQ(rgb(*shot, 895, 670), kBlock);
  EXPECT_EQ(rgb(*shot, 535, 410), kBackground);
}

// A Wayland session's X server (XWayland on a desktop) is not taken: the window still opens
// in the compositor. SDL itself would pick X11 first.
TEST_F(WaylandWindow, WaylandIsPreferredOverX11InAWaylandSession) {
  startPlayer("DISPLAY=" + sharedSession().xDisplay(), "");
  std::optional<Surface> shot;
  EXPECT_FALSE(awaitPicture(shot).empty()) << "the window did not open in the compositor";
}

}  // namespace
}  // namespace avg
