// CPU use of the real window build on a page that waits for a click: the player on a private
// Xvfb at twice the window scale, drawing with SDL's software renderer, measured by its own
// CPU time (user + system) over 5 s of wall time after it has settled; one core = 100 %.
// The still page is an opaque background, a half-transparent window picture and one line of
// text; the animated page adds one sprite whose two frames alternate every 8 ticks. Peer: the
// still page with every frame composed and presented in full (AVG_FULL_REDRAW=1).
// With a directory argument it only writes the two games there (to look at them headless).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/surface.h"
#include "platform/image_io/sdl_image_codec.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

constexpr auto kSettle = std::chrono::milliseconds(1500);
constexpr auto kMeasure = std::chrono::seconds(5);
constexpr auto kWindowTimeout = std::chrono::seconds(20);
constexpr auto kExitTimeout = std::chrono::seconds(5);
constexpr const char* kScreen = "1600x1200x24";
constexpr const char* kTitle = "avgplayer idle bench";
// 640 × (480 + the menu strip's 20) at scale 2: the largest whole scale that fits the screen.
constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 1000;

std::vector<std::string> currentEnvironment() {
  std::vector<std::string> env;
  for (char** entry = environ; *entry; ++entry)
    env.emplace_back(*entry);
  return env;
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void writePng(const avg::ImageCodec& codec, const fs::path& path, int32_t width, int32_t height,
              const std::function<uint32_t(int32_t, int32_t)>& pixel) {
  avg::Surface picture;
  picture.create(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      picture.row(y)[x] = pixel(x, y);
  }
  writeFile(path, codec.encodePng(picture).value_or(""));
}

// Script tables as games ship them: CP932 with CR LF line ends.
std::string tableText(const std::vector<std::string>& rows) {
  std::string text;
  for (const std::string& row : rows)
    text += row + "\r\n";
  return text;
}

// The page's pictures, sprites and script; `animated` adds the blinking sprite.
void writeGame(const avg::ImageCodec& codec, const fs::path& dir, bool animated) {
  fs::create_directories(dir);
  writePng(codec, dir / "bg.png", 640, 480, [](int32_t x, int32_t y) {
    return uint32_t(x * 255 / 639) << 16 | uint32_t(y * 255 / 479) << 8 | 0x60;
  });
  writePng(codec, dir / "window.png", 600, 150,
           [](int32_t x, int32_t y) { return (x + y) % 16 < 8 ? 0x203060u : 0x405080u; });
  // The two frames side by side: a red square, then a yellow one.
  writePng(codec, dir / "blink.png", 128, 64,
           [](int32_t x, int32_t) { return x < 64 ? 0xE02020u : 0xF0E020u; });
  writeFile(dir / "page.spr",
            tableText({"#,background,1,0", "1,bg.png,0,0,640,480,192,144", "#,window,1,0",
                       "1,window.png,0,0,600,150,0,0,80FFFFFF,0", "#,blink,2,0",
                       "8,blink.png,0,0,64,64", "8,blink.png,64,0,128,64"}));
  std::vector<std::string> script = {
      "SPR_,LOAD,%s__page,%s__page.spr", "SPR_,ACTI,%s__page",
      "2D__,ADD_,%s__bg,%s__page,%s__background,%f__0,%f__0,%n__0",
      "2D__,ADD_,%s__window,%s__page,%s__window,%f__-180,%f__203,%n__10", "MESS,SET_,%n__0",
      "MESS,WRIT,POS_,%f__-280,%f__110", "MESS,WRIT,MODE,%n__0,%n__0",
      "MESS,WRIT,FONT,%n__22,%n__0,%x__FFFFFFFF", "MESS,WRIT,REF_",
      // 静かなページです。("a still page.")
      "MESS,ADD_,%s__\x90\xC3\x82\xA9\x82\xC8\x83\x79\x81\x5B\x83\x57\x82\xC5\x82\xB7\x81\x42",
      "#wait", "NEXT", "CALN,&___,$n__click,$$__MBUT,%n__32", "IF__,$n__click", "QUIT",
      "GOTO,wait"};
  if (animated)
    script.insert(script.begin() + 4,
                  "2D__,ADD_,%s__blink,%s__page,%s__blink,%f__-400,%f__-300,%n__20");
  writeFile(dir / "autoexec.eve", tableText(script));
  writeFile(dir / "config.ini", tableText({"[GAME]", std::string("NAME=") + kTitle, "[FRAME]",
                                           "RATE=60", "WAIT=1", "SKIP=1"}));
}

// A child process, ended with SIGTERM (SIGKILL when it does not go) when dropped.
class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { stop(); }

  // Starts `argv` with `environment`, its output into `log` (or nowhere), `closeFd` closed in
  // the child; false when it could not start.
  bool start(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
             const std::string& log, int closeFd = -1) {
    std::vector<char*> args = pointers(argv);
    std::vector<char*> env = pointers(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (closeFd >= 0) posix_spawn_file_actions_addclose(&actions, closeFd);
    const char* out = log.empty() ? "/dev/null" : log.c_str();
    posix_spawn_file_actions_addopen(&actions, 1, out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const bool started =
        posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), env.data()) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!started) pid_ = -1;
    return started;
  }

  pid_t pid() const { return pid_; }

  bool running() {
    if (pid_ <= 0) return false;
    if (::waitpid(pid_, nullptr, WNOHANG) == 0) return true;
    pid_ = -1;
    return false;
  }

  void stop() {
    if (!running()) return;
    ::kill(pid_, SIGTERM);
    const auto deadline = SteadyClock::now() + kExitTimeout;
    while (running() && SteadyClock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!running()) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  static std::vector<char*> pointers(const std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (const std::string& s : strings)
      result.push_back(const_cast<char*>(s.c_str()));
    result.push_back(nullptr);
    return result;
  }

  pid_t pid_ = -1;
};

// Xvfb on a display number it picks itself, reported through a pipe once it accepts
// connections; nullopt when it did not start.
std::optional<std::string> startXvfb(Child& server) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return std::nullopt;
  const bool started = server.start({"Xvfb", "-displayfd", std::to_string(pipeEnds[1]), "-screen",
                                     "0", kScreen, "-nolisten", "tcp"},
                                    currentEnvironment(), "", pipeEnds[0]);
  ::close(pipeEnds[1]);
  std::string number;
  char c = 0;
  pollfd ready{pipeEnds[0], POLLIN, 0};
  while (started && ::poll(&ready, 1, 20000) > 0 && ::read(pipeEnds[0], &c, 1) == 1 && c != '\n')
    number += c;
  ::close(pipeEnds[0]);
  if (c != '\n' || number.empty()) return std::nullopt;
  return ":" + number;
}

// The process's CPU time so far (all its threads, user and system); nullopt once it is gone.
std::optional<double> cpuSeconds(pid_t pid) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(file, line)) return std::nullopt;
  // The fields after the command name, which may hold spaces: state, then utime and stime
  // as the 12th and 13th.
  std::istringstream fields(line.substr(line.rfind(')') + 1));
  std::string skipped;
  for (int field = 0; field < 11; ++field)
    fields >> skipped;
  unsigned long long user = 0, system = 0;
  if (!(fields >> user >> system)) return std::nullopt;
  return double(user + system) / double(::sysconf(_SC_CLK_TCK));
}

// The size xwininfo reports for the player's window, "" while it has none.
std::string windowSize(const std::string& display) {
  const std::string command =
      "xwininfo -display " + display + " -name '" + kTitle + "' 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return "";
  std::map<std::string, std::string> values;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, pipe)) {
    std::istringstream line(buffer);
    std::string key, value;
    if (line >> key >> value) values[key] = value;
  }
  ::pclose(pipe);
  if (!values.count("Width:") || !values.count("Height:")) return "";
  return values["Width:"] + "x" + values["Height:"];
}

struct Measurement {
  double playerPercent = -1;
  double serverPercent = -1;
};

class IdleBench {
 public:
  IdleBench(fs::path dir, std::string display, const Child& server)
      : dir_(std::move(dir)), display_(std::move(display)), server_(server) {
    if (!canCheckWindow_) std::printf("window size not checked: xwininfo is missing\n");
  }

  // Runs the game in `game` with `extraEnv` and measures it; nullopt (after saying why) when
  // the player did not come up as expected.
  std::optional<Measurement> measure(const fs::path& game,
                                     const std::vector<std::string>& extraEnv) {
    Child player;
    const std::string log = (dir_ / "player.log").string();
    if (!player.start({AVGPLAYER_BINARY, game.string()}, playerEnvironment(extraEnv), log))
      return fail("cannot start " AVGPLAYER_BINARY, log);
    if (!awaitWindow(player)) return fail("no window of the player appeared", log);
    std::this_thread::sleep_for(kSettle);
    const auto start = SteadyClock::now();
    const std::optional<double> playerStart = cpuSeconds(player.pid());
    const std::optional<double> serverStart = cpuSeconds(server_.pid());
    std::this_thread::sleep_for(kMeasure);
    const std::optional<double> playerEnd = cpuSeconds(player.pid());
    const std::optional<double> serverEnd = cpuSeconds(server_.pid());
    const double wall = std::chrono::duration<double>(SteadyClock::now() - start).count();
    if (!player.running() || !playerStart || !playerEnd || !serverStart || !serverEnd)
      return fail("the player ended while measured", log);
    return Measurement{100 * (*playerEnd - *playerStart) / wall,
                       100 * (*serverEnd - *serverStart) / wall};
  }

 private:
  // This environment, with the X server, the software renderer and a lock directory of its
  // own (so that a player running elsewhere does not stop this one), plus `extra`.
  std::vector<std::string> playerEnvironment(const std::vector<std::string>& extra) const {
    const fs::path runtime = dir_ / "run";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    std::vector<std::string> env = {"DISPLAY=" + display_, "SDL_VIDEODRIVER=x11",
                                    "SDL_RENDER_DRIVER=software",
                                    "XDG_RUNTIME_DIR=" + runtime.string()};
    env.insert(env.end(), extra.begin(), extra.end());
    for (const std::string& variable : currentEnvironment()) {
      const std::string name = variable.substr(0, variable.find('='));
      bool replaced = name == "WAYLAND_DISPLAY" || name == "AVG_FULL_REDRAW";
      for (const std::string& set : env)
        replaced = replaced || set.compare(0, name.size() + 1, name + "=") == 0;
      if (!replaced) env.push_back(variable);
    }
    return env;
  }

  // Waits until the player's window carries the game's title, and checks its size; without
  // xwininfo the size goes unchecked and the settling time alone has to do.
  bool awaitWindow(Child& player) const {
    if (!canCheckWindow_) return true;
    const std::string wanted = std::to_string(kWindowWidth) + "x" + std::to_string(kWindowHeight);
    const auto deadline = SteadyClock::now() + kWindowTimeout;
    while (player.running() && SteadyClock::now() < deadline) {
      const std::string size = windowSize(display_);
      if (size == wanted) return true;
      if (!size.empty()) {
        std::printf("bench/idle: the window is %s, not %s\n", size.c_str(), wanted.c_str());
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

  static std::nullopt_t fail(const std::string& why, const std::string& log) {
    std::printf("bench/idle: %s; the player said:\n", why.c_str());
    std::ifstream text(log);
    std::printf("%s\n", std::string(std::istreambuf_iterator<char>(text), {}).c_str());
    return std::nullopt;
  }

  fs::path dir_;
  std::string display_;
  const Child& server_;
  bool canCheckWindow_ = std::system("command -v xwininfo >/dev/null") == 0;
};

}  // namespace

int main(int argc, char** argv) {
  auto codec = avg::makeSdlImageCodec();
  if (argc > 1) {
    writeGame(*codec, fs::path(argv[1]) / "still", false);
    writeGame(*codec, fs::path(argv[1]) / "animated", true);
    return 0;
  }
  const fs::path dir = fs::temp_directory_path() / ("avg-bench-idle-" + std::to_string(::getpid()));
  writeGame(*codec, dir / "still", false);
  writeGame(*codec, dir / "animated", true);

  int status = 0;
  {
    Child server;
    const std::optional<std::string> display = startXvfb(server);
    if (!display) {
      std::printf("bench/idle: skipped: Xvfb could not start\n");
    } else {
      IdleBench bench(dir, *display, server);
      const auto still = bench.measure(dir / "still", {});
      const auto animated = still ? bench.measure(dir / "animated", {}) : std::nullopt;
      const auto full =
          animated ? bench.measure(dir / "still", {"AVG_FULL_REDRAW=1"}) : std::nullopt;
      if (full) {
        std::printf(
            "X server's CPU meanwhile: still %.2f %%, animated %.2f %%, full redraw %.2f %%\n",
            still->serverPercent, animated->serverPercent, full->serverPercent);
        std::printf("RESULT idle_cpu_percent %.2f %%\n", still->playerPercent);
        std::printf("RESULT animated_cpu_percent %.2f %%\n", animated->playerPercent);
        std::printf("RESULT idle_full_redraw_cpu_percent %.2f %%\n", full->playerPercent);
      } else {
        status = 1;
      }
    }
  }
  fs::remove_all(dir);
  return status;
}
