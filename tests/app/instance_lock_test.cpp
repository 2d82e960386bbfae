// The single-instance lock: one holder at a time, released when its process ends.
#include "app/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "support/game_dir.h"
#include "support/player_run.h"

namespace avg {
namespace {

// A holder that ends without releasing, as a killed player does, releases it too.
TEST(InstanceLock, OneHolderAtATimeTillItLetsGoOrEnds) {
  test::TempGameDir dir;
  std::string path = (dir.path() / "lock").string();
  std::optional<InstanceLock> first = InstanceLock::acquire(path);
  ASSERT_TRUE(first);
  EXPECT_FALSE(InstanceLock::acquire(path));
  first.reset();
  pid_t child = fork();
  if (child == 0) _exit(InstanceLock::acquire(path) ? 0 : 1);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(InstanceLock::acquire(path));
  // An uncreatable file does not stop the game.
  EXPECT_TRUE(InstanceLock::acquire("/nonexistent/dir/lock"));
}

TEST(InstanceLock, SecondWindowedPlayerExitsAtOnceWithoutAWord) {
  test::TempGameDir game;
  game.write("autoexec.eve", test::crlf({"CALN,=___,$n__x,%n__1"}));
  const char* previous = std::getenv("XDG_RUNTIME_DIR");
  std::string saved = previous ? previous : "";
  setenv("XDG_RUNTIME_DIR", game.path().c_str(), 1);
  std::optional<InstanceLock> first = InstanceLock::acquire(playerInstanceLockPath());
  // Without --headless; it never gets as far as opening a window.
  test::PlayerRun run = test::runPlayer("'" + game.path().string() + "'");
  // Headless players run side by side with a windowed one.
  test::PlayerRun headless =
      test::runPlayer("--headless --frames 2 '" + game.path().string() + "'");
  if (previous) {
    setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
  } else {
    unsetenv("XDG_RUNTIME_DIR");
  }
  ASSERT_TRUE(first);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.stderrText, "");
  EXPECT_EQ(headless.exitCode, 0);
  EXPECT_EQ(headless.stderrText, "");
}

}  // namespace
}  // namespace avg
