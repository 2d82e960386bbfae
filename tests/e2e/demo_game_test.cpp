// The bundled demo, built by its own build script and played by the real binary in headless
// mode: the menu bar, the options screen worked with the keyboard pad, and config.ini.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include "input/ini_file.h"
#include "platform/text_encoding.h"
#include "support/game_dir.h"

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

TEST_F(DemoGame, ShipsTheSettingsThePadNeeds) {
  IniFile file = config();
  EXPECT_EQ(file.integer("TEXT", "WAIT", -1), 1);
  EXPECT_EQ(file.integer("SOUND", "VOLUME", -1), 80);
  // Up, down, left, right, then Z, X and Return for the first three buttons.
  const std::pair<const char*, int32_t> bindings[] = {
      {"UP", 0x26}, {"DOWN", 0x28}, {"LEFT", 0x25}, {"RIGHT", 0x27},
      {"A", 0x5A},  {"B", 0x58},    {"C", 0x0D}};
  for (const auto& [key, code] : bindings)
    EXPECT_EQ(file.integer("PL1", key, -1), code) << key;
}

TEST_F(DemoGame, MenuSaveAndLoadOnlySayWhichWasChosen) {
  play(200, "60 menu 10000\n100 key F2 down\n101 key F2 up\n");
  EXPECT_EQ(logged("menu"), (Values{"セーブが選ばれました", "ロードが選ばれました"}));
  // Neither left the title scene.
  EXPECT_EQ(logged("scene"), (Values{"title"}));
}

TEST_F(DemoGame, MenuTitleLeavesTheStoryForANewTitleScene) {
  // A click on the title starts the story; the menu's Title item ends it.
  play(200, "60 lbutton down\n61 lbutton up\n120 menu 40001\n");
  EXPECT_EQ(logged("scene"), (Values{"title", "story", "title"}));
  EXPECT_EQ(logged("menu"), (Values{"title"}));
}

TEST_F(DemoGame, OptionsChangedWithThePadAreKeptInConfigIni) {
  play(200,
       "50 key Z down\n52 key Z up\n"              // the title opens the options
       "60 key Left down\n62 key Left up\n"        // text speed 1 -> 0
       "64 key Left down\n66 key Left up\n"        // already the fastest
       "70 key Down down\n72 key Down up\n"        // music volume row
       "74 key Down down\n76 key Down up\n"        // sound volume row
       "80 key Right down\n82 key Right up\n"      // 80 -> 90
       "84 key Right down\n86 key Right up\n"      // 90 -> 100
       "88 key Right down\n90 key Right up\n"      // already the loudest
       "92 key Up down\n94 key Up up\n"            // music volume row
       "96 key Left down\n98 key Left up\n"        // 80 -> 70
       "110 menu 10000\n"                          // grayed here: nothing happens
       "120 key X down\n122 key X up\n"            // back to the title
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
  EXPECT_EQ(cp932ToUtf8(file.string("GAME", "NAME", "")), "avgplayer デモ");

  // Building the demo again keeps the user's settings.
  build();
  EXPECT_EQ(config().integer("SOUND", "VOLUME", -1), 100);
  EXPECT_EQ(config().integer("TEXT", "WAIT", -1), 0);
}

TEST_F(DemoGame, PadConfirmOnTheLastRowLeavesTheOptions) {
  play(150,
       "40 key Return down\n41 key Return up\n"
       "50 key Up down\n52 key Up up\n"            // wraps round to the last row
       "60 key Return down\n61 key Return up\n");
  EXPECT_EQ(logged("scene"), (Values{"title", "options", "title"}));
  EXPECT_EQ(logged("Talk-Wait"), (Values{"1"}));
}

}  // namespace
}  // namespace avg
