#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <random>

#include "support/game_dir.h"

namespace avg {
namespace {

size_t fileCount(const std::filesystem::path& directory) {
  return std::distance(std::filesystem::directory_iterator(directory), {});
}

// An existing file is replaced whole, a new one created (bytes kept exactly); no temporary
// file is left beside either.
TEST(AtomicFile, WritesTheWholeFile) {
  struct Case {
    std::string name;
    std::optional<std::string> before;
    std::string bytes;
  };
  for (const Case& c : {Case{"data.bin", std::string(1000, 'o'), "new"},
                        Case{"save/new.sav", std::nullopt, std::string("a\0b", 3)}}) {
    test::TempGameDir dir;
    std::filesystem::path file = dir.path() / c.name;
    std::filesystem::create_directories(file.parent_path());
    if (c.before) dir.write(c.name, *c.before);
    EXPECT_TRUE(replaceFileAtomically(c.name, c.bytes)) << c.name;
    EXPECT_EQ(dir.read(c.name), c.bytes) << c.name;
    EXPECT_EQ(fileCount(file.parent_path()), 1u) << c.name;
  }
}

TEST(AtomicFile, FailureLeavesTheTargetAndNoTemporaryFile) {
  test::TempGameDir dir;
  EXPECT_FALSE(replaceFileAtomically("missing/file.dat", "x"));
  std::filesystem::create_directories(dir.path() / "target");
  dir.write("target/inside", "keep");
  EXPECT_FALSE(replaceFileAtomically("target", "x"));
  EXPECT_EQ(dir.read("target/inside"), "keep");
  EXPECT_EQ(fileCount(dir.path()), 1u);
  EXPECT_FALSE(replaceFileAtomically("", "x"));
}

// Temporaries of "target": "target.tmp-" and six characters.
size_t temporaryCount(const std::filesystem::path& directory) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(directory)) {
    const std::string name = entry.path().filename().string();
    count += name.starts_with("target.tmp-") && name.size() == 17;
  }
  return count;
}

// Writers killed at random moments: the target is always one whole version, and a writer
// that has written once has removed what the killed ones left.
TEST(AtomicFile, KilledWritersLeaveNothingBehindTheNext) {
  test::TempGameDir dir;
  const std::string versions[2] = {std::string(65536, 'a'), std::string(65536, 'b')};
  ASSERT_TRUE(replaceFileAtomically("target", versions[0]));
  dir.write("target.tmp-Stale1", "left by a crash");
  dir.write("other.tmp-Stale1", "another file's");
  std::mt19937 random(17);
  for (int run = 0; run < 200; ++run) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t writer = ::fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
      ::close(ready[0]);
      for (int n = 0;; ++n) {
        replaceFileAtomically("target", versions[n % 2]);
        if (n == 0) (void)!::write(ready[1], "w", 1);
      }
    }
    ::close(ready[1]);
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    ::close(ready[0]);
    EXPECT_LE(temporaryCount(dir.path()), 1u) << run;  // at most the one being written
    ::usleep(static_cast<useconds_t>(random() % 2000));
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    const std::string content = dir.read("target");
    ASSERT_TRUE(content == versions[0] || content == versions[1]) << run;
  }
  ASSERT_TRUE(replaceFileAtomically("target", "last"));
  EXPECT_EQ(temporaryCount(dir.path()), 0u);
  EXPECT_EQ(dir.read("other.tmp-Stale1"), "another file's");
}

}  // namespace
}  // namespace avg
