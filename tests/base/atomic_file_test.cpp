#include "base/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/game_dir.h"

namespace avg {
namespace {

size_t fileCount(const std::filesystem::path& directory) {
  return std::distance(std::filesystem::directory_iterator(directory), {});
}

TEST(AtomicFile, ReplacesAnExistingFileWhole) {
  test::TempGameDir dir;
  dir.write("data.bin", std::string(1000, 'o'));
  EXPECT_TRUE(replaceFileAtomically("data.bin", "new"));
  EXPECT_EQ(dir.read("data.bin"), "new");
  EXPECT_EQ(fileCount(dir.path()), 1u);
}

TEST(AtomicFile, CreatesANewFile) {
  test::TempGameDir dir;
  dir.write("save/keep", "");
  EXPECT_TRUE(replaceFileAtomically("save/new.sav", std::string("a\0b", 3)));
  EXPECT_EQ(dir.read("save/new.sav"), std::string("a\0b", 3));
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
