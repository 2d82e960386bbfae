// The bundled demo, built by its own build script and played by the real binary in headless
// mode: the options screen worked with the keyboard pad and the menu, and config.ini.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "input/ini_file.h"
#include "support/game_dir.h"
#include "support/player_run.h"

namespace avg {
namespace {

class DemoGame : public ::testing::Test {
 protected:
  DemoGame() { build(); }

  void build() {
    std::string command = "bash '" + std::string(AVG_SOURCE_DIR) + "/demo/make_game.sh' '" +
                          game().string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  // Plays `frames` frame passes with the events of `input` (lines "FRAME EVENT ARGS...").
  void play(uint64_t frames, const std::string& input) {
    dir_.write("input.txt", input);
    std::string arguments = "--headless --frames " + std::to_string(frames) + " --input '" +
                            (dir_.path() / "input.txt").string() + "' '" + game().string() + "'";
    test::PlayerRun run = test::runPlayer(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.stderrText;
  }

  // The values of the ErrorLog.txt lines "name = value" whose name is `name`, in order.
  std::vector<std::string> logged(const std::string& name) const {
    std::string log = dir_.read("game/ErrorLog.txt");
    std::regex line("### LogCheck ### " + name + " = (.*)\n");
    std::vector<std::string> values;
    for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it)
      values.push_back((*it)[1]);
    return values;
  }

  IniFile config() const { return IniFile(dir_.read("game/config.ini")); }

  std::filesystem::path game() const { return dir_.path() / "game"; }

  test::TempGameDir dir_;
};

using Values = std::vector<std::string>;

TEST_F(DemoGame, OptionsChangedWithThePadAreKeptInConfigIni) {
  play(200,
       "50 key Z down\n52 key Z up\n"          // the title opens the options
       "60 key Left down\n62 key Left up\n"    // text speed 1 -> 0
       "64 key Left down\n66 key Left up\n"    // already the fastest
       "70 key Down down\n72 key Down up\n"    // music volume row
       "74 key Down down\n76 key Down up\n"    // sound volume row
       "80 key Right down\n82 key Right up\n"  // 80 -> 90
       "84 key Right down\n86 key Right up\n"  // 90 -> 100
       "88 key Right down\n90 key Right up\n"  // already the loudest
       "92 key Up down\n94 key Up up\n"        // music volume row
       "96 key Left down\n98 key Left up\n"    // 80 -> 70
       "110 menu 10000\n"                      // grayed here: nothing happens
       "120 key X down\n122 key X up\n"        // back to the title
       "130 menu 20000\n");
  EXPECT_EQ(logged("scene"), (Values{"title", "options", "title"}));
  EXPECT_EQ(logged("menu"), (Values{"ロードが選ばれました"}));
  EXPECT_EQ(logged("Talk-Wait"), (Values{"0"}));
  EXPECT_EQ(logged("Volume-Sound"), (Values{"100"}));

  IniFile file = config();
  EXPECT_EQ(file.integer("TEXT", "WAIT", -1), 0);
  EXPECT_EQ(file.integer("MUSIC", "VOLUME", -1), 70);
  EXPECT_EQ(file.integer("SOUND", "VOLUME", -1), 100);
  EXPECT_EQ(file.integer("VOICE", "VOLUME", -1), 80);

  // Building the demo again keeps the user's settings.
  build();
  EXPECT_EQ(config().integer("SOUND", "VOLUME", -1), 100);
  EXPECT_EQ(config().integer("TEXT", "WAIT", -1), 0);
}

}  // namespace
}  // namespace avg
