// SND_ and VICE run by scripts on the headless player.
#include <gtest/gtest.h>

#include "media/sound_channel.h"
#include "save/packed_block.h"
#include "script/archive.h"
#include "support/audio_files.h"
#include "support/game_dir.h"

namespace avg {
namespace {

class SoundCommandTest : public ::testing::Test {
 protected:
  SoundCommandTest() {
    player_.dir().write("a.wav", test::toneWave(4800));
    player_.dir().write("set.tbl", test::crlf({"a,a.wav", "b,a.wav"}));
  }

  // Runs the lines after loading "set.tbl" into both channels.
  void run(std::vector<std::string> lines) {
    lines.insert(lines.begin(), {"SND_,LOAD,%s__set.tbl", "VICE,LOAD,%s__set.tbl"});
    lines.push_back("QUIT");
    player_.runScript(lines);
  }

  SoundChannels& channels() { return player_.engine().companion<SoundChannels>(); }
  Sound* sound(SoundChannel& channel, const std::string& name) {
    return channel.set().entries.at(name).sound.get();
  }

  test::PlayerFixture player_;
};

TEST_F(SoundCommandTest, VolumeIsSetAndReadPerChannel) {
  run({"SND_,SET_,VOL_,%n__150", "SND_,GET_,VOL_,$n__s1", "VICE,SET_,VOL_,%n__-5",
       "VICE,GET_,VOL_,$n__v1", "SND_,SET_,XXXX,%n__10", "SND_,GET_,XXXX,$n__s2",
       "VICE,SET_,VOL_,%n__50", "VICE,GET_,VOL_,$n__v2"});
  // s2 is untouched by a sub-keyword other than VOL_.
  EXPECT_EQ(player_.intVars("Volume-Sound s1 s2 v1 Volume-Voice v2"),
            "Volume-Sound=150 s1=100 s2=0 v1=0 Volume-Voice=50 v2=50");
  EXPECT_EQ(channels().effects.attenuation(), 0);
}

// Only a loop count of -1 loops; the count may be left out.
TEST_F(SoundCommandTest, PlayNeedsANameAndLoopsOnlyForMinusOne) {
  run({"SND_,PLAY", "SND_,PLAY,%s__a,%n__1", "SND_,PLAY,%s__b,%n__-2", "VICE,PLAY,%s__a,%n__-1",
       "VICE,PLAY,%s__b"});
  EXPECT_FALSE(sound(channels().effects, "a")->isLoopPlay());
  EXPECT_FALSE(sound(channels().effects, "b")->isLoopPlay());
  EXPECT_TRUE(sound(channels().effects, "b")->isPlay());
  EXPECT_TRUE(sound(channels().voice, "a")->isLoopPlay());
  EXPECT_FALSE(sound(channels().voice, "b")->isLoopPlay());
}

TEST_F(SoundCommandTest, StopWithAndWithoutAName) {
  run({"SND_,PLAY,%s__a,%n__-1", "SND_,PLAY,%s__b,%n__-1", "VICE,PLAY,%s__a,%n__-1",
       "SND_,STOP,%s__a", "NEXT", "SND_,PLAY,%s__a,%n__-1", "SND_,STOP"});
  EXPECT_FALSE(sound(channels().effects, "a")->isPlay());
  EXPECT_FALSE(sound(channels().effects, "b")->isPlay());
  EXPECT_TRUE(sound(channels().voice, "a")->isPlay());
}

TEST_F(SoundCommandTest, AutoNeedsItsOperand) {
  run({"SND_,PLAY,%s__a", "VICE,PLAY,%s__a", "VICE,AUTO", "SND_,AUTO,%n__2"});
  EXPECT_EQ(channels().voice.set().autoRelease, 0);
  EXPECT_NE(sound(channels().voice, "a"), nullptr);
  EXPECT_EQ(channels().effects.set().autoRelease, 2);
  EXPECT_EQ(sound(channels().effects, "a"), nullptr);
}

TEST_F(SoundCommandTest, ActivateSleepAndClear) {
  run({"SND_,ACTI", "VICE,ACTI", "VICE,SLEE", "SND_,CLE_", "VICE,UNKN"});
  EXPECT_EQ(channels().effects.set().name, "");
  EXPECT_FALSE(channels().voice.set().active);
  EXPECT_EQ(sound(channels().voice, "a"), nullptr);
}

TEST(SoundTiming, ASoundEndsByItselfAfterItsLength) {
  // 100 ms of sound: still playing after five frames of 1/60 s, over after seven.
  for (auto [frames, playing] : {std::pair{5, true}, std::pair{7, false}}) {
    test::PlayerFixture player;
    player.dir().write("a.wav", test::makeWave(1, 1, 48000, 16, std::string(9600, '\x10')));
    player.dir().write("set.tbl", test::crlf({"a,a.wav"}));
    std::vector<std::string> lines = {"SND_,LOAD,%s__set.tbl", "SND_,PLAY,%s__a"};
    lines.insert(lines.end(), frames, "NEXT");
    lines.push_back("QUIT");
    player.runScript(lines);
    Sound& sound = *player.engine().companion<SoundChannels>().effects.set().entries.at("a").sound;
    EXPECT_EQ(sound.isPlay(), playing) << frames;
  }
}

// Sets and sounds are read from the archives the scripts registered.
TEST(SoundArchives, ASoundInARegisteredArchivePlays) {
  test::PlayerFixture player;
  const std::string tone = test::toneWave(4800);
  player.dir().write(
      "se.arc",
      buildArchive({{"set.tbl", packBlock(test::crlf({"a,se\\a.wav"}), PackRequest::Compress)},
                    {"se\\a.wav", packBlock(tone, PackRequest::Compress)}}));
  player.runScript(
      {"ARC_,ADD_,%s__se.arc", "SND_,LOAD,%s__set.tbl", "SND_,PLAY,%s__a,%n__-1", "QUIT"});
  const auto& entries = player.engine().companion<SoundChannels>().effects.set().entries;
  ASSERT_EQ(entries.count("a"), 1u);
  EXPECT_TRUE(entries.at("a").sound->isPlay());
  EXPECT_EQ(player.errorLog().find("CSound::Load"), std::string::npos);
}

}  // namespace
}  // namespace avg
