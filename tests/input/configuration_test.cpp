// config.ini read at start into the timer, channels, variables, caption and volume control,
// and written back at the end from what the game left.
#include "input/configuration.h"

#include <gtest/gtest.h>

#include "media/volume_control.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::crlf;
using test::PlayerFixture;

struct KeyCase {
  const char* section;
  const char* key;
  const char* variable;  // mirrored variable, or nullptr
  int32_t value;
  int32_t written;  // the key written back
};

// Each key is read, corrected, mirrored into its variable and written back; the sound keys
// reach their own channel (the channels' own corrections are tested with them).
TEST(Configuration, KeysAreCorrectedMirroredAndWrittenBack) {
  const std::pair<std::vector<std::string>, std::vector<KeyCase>> configs[] = {
      {{"[FRAME]", "RATE=90", "[MUSIC]", "DEVICE=7", "[VOICE]", "Flag-Char03CV=0", "[TEXT]",
        "WAIT=7", "CTRL=3"},
       {{"FRAME", "RATE", "Flag-FPS", 0, 60},
        {"MUSIC", "DEVICE", nullptr, 0, 0},
        {"VOICE", "Flag-Char03CV", "Flag-Char03CV", 0, 0},
        {"TEXT", "WAIT", "Talk-Wait", 2, 2},
        {"TEXT", "CTRL", "Flag-CtrlSkip", 1, 1}}},
      {{"[FRAME]", "RATE=120", "[MUSIC]", "DEVICE=0", "[VOICE]", "DISABLE=100"},
       {{"FRAME", "RATE", "Flag-FPS", 1, 120},
        {"MUSIC", "DEVICE", nullptr, 0, 0},
        {"VOICE", "DISABLE", nullptr, 0, 1}}},
      {{"[MUSIC]", "DEVICE=2", "VOLUME=70", "[SOUND]", "VOLUME=50", "DISABLE=5", "[VOICE]",
        "VOLUME=150", "DISABLE=101"},
       {{"MUSIC", "DEVICE", nullptr, 0, 2},
        {"MUSIC", "VOLUME", "Volume-Music", 70, 70},
        {"SOUND", "VOLUME", "Volume-Sound", 50, 50},
        {"SOUND", "DISABLE", nullptr, 0, 1},
        {"VOICE", "VOLUME", "Volume-Voice", 150, 150},
        {"VOICE", "DISABLE", nullptr, 0, 0}}},
  };
  for (const auto& [config, keys] : configs) {
    PlayerFixture player;
    player.dir().write("config.ini", crlf(config));
    player.runScript({"QUIT"});
    IniFile written = IniFile::load("config.ini");
    for (const KeyCase& k : keys) {
      if (k.variable) {
        EXPECT_EQ(player.intVar(k.variable), k.value) << k.key;
      }
      EXPECT_EQ(written.integer(k.section, k.key, -99), k.written) << k.section << " " << k.key;
    }
  }
}

// The headless clock only moves while the frame timer waits: 90 passes at 90 fps take a
// second of it, and none at all without waiting.
TEST(Configuration, FrameKeysDriveTheTimer) {
  struct Case {
    std::vector<std::string> frameKeys;
    double elapsedMs;
  };
  for (const Case& c : {Case{{"RATE=90"}, 1000}, Case{{"RATE=90", "WAIT=0", "SKIP=0"}, 0}}) {
    PlayerFixture player;
    std::vector<std::string> config = {"[FRAME]"};
    config.insert(config.end(), c.frameKeys.begin(), c.frameKeys.end());
    player.dir().write("config.ini", crlf(config));
    player.runScript({"#loop", "NEXT", "GOTO,loop"}, 90);
    EXPECT_NEAR(player.platform().clock->nowMs(), c.elapsedMs, 1) << c.frameKeys.size();
  }
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
  EXPECT_FALSE(settings.videoDisabled);
  EXPECT_TRUE(player.engine().companion<VolumeControl>().control());
  EXPECT_EQ(player.caption(), "AVG");
}

// The game name becomes the caption, in UTF-8; the mixer switch reaches the volume control.
TEST(Configuration, WritesWhatTheScriptsLeftAndKeepsOtherLines) {
  PlayerFixture player;
  std::string config =
      crlf({"; settings", "[GAME]", "NAME=\x83\x51\x81\x5B\x83\x80", "[TEXT]", "FONT=Mincho",
            "WAIT=2", "", "[INPUT]", "PL=1", "[VOLUME]", "CONTROL=0"});
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
  EXPECT_EQ(player.caption(), "ゲーム");
  EXPECT_FALSE(player.engine().companion<VolumeControl>().control());
}

}  // namespace
}  // namespace avg
