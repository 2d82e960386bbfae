// The bundled demo, built by its own build script and played by the real binary in headless
// mode: the options screen worked with the keyboard pad and the menu, config.ini, the save
// and load screen, and the opening film; the dialogue scene with a typed name, in process.
// The quick keys are played in the replay tests.
#include <gtest/gtest.h>

#include <regex>

#include "base/text_encoding.h"
#include "input/ini_file.h"
#include "stage/text_layer.h"
#include "support/game_dir.h"
#include "support/player_run.h"
#include "support/real_services.h"

namespace avg {
namespace {

class DemoGame : public ::testing::Test {
 protected:
  // The opening film is off but where it is tested, so that the other tests count their
  // passes from the title.
  DemoGame() {
    build();
    dir_.write("game/config.ini", dir_.read("game/config.ini") + "[VIDEO]\r\nDISABLE=1\r\n");
  }

  void build() { ASSERT_EQ(test::buildDemo(game()), 0); }

  // Plays `frames` frame passes with the events of `input` (lines "FRAME EVENT ARGS...");
  // returns the message boxes shown, one "caption | text -> answer" line each.
  std::string play(uint64_t frames, const std::string& input) {
    dir_.write("input.txt", input);
    std::string arguments = "--headless --frames " + std::to_string(frames) + " --input '" +
                            (dir_.path() / "input.txt").string() + "' '" + game().string() + "'";
    test::PlayerRun run = test::runPlayer(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.stderrText;
    std::regex box(R"(\[messagebox\] (.*)\n)");
    std::string boxes;
    for (std::sregex_iterator it(run.stderrText.begin(), run.stderrText.end(), box), end; it != end;
         ++it)
      boxes += (*it)[1].str() + "\n";
    return boxes;
  }

  // The values of the ErrorLog.txt lines "name = value" whose name is `name`, in order.
  std::vector<std::string> logged(const std::string& name) const {
    std::vector<std::string> values;
    for (const std::string& entry : test::logChecks(dir_.read("game/ErrorLog.txt"))) {
      if (entry.starts_with(name + " = ")) values.push_back(entry.substr(name.size() + 3));
    }
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
  EXPECT_EQ(logged("menu"), (Values{"ロード"}));
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

TEST_F(DemoGame, SaveScreenSavesIntoASlotAndLoadsItBack) {
  std::string boxes = play(400,
                           "40 lbutton down\n41 lbutton up\n"  // the title starts the story
                           "80 menu 10000\n"                   // Save: the screen opens
                           "90 answer yes\n90 key Z down\n92 key Z up\n"  // into slot 1
                           "100 key X down\n102 key X up\n"               // back to the story
                           "110 menu 40001\n"                             // Title
                           "130 menu 20000\n"                             // Load
                           "140 mouse 320 63\n141 answer yes\n"           // slot 1's row
                           "141 lbutton down\n142 lbutton up\n");
  EXPECT_EQ(boxes,
            "avgplayer | デモはここまでです。 -> ok\n"
            "確認 | セーブしてもよろしいですか？ -> yes\n確認 | セーブしました -> ok\n"
            "確認 | ロードしてもよろしいですか？ -> yes\n確認 | ロードしました -> ok\n");
  EXPECT_TRUE(std::filesystem::exists(game() / "Save/slot1.sav"));
  std::vector<std::string> slots = logged("slot");
  // Three rows each: the save screen opens, after saving, the load screen opens, the click.
  ASSERT_EQ(slots.size(), 12u);
  EXPECT_EQ(slots[0], "スロット1　空き　");
  EXPECT_EQ(slots[2], "スロット3　空き　");
  std::regex saved("スロット1　\\d{4}年\\d\\d月\\d\\d日\\d\\d時\\d\\d分　案内人との出会い");
  EXPECT_TRUE(std::regex_match(slots[3], saved)) << slots[3];
  EXPECT_EQ(slots[9], slots[3]);
  EXPECT_EQ(logged("menu"), (Values{"セーブ", "title", "ロード"}));
  // Back in the story: the title, left at 110, would have started it again by itself at 350.
  EXPECT_EQ(logged("scene"), (Values{"title", "story", "title"}));
}

TEST_F(DemoGame, TheOpeningFilmPlaysUntilAClickSkipsIt) {
  IniFile file = config();
  file.set("VIDEO", "DISABLE", 0);
  ASSERT_TRUE(file.save((game() / "config.ini").string()));
  // The film runs from about pass 32 to pass 177; the title starts the story by itself four
  // seconds after it shows.
  for (const auto& [input, scenes] :
       {std::pair{"", Values{"title"}},
        std::pair{"60 lbutton down\n61 lbutton up\n", Values{"title", "story"}}}) {
    std::filesystem::remove(game() / "ErrorLog.txt");
    play(350, input);
    EXPECT_EQ(logged("scene"), scenes) << input;
    EXPECT_EQ(dir_.read("game/ErrorLog.txt").find("CMovieAVI"), std::string::npos);
  }
}

// The dialogue scene alone, in process, with "Ann" typed from pass 60.
TEST(DialogueDemo, TypedNameIsUsedByTheLaterLines) {
  test::PlayerFixture player(parseInputScript("60 char 65\n61 char 110\n62 char 110\n"),
                             test::makeRealServices);
  std::string script;  // as the game ships it: CP932 with CR LF line ends
  for (char c : utf8ToCp932(player.dir().read(AVG_SOURCE_DIR "/demo/src/dialogue.eve")))
    script += c == '\n' ? std::string("\r\n") : std::string(1, c);
  player.dir().write("autoexec.eve", script);
  player.run(5000);
  EXPECT_EQ(player.stringVar("name"), "Ann");
  const MessageWindow& window = player.engine().companion<TextLayer>().windows().at(0);
  ASSERT_EQ(window.logPages.size(), 3u);
  std::string last;
  for (const GlyphPtr& glyph : window.logPages[2])
    last += glyph->text;
  EXPECT_EQ(cp932ToUtf8(last), "【案内人】Annさんの冒険はここから始まります。");
}

}  // namespace
}  // namespace avg
