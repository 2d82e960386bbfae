#include "base/game_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "support/game_dir.h"

namespace avg {
namespace {

// Game files are found the way the game names them; only regular files are read whole, so a
// script naming a device, a directory or a missing file gets nothing and never hangs.
TEST(GamePath, ReadsOnlyRegularGameFiles) {
  test::TempGameDir dir;
  dir.write("data/Table.TXT", std::string("a\0b", 3));
  std::filesystem::create_directory(dir.path() / "folder");
  struct Case {
    const char* name;
    std::optional<std::string> content;
  };
  for (const Case& c : {Case{"data\\table.txt", std::string("a\0b", 3)}, Case{"missing.txt", {}},
                        Case{"folder", {}}, Case{"/dev/zero", {}}, Case{"/dev/null", {}}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(readPlainFile(c.name), c.content);
  }
}

}  // namespace
}  // namespace avg
