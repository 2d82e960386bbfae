// config.ini read at start into the timer, channels and variables, and written back at the
// end from what the game left.
#include "input/configuration.h"

#include <gtest/gtest.h>

#include "media/sound_channel.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::crlf;
using test::PlayerFixture;

struct KeyCase {
  const char* name;
  std::vector<std::string> config;
  const char* variable;  // mirrored variable, or nullptr
  int32_t value;
  const char* section;  // key written back
  const char* key;
  int32_t written;
};

class ConfigKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ConfigKeys, AreCorrectedMirroredAndWrittenBack) {
  const KeyCase& c = GetParam();
  PlayerFixture player;
  player.dir().write("config.ini", crlf(c.config));
  player.runScript({"QUIT"});
  if (c.variable) {
    EXPECT_EQ(player.intVar(c.variable), c.value);
  }
  IniFile written = IniFile::load("config.ini");
  EXPECT_EQ(written.integer(c.section, c.key, -99), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigKeys,
    ::testing::Values(
        KeyCase{"rate90", {"[FRAME]", "RATE=90"}, "Flag-FPS", 0, "FRAME", "RATE", 60},
        KeyCase{"rate120", {"[FRAME]", "RATE=120"}, "Flag-FPS", 1, "FRAME", "RATE", 120},
        KeyCase{"rate0", {"[FRAME]", "RATE=0"}, "Flag-FPS", 0, "FRAME", "RATE", 60},
        KeyCase{"music150", {"[MUSIC]", "VOLUME=150"}, "Volume-Music", 0, "MUSIC", "VOLUME", 0},
        KeyCase{"music40", {"[MUSIC]", "VOLUME=40"}, "Volume-Music", 40, "MUSIC", "VOLUME", 40},
        KeyCase{"sound150", {"[SOUND]", "VOLUME=150"}, "Volume-Sound", 0, "SOUND", "VOLUME", 0},
        KeyCase{"voice150", {"[VOICE]", "VOLUME=150"}, "Volume-Voice", 150, "VOICE", "VOLUME", 150},
        KeyCase{"device0", {"[MUSIC]", "DEVICE=0"}, nullptr, 0, "MUSIC", "DEVICE", 0},
        KeyCase{"device2", {"[MUSIC]", "DEVICE=2"}, nullptr, 0, "MUSIC", "DEVICE", 2},
        KeyCase{"device7", {"[MUSIC]", "DEVICE=7"}, nullptr, 0, "MUSIC", "DEVICE", 0},
        KeyCase{"sound_disable5", {"[SOUND]", "DISABLE=5"}, nullptr, 0, "SOUND", "DISABLE", 1},
        KeyCase{"voice_disable101", {"[VOICE]", "DISABLE=101"}, nullptr, 0, "VOICE", "DISABLE", 0},
        KeyCase{"voice_disable100", {"[VOICE]", "DISABLE=100"}, nullptr, 0, "VOICE", "DISABLE", 1},
        KeyCase{"wait7", {"[TEXT]", "WAIT=7"}, "Talk-Wait", 2, "TEXT", "WAIT", 2},
        KeyCase{"wait0", {"[TEXT]", "WAIT=0"}, "Talk-Wait", 0, "TEXT", "WAIT", 0},
        KeyCase{"ctrl3", {"[TEXT]", "CTRL=3"}, "Flag-CtrlSkip", 1, "TEXT", "CTRL", 1},
        KeyCase{"ctrl0", {"[TEXT]", "CTRL=0"}, "Flag-CtrlSkip", 0, "TEXT", "CTRL", 0},
        KeyCase{"char_voice",
                {"[VOICE]", "Flag-Char03CV=0"},
                "Flag-Char03CV",
                0,
                "VOICE",
                "Flag-Char03CV",
                0},
        KeyCase{
            "full_screen_off", {"[SCREEN]", "FULL=0"}, "Flag-FullScreen", 0, "SCREEN", "FULL", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Configuration, FrameKeysDriveTheTimer) {
  PlayerFixture player;
  player.dir().write("config.ini", crlf({"[FRAME]", "RATE=90", "WAIT=0", "SKIP=0"}));
  player.runScript({"QUIT"});
  EXPECT_EQ(player.app().frameTimer().rate(), 90u);
}

TEST(Configuration, SoundSettingsReachTheChannels) {
  PlayerFixture player;
  player.dir().write("config.ini",
                     crlf({"[SOUND]", "DISABLE=5", "VOLUME=50", "[VOICE]", "DISABLE=3"}));
  player.runScript({"QUIT"});
  auto& channels = player.engine().companion<SoundChannels>();
  EXPECT_FALSE(channels.effects.enabled());
  EXPECT_FALSE(channels.voice.enabled());
  EXPECT_EQ(channels.effects.scriptVolume(), 50);
}

TEST(Configuration, MissingFileIsCreatedWithTheDefaults) {
  PlayerFixture player;
  player.runScript({"QUIT"});
  EXPECT_EQ(player.dir().read("config.ini"),
            crlf({"[SCREEN]",        "FULL=0",          "[FRAME]",         "RATE=60",
                  "[MUSIC]",         "DEVICE=1",        "VOLUME=0",        "[SOUND]",
                  "DISABLE=0",       "VOLUME=0",        "[VOICE]",         "DISABLE=0",
                  "VOLUME=0",        "Flag-Char00CV=1", "Flag-Char01CV=1", "Flag-Char02CV=1",
                  "Flag-Char03CV=1", "Flag-Char04CV=1", "[TEXT]",          "WAIT=2",
                  "CTRL=1"}));
  auto& settings = player.engine().companion<PlayerSettings>();
  EXPECT_EQ(settings.fontName, "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e");
  EXPECT_TRUE(settings.mixerControl);
  EXPECT_FALSE(settings.videoDisabled);
}

TEST(Configuration, WritesWhatTheScriptsLeftAndKeepsOtherLines) {
  PlayerFixture player;
  std::string config = crlf({"; settings", "[GAME]", "NAME=\x83\x51\x81\x5B\x83\x80", "[TEXT]",
                             "FONT=Mincho", "WAIT=2", "", "[INPUT]", "PL=1"});
  player.dir().write("config.ini", config);
  player.runScript({"CALN,=___,$n__Talk-Wait,%n__1", "CALN,=___,$n__Volume-Music,%n__150",
                    "CALN,=___,$n__Volume-Sound,%n__-3", "CALN,=___,$n__Volume-Voice,%n__150",
                    "CALN,=___,$n__Flag-FPS,%n__1", "QUIT"});
  std::string written = player.dir().read("config.ini");
  EXPECT_EQ(
      written.substr(0, written.find("WAIT=")),
      crlf({"; settings", "[GAME]", "NAME=\x83\x51\x81\x5B\x83\x80", "[TEXT]", "FONT=Mincho"}));
  IniFile file(written);
  EXPECT_EQ(file.integer("TEXT", "WAIT", -1), 1);
  EXPECT_EQ(file.integer("MUSIC", "VOLUME", -1), 100);
  EXPECT_EQ(file.integer("SOUND", "VOLUME", -1), 0);
  EXPECT_EQ(file.integer("VOICE", "VOLUME", -1), 150);
  EXPECT_EQ(file.integer("FRAME", "RATE", -1), 120);
  EXPECT_EQ(file.integer("INPUT", "PL", -1), 1);
  EXPECT_NE(written.find("CTRL=1\r\n\r\n[INPUT]\r\nPL=1\r\n"), std::string::npos) << written;
}

TEST(Configuration, CaptionIsTheGameNameInUtf8) {
  PlayerFixture player;
  player.dir().write("config.ini", crlf({"[GAME]", "NAME=\x83\x51\x81\x5B\x83\x80"}));
  player.runScript({"QUIT"});
  EXPECT_EQ(player.caption(), "ゲーム");
  PlayerFixture unnamed;
  unnamed.runScript({"QUIT"});
  EXPECT_EQ(unnamed.caption(), "AVG");
}

}  // namespace
}  // namespace avg
