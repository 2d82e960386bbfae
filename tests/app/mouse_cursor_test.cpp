// The cursor named in config.ini.
#include <gtest/gtest.h>

#include <tuple>

#include "support/cursor_files.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::PlayerFixture;

const HeadlessWindow& windowOf(PlayerFixture& player) {
  return dynamic_cast<const HeadlessWindow&>(*player.platform().window);
}

TEST(MouseCursor, ConfigNamesTheFileAsGamesWriteIt) {
  PlayerFixture player;
  const test::CursorBitmap arrow{.width = 3, .height = 5, .colours = std::vector<uint32_t>(15)};
  player.dir().write("data/arrow.cur", test::cursorFile(arrow, 2, 4));
  player.dir().write("config.ini", "[MOUSE]\r\nCURSOR=Data\\Arrow.CUR\r\n");
  player.runScript({"QUIT"});
  const std::optional<CursorImage>& cursor = windowOf(player).cursor();
  ASSERT_TRUE(cursor);
  EXPECT_EQ(std::tuple(cursor->pixels.width(), cursor->pixels.height(), cursor->hotX, cursor->hotY),
            std::tuple(3, 5, 2, 4));
  EXPECT_EQ(player.errorLog(), "");
}

TEST(MouseCursor, ArrowStaysWithoutAUsableFile) {
  struct Case {
    std::string config;
    bool logged;
  };
  for (const Case& c : {Case{"[MOUSE]\r\nCURSOR=missing.cur\r\n", false},
                        Case{"[MOUSE]\r\nCURSOR=autoexec.eve\r\n", true}}) {
    PlayerFixture player;
    player.dir().write("config.ini", c.config);
    player.runScript({"QUIT"});
    EXPECT_FALSE(windowOf(player).cursor()) << c.config;
    EXPECT_EQ(
        player.errorLog().find("cannot decode the mouse cursor autoexec.eve") != std::string::npos,
        c.logged)
        << c.config;
  }
}

}  // namespace
}  // namespace avg
