// The game's text out of the real binary: JSON lines, the WebSocket server, speech without a
// speech service, and F12 screenshots.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <regex>

#include "graphics/image_loader.h"
#include "platform/image_io/sdl_image_codec.h"
#include "support/game_dir.h"
#include "support/player_run.h"

namespace avg {
namespace {

using test::crlf;
using test::quoted;
using test::TempGameDir;

// Runs the player headless with `environment` settings prefixed; returns its exit code.
int runHeadless(const std::string& environment, const std::string& arguments) {
  return test::shell(environment + " " AVGPLAYER_BINARY " --headless " + arguments +
                     " >/dev/null 2>&1");
}

// A socket listening on a free port of 127.0.0.1, held until destroyed.
class ListeningSocket {
 public:
  ListeningSocket() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(fd_, 1) == 0 &&
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
      port_ = ntohs(address.sin_port);
    }
  }
  ~ListeningSocket() { close(fd_); }
  uint16_t port() const { return port_; }

 private:
  int fd_;
  uint16_t port_ = 0;
};

// The player run in the background on `dir` until destroyed, when it is killed.
class BackgroundPlayer {
 public:
  BackgroundPlayer(const std::filesystem::path& dir, const std::string& option, uint16_t port) {
    const std::string portText = std::to_string(port), game = dir.string();
    std::vector<const char*> argv = {AVGPLAYER_BINARY, "--headless",     "--frames",   "2000000000",
                                     option.c_str(),   portText.c_str(), game.c_str(), nullptr};
    posix_spawn(&pid_, AVGPLAYER_BINARY, nullptr, nullptr, const_cast<char**>(argv.data()),
                environ);
  }
  ~BackgroundPlayer() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = 0;
};

// Connects `clients` WebSocket clients to the port, retrying for a while, and prints the first
// `count` messages each receives, one per line.
constexpr const char* kClient = R"(import asyncio, sys, websockets
async def receive(port, count):
    for attempt in range(200):
        try:
            async with websockets.connect("ws://127.0.0.1:%d" % port) as ws:
                return [await asyncio.wait_for(ws.recv(), 120) for _ in range(count)]
        except OSError:
            await asyncio.sleep(0.05)
async def main(port, clients, count):
    for messages in await asyncio.gather(*[receive(port, count) for _ in range(clients)]):
        print("|".join(messages or ["no connection"]))
asyncio.run(main(*map(int, sys.argv[1:])))
)";

// Debian's interpreter, which its python3-websockets serves, else the one on the path; empty
// when neither has the module.
std::string pythonWithWebsockets() {
  for (std::string python : {"/usr/bin/python3", "python3"}) {
    if (std::system((python + " -c 'import websockets' >/dev/null 2>&1").c_str()) == 0)
      return python;
  }
  return {};
}

std::string runClient(TempGameDir& dir, const std::string& python, uint16_t port, int clients,
                      int count) {
  dir.write("client.py", kClient);
  const std::string command = "timeout 250 " + python + " " + quoted(dir.path() / "client.py") +
                              " " + std::to_string(port) + " " + std::to_string(clients) + " " +
                              std::to_string(count) + " >" + quoted(dir.path() / "client.txt");
  EXPECT_EQ(std::system(command.c_str()), 0);
  return dir.read("client.txt");
}

int errorLogLines(const TempGameDir& dir, const std::string& containing) {
  const std::string log = dir.read("game/ErrorLog.txt");
  int lines = 0;
  for (size_t at = log.find(containing); at != std::string::npos; at = log.find(containing, at + 1))
    ++lines;
  return lines;
}

// "「あ」" in CP932, then a line break and ASCII.
const std::vector<std::string> kDialogue = {"MESS,ADD_,%s__\x81\x75\x82\xa0\x81\x76",
                                            "MESS,CRLF",
                                            "MESS,ADD_,%s__\"ok\"",
                                            "NEXT",
                                            "MESS,CLE_",
                                            "MESS,ADD_,%s__end",
                                            "NEXT",
                                            "MESS,CLE_",
                                            "CLOS"};
const std::string kDialogueJson =
    "{\"frame\":2,\"window\":0,\"text\":\"「あ」\\n\\\"ok\\\"\"}\n"
    "{\"frame\":3,\"window\":0,\"text\":\"end\"}\n";

// JSON lines asked for in config.ini or on the command line; a port in use and speech
// without a speech service are logged once each and the game goes on.
TEST(TextOutE2E, JsonLinesAndServicesThatCannotStart) {
  ListeningSocket taken;
  const std::string out = " --text-out lines.jsonl";
  struct Case {
    std::string config, environment, options, logged;
  };
  for (const Case& c :
       {Case{"[AVGPLAYER]\r\nTEXT_OUT=lines.jsonl\r\n", "", "", ""},
        Case{"", "", "--text-socket " + std::to_string(taken.port()) + out, "--text-socket"},
        Case{"", "SPEECHD_ADDRESS=unix_socket:/nonexistent/speech", "--speak" + out, "--speak"}}) {
    TempGameDir dir;
    dir.write("game/autoexec.eve", crlf(kDialogue));
    dir.write("game/config.ini", c.config);
    ASSERT_EQ(runHeadless(c.environment, c.options + " " + quoted(dir.path() / "game")), 0);
    EXPECT_EQ(dir.read(c.config.empty() ? "lines.jsonl" : "game/lines.jsonl"), kDialogueJson)
        << c.options;
    if (!c.logged.empty()) {
      EXPECT_EQ(errorLogLines(dir, c.logged), 1) << c.options;
    }
  }
}

// Long enough for the clients to connect while the game idles (a second or more here, far
// longer in a sanitized build, whose clients wait for it).
constexpr int kIdlePasses = 1000000;

TEST(TextOutE2E, WebSocketClientsGetTheLastEventAndThoseAfterIt) {
  const std::string python = pythonWithWebsockets();
  if (python.empty()) GTEST_SKIP() << "python3-websockets is not installed";
  TempGameDir dir;
  // One line, then a while of nothing, then lines one after another.
  dir.write("game/autoexec.eve",
            crlf({"MESS,ADD_,%s__\x82\xa0", "NEXT", "MESS,CLE_", "CALN,=___,$n__i,%n__0", "#idle",
                  "NEXT", "CALN,+___,$n__i,$n__i,%n__1",
                  "CALN,<___,$n__c,$n__i,%n__" + std::to_string(kIdlePasses), "IF__,$n__c",
                  "GOTO,idle", "#loop", "MESS,ADD_,%s__ping", "NEXT", "MESS,CLE_",
                  "MESS,ADD_,%s__pong", "NEXT", "MESS,CLE_", "GOTO,loop"}));
  const uint16_t port = ListeningSocket().port();  // one the system handed out and took back
  BackgroundPlayer player(dir.path() / "game", "--text-socket", port);
  const std::string received = runClient(dir, python, port, 2, 3);
  // Both clients come while the game idles: they get its last line first, then the new ones.
  const std::regex expected(R"((あ(\|(ping|pong)){2}\n){2})");
  EXPECT_TRUE(std::regex_match(received, expected)) << received;
}

TEST(TextOutE2E, F12WritesTheFrameUnlessThePadsBindIt) {
  TempGameDir dir;
  dir.write("game/autoexec.eve", crlf({"MESS,ADD_,%s__shot", "#loop", "NEXT", "GOTO,loop"}));
  dir.write("game/config.ini", "[GAME]\r\nNAME=Demo/1\r\n");
  // Text drawn over the last frame grows brighter at its edges: the frames differ, so both
  // pictures are taken before the same pass.
  dir.write("keys.txt", "5 key F12 down\n5 key F12 up\n5 screenshot " +
                            (dir.path() / "same.png").string() + "\n");
  const std::string environment = "XDG_PICTURES_DIR=" + quoted(dir.path() / "pictures");
  const std::string arguments =
      "--frames 10 --input " + quoted(dir.path() / "keys.txt") + " " + quoted(dir.path() / "game");
  ASSERT_EQ(runHeadless(environment, arguments), 0);
  std::vector<std::filesystem::path> shots;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path() / "pictures/avgplayer"))
    shots.push_back(entry.path());
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_TRUE(shots[0].filename().string().starts_with("Demo_1 20"));
  const auto codec = makeSdlImageCodec();
  Surface f12, same;
  ASSERT_EQ(loadImage(f12, shots[0].string(), *codec), kImageLoaded);
  ASSERT_EQ(loadImage(same, (dir.path() / "same.png").string(), *codec), kImageLoaded);
  ASSERT_EQ(f12.width(), 640);
  ASSERT_EQ(f12.height(), 480);
  int differing = 0;
  for (int32_t y = 0; y < 480; ++y) {
    for (int32_t x = 0; x < 640; ++x)
      differing += f12.pixel(x, y) != same.pixel(x, y);
  }
  EXPECT_EQ(differing, 0);

  // Player 1's button A on F12 (0x7B): the key is the game's.
  std::filesystem::remove_all(dir.path() / "pictures");
  dir.write("game/config.ini", "[GAME]\r\nNAME=Demo\r\n[PL1]\r\nA=123\r\n");
  ASSERT_EQ(runHeadless(environment, arguments), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "pictures/avgplayer"));
}

}  // namespace
}  // namespace avg
