// A save interrupted by kill -9 at any moment leaves the previous save whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
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

// Saves a game of some size to `path` again and again until killed.
[[noreturn]] void saveForever(const std::string& path) {
  std::ostringstream boxes;
  Platform platform = makeHeadlessPlatform(test::makeFakeServices(), {}, boxes);
  PlayerApp app(platform, RunOptions{});
  for (int i = 0; i < 3000; ++i)
    *app.engine().variables().ints.bind("v" + std::to_string(i)) = i;
  for (;;)
    saveGame(app.engine(), path);
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
  int replaced = 0;  // kills after which a new file had taken the old one's place
  struct stat last {};
  stat(path.c_str(), &last);
  for (; kills < 300 && std::chrono::steady_clock::now() < deadline; ++kills) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) saveForever(path);
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::optional<std::string> content = unpackBlock(dir.read("a.sav"));
    ASSERT_TRUE(content) << "after kill " << kills;
    SaveText text;
    ASSERT_TRUE(text.parse(*content));
    ASSERT_TRUE(text.section("EDIT")) << "after kill " << kills;
    struct stat now {};
    stat(path.c_str(), &now);
    replaced += now.st_ino != last.st_ino || now.st_mtim.tv_nsec != last.st_mtim.tv_nsec;
    last = now;
  }
  EXPECT_GE(kills, 100);
  EXPECT_GE(replaced, kills / 4);  // the kills did land among saves
}

}  // namespace
}  // namespace avg
