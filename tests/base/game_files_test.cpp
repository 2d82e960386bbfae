#include "base/game_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/game_dir.h"

namespace avg {
namespace {

// With a write directory, what a run wrote wins over the game's own file, names keep the
// game's spelling rules there too, and writes land below it with their directories made.
TEST(GameFiles, ReadsTheWriteDirectoryFirstAndWritesOnlyThere) {
  test::TempGameDir game;
  const std::string written = (game.path() / "written").string();
  game.write("config.ini", "game");
  game.write("data.txt", "game data");
  game.write("written/CONFIG.INI", "written");
  game.write("written/Save/a.sav", "saved");
  std::filesystem::create_directory(game.path() / "Save");
  const GameFiles files(written);
  struct Case {
    const char* name;
    std::optional<std::string> content;
  };
  for (const Case& c : {Case{"config.ini", "written"}, Case{"data.txt", "game data"},
                        Case{"save\\A.SAV", "saved"}, Case{"missing.sav", {}}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(files.read(c.name), c.content);
  }
  EXPECT_EQ(files.find("DATA.TXT"), "data.txt");
  EXPECT_EQ(files.outputPath("save\\b.sav"), written + "/Save/b.sav");
  EXPECT_EQ(files.outputPath("Flags\\Read\\f.dat"), written + "/Flags/Read/f.dat");
  EXPECT_TRUE(std::filesystem::is_directory(written + "/Flags/Read"));

  // Without one, everything stays in the game directory as before.
  EXPECT_EQ(GameFiles().read("config.ini"), "game");
  EXPECT_EQ(GameFiles().outputPath("save\\b.sav"), "Save/b.sav");
}

}  // namespace
}  // namespace avg
