// The music keys of config.ini reach the music player and the master volume switch.
#include <gtest/gtest.h>

#include "media/music_player.h"
#include "media/volume_control.h"
#include "support/game_dir.h"

namespace avg {
namespace {

struct MusicCase {
  std::string config;
  int32_t scriptVolume;  // what GET_ VOL_ reports
  bool mixerControl;
};

TEST(MusicSettings, ComeFromConfig) {
  const MusicCase cases[] = {
      {"", 0, true},
      {"[MUSIC]\r\nVOLUME=70\r\n", 70, true},
      {"[MUSIC]\r\nVOLUME=150\r\n", 0, true},  // outside 0-100 counts as 0
      {"[VOLUME]\r\nCONTROL=0\r\n", 0, false},
  };
  for (const MusicCase& c : cases) {
    test::PlayerFixture player;
    if (!c.config.empty()) player.dir().write("config.ini", c.config);
    player.runScript({"MUSI,GET_,VOL_,$n__volume", "CLOS"});
    EXPECT_EQ(player.intVar("volume"), c.scriptVolume) << c.config;
    EXPECT_EQ(player.intVar("Volume-Music"), c.scriptVolume) << c.config;
    EXPECT_EQ(player.engine().companion<VolumeControl>().control(), c.mixerControl) << c.config;
  }
}

}  // namespace
}  // namespace avg
