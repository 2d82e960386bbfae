// MUSI and VOL_ run by scripts on the headless player.
#include <gtest/gtest.h>

#include "media/music_player.h"
#include "media/volume_control.h"
#include "support/audio_files.h"
#include "support/game_dir.h"

namespace avg {
namespace {

class MusicCommandTest : public ::testing::Test {
 protected:
  MusicCommandTest() {
    player_.dir().write("a.wav", test::toneWave(48000));
    player_.dir().write("music.tbl", test::crlf({"a,a.wav"}));
  }

  void run(std::vector<std::string> lines) {
    lines.push_back("QUIT");
    player_.runScript(lines);
  }

  MusicPlayer& music() { return player_.engine().companion<MusicPlayer>(); }

  test::PlayerFixture player_;
};

TEST_F(MusicCommandTest, SubCommandsReadTheirFields) {
  run({"MUSI,LIST,LOAD,%s__music.tbl", "MUSI,SET_,VOL_,%n__50", "MUSI,GET_,VOL_,$n__v",
       "MUSI,LOOP,%n__0", "MUSI,PLAY,%s__a", "MUSI,PAUS", "MUSI,XXXX", "MUSI,SET_,XXXX,%n__10"});
  EXPECT_EQ(player_.intVars("v Volume-Music"), "v=50 Volume-Music=50");
  EXPECT_EQ(music().attenuation(), -5000);
  EXPECT_EQ(music().loop(), 0);
  EXPECT_EQ(music().currentName(), "a");
  EXPECT_EQ(music().state(), MusicPlayer::kPaused);
}

TEST_F(MusicCommandTest, ModeTakesFieldThreeAndListClearEmptiesTheLists) {
  run({"MUSI,LIST,LOAD,%s__music.tbl", "MUSI,LIST,CLE_", "MUSI,PLAY,%s__a",
       "MUSI,MODE,%n__1,%n__2"});
  EXPECT_EQ(music().device(), 2);
  EXPECT_EQ(music().currentName(), "");
  EXPECT_FALSE(music().isPlaying());
}

TEST_F(MusicCommandTest, TheMusicStopsWhenTheScriptsEnd) {
  run({"MUSI,LIST,LOAD,%s__music.tbl", "MUSI,PLAY,%s__a", "NEXT"});
  EXPECT_FALSE(music().isPlaying());
}

TEST_F(MusicCommandTest, VolumeCommandsOnTheFakeMixer) {
  run({"VOL_,GET_,$f__start", "VOL_,SET_,%f__0.5", "VOL_,GET_,$f__half", "VOL_,RSET",
       "VOL_,GET_,$f__back", "VOL_,SET_,%f__0.25"});
  EXPECT_EQ(player_.floatVar("start"), 1.0f);
  EXPECT_EQ(player_.floatVar("half"), 0.5f);
  EXPECT_EQ(player_.floatVar("back"), 1.0f);
}

}  // namespace
}  // namespace avg
