// A save interrupted by kill -9 at any moment leaves the previous save whole.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <sstream>
#include <thread>

#include "app/player_app.h"
#include "app/save_game.h"
#include "save/packed_block.h"
#include "script/save_text.h"
#include "support/game_dir.h"

namespace avg {
namespace {

// Saves a game of some size to `path` again and again until killed; writes a byte to `ready`
// once the first save is complete, so that kills land among saves, not in the set-up.
[[noreturn]] void saveForever(const std::string& path, int ready) {
  std::ostringstream boxes;
  Platform platform = makeHeadlessPlatform(test::makeFakeServices(), {}, boxes);
  PlayerApp app(platform, RunOptions{});
  for (int i = 0; i < 3000; ++i)
    *app.engine().variables().ints.bind("v" + std::to_string(i)) = i;
  saveGame(app.engine(), path);
  if (write(ready, "!", 1) != 1) _exit(1);
  for (;;)
    saveGame(app.engine(), path);
}

// Waits up to a minute for the child's first save.
bool firstSaveDone(int ready) {
  pollfd poll{ready, POLLIN, 0};
  char byte = 0;
  return ::poll(&poll, 1, 60000) == 1 && read(ready, &byte, 1) == 1;
}

TEST(SaveKill, KilledSavesNeverLeaveAMissingOrUnreadableFile) {
  test::TempGameDir dir;
  const std::string path = (dir.path() / "a.sav").string();
  {
    std::ostringstream boxes;
    Platform platform = makeHeadlessPlatform(test::makeFakeServices(), {}, boxes);
    PlayerApp app(platform, RunOptions{});
    ASSERT_TRUE(saveGame(app.engine(), path));
  }
  std::mt19937 random(15);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
  int kills = 0;
  for (; kills < 300 && std::chrono::steady_clock::now() < deadline; ++kills) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) saveForever(path, ready[1]);
    close(ready[1]);
    ASSERT_TRUE(firstSaveDone(ready[0])) << "the child never saved";
    close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::optional<std::string> content = unpackBlock(dir.read("a.sav"));
    ASSERT_TRUE(content) << "after kill " << kills;
    SaveText text;
    ASSERT_TRUE(text.parse(*content));
    ASSERT_TRUE(text.section("EDIT")) << "after kill " << kills;
  }
  EXPECT_GE(kills, 50);
}

}  // namespace
}  // namespace avg
