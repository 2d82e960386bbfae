#include "base/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

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

}  // namespace
}  // namespace avg
