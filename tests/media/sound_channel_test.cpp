#include "media/sound_channel.h"

#include <gtest/gtest.h>

#include "audio/attenuation.h"
#include "support/audio_files.h"
#include "support/fake_services.h"
#include "support/game_dir.h"

namespace avg {
namespace {

TEST(Attenuation, ScriptVolumesMapBothWays) {
  struct Case {
    int32_t volume;
    int32_t attenuation;
    int32_t readBack;
  };
  for (Case c : {Case{100, 0, 100}, Case{50, -5000, 50}, Case{0, -10000, 0}, Case{150, 0, 100},
                 Case{-5, -10000, 0}, Case{33, -6700, 33}, Case{INT32_MAX, 0, 100},
                 Case{INT32_MIN, -10000, 0}}) {
    EXPECT_EQ(attenuationFromVolume(c.volume), c.attenuation) << c.volume;
    EXPECT_EQ(volumeFromAttenuation(attenuationFromVolume(c.volume)), c.readBack) << c.volume;
  }
  EXPECT_EQ(volumeFromAttenuation(-150), 99);  // truncates toward zero
}

// A channel on the headless device with a set "se.tbl" of four sounds, "b" listed twice.
class SoundChannelTest : public ::testing::Test {
 protected:
  SoundChannelTest() {
    const std::string tone = test::toneWave(4800);
    dir_.write("se/a.wav", tone);
    dir_.write("se/b.wav", tone);
    dir_.write("se.tbl", test::crlf({"a,se\\A.WAV", "b,se\\a.wav", "b,se\\b.wav", "silent",
                                     "gone,missing.wav"}));
    dir_.write("other.tbl", test::crlf({"a,se\\b.wav"}));
  }

  SoundEntry& entry(const std::string& name) {
    return const_cast<SoundEntry&>(channels_.effects.set().entries.at(name));
  }
  Sound* sound(const std::string& name) { return entry(name).sound.get(); }
  // The set's entries by name, "name=file", with "+" for a loaded sound.
  std::string entries() const {
    std::string shown;
    for (const auto& [name, entry] : effects_.set().entries)
      shown += (shown.empty() ? "" : " ") + name + "=" + entry.file + (entry.sound ? "+" : "");
    return shown;
  }

  test::TempGameDir dir_;
  test::HeadlessSound sound_;
  ArchiveSet archives_;
  SoundChannels channels_{sound_.device, archives_};
  SoundChannel& effects_ = channels_.effects;
  VariableStore variables_;
};

TEST_F(SoundChannelTest, LoadReadsTheSetAndLoadsOnlyWhenActive) {
  effects_.load("se.tbl");
  // A repeated name takes the later file.
  EXPECT_EQ(entries(), "a=se\\A.WAV b=se\\b.wav gone=missing.wav silent=");
  effects_.activate();
  // "gone" loads as a sound that plays nothing.
  EXPECT_EQ(entries(), "a=se\\A.WAV+ b=se\\b.wav+ gone=missing.wav+ silent=");
  effects_.sleep();
  EXPECT_EQ(entries(), "a=se\\A.WAV b=se\\b.wav gone=missing.wav silent=");
}

TEST_F(SoundChannelTest, LoadOfTheSameSetKeepsSoundsPlaying) {
  effects_.load("se.tbl");
  effects_.play("a", 0);
  effects_.load("se.tbl");
  ASSERT_NE(sound("a"), nullptr);
  EXPECT_TRUE(sound("a")->isPlay());
  effects_.load("other.tbl");
  EXPECT_EQ(entries(), "a=se\\b.wav");
}

TEST_F(SoundChannelTest, PlayIgnoresUnknownAndFilelessNames) {
  effects_.load("se.tbl");
  effects_.play("nobody", 0);
  effects_.play("silent", 0);
  EXPECT_EQ(sound("silent"), nullptr);
  effects_.play("gone", 0);
  EXPECT_FALSE(sound("gone")->isPlay());
  EXPECT_NE(dir_.read("ErrorLog.txt").find("CSound::Load missing.wavのファイル読み込み時のエラー"),
            std::string::npos);
}

TEST_F(SoundChannelTest, VolumeAppliesFromTheNextPlay) {
  effects_.load("se.tbl");
  effects_.setVolume(100, variables_);
  effects_.play("a", 0);
  effects_.setVolume(50, variables_);
  EXPECT_EQ(sound("a")->volume(), 0);
  EXPECT_EQ(*variables_.ints.find("Volume-Sound"), 50);
  effects_.play("b", 0);
  EXPECT_EQ(sound("b")->volume(), -5000);
}

TEST_F(SoundChannelTest, SettingsDisableAndSetVolumes) {
  struct Case {
    SoundSettings settings;
    bool effectsEnabled, voiceEnabled;
    int32_t soundVariable, effectsAttenuation, voiceVariable, voiceAttenuation;
  };
  for (const Case& c : {Case{{}, true, true, 0, -10000, 0, -10000},
                        Case{{5, 150, 200, 150}, false, true, 0, -10000, 150, 0},
                        Case{{0, 80, 1, -3}, true, false, 80, -2000, -3, -10000}}) {
    SoundChannels channels(sound_.device, archives_);
    VariableStore variables;
    channels.effects.load("se.tbl");
    channels.effects.play("a", -1);
    channels.applySettings(c.settings, variables);
    EXPECT_EQ(channels.effects.enabled(), c.effectsEnabled);
    EXPECT_EQ(channels.voice.enabled(), c.voiceEnabled);
    EXPECT_EQ(*variables.ints.find("Volume-Sound"), c.soundVariable);
    EXPECT_EQ(channels.effects.attenuation(), c.effectsAttenuation);
    EXPECT_EQ(*variables.ints.find("Volume-Voice"), c.voiceVariable);
    EXPECT_EQ(channels.voice.attenuation(), c.voiceAttenuation);
    EXPECT_EQ(channels.effects.set().entries.at("a").sound->isPlay(), c.effectsEnabled);
  }
}

TEST_F(SoundChannelTest, SaveRecordListsLoopingSoundsOnlyWhenActiveOrAuto) {
  effects_.load("se.tbl");
  effects_.play("a", -1);
  effects_.play("b", 0);
  EXPECT_EQ(effects_.saveRecord(), (TableRow{"se.tbl", "0", "0"}));
  effects_.activate();
  effects_.play("a", -1);
  effects_.play("b", 0);
  EXPECT_EQ(effects_.saveRecord(), (TableRow{"se.tbl", "1", "0", "a"}));
  effects_.sleep();
  effects_.setAuto(7);
  effects_.play("b", -1);
  SaveWriter out;
  effects_.writeSaveSection(out);
  EXPECT_EQ(out.finish(), "#SOUND\r\nse.tbl,0,1,b\r\n");
}

TEST_F(SoundChannelTest, RestoreLoadsTheSetAndRestartsLoops) {
  effects_.load("other.tbl");
  effects_.play("a", -1);
  effects_.restoreRecord({"se.tbl", "0", "1", "b", "nobody", "a"});
  EXPECT_EQ(effects_.set().name, "se.tbl");
  EXPECT_EQ(effects_.set().autoRelease, 1);
  EXPECT_FALSE(effects_.set().active);
  for (const char* name : {"a", "b"}) {
    ASSERT_NE(sound(name), nullptr) << name;
    EXPECT_TRUE(sound(name)->isPlay()) << name;
    EXPECT_TRUE(sound(name)->isLoopPlay()) << name;
    EXPECT_EQ(sound(name)->currentPosMs(), 0);
  }
}

TEST_F(SoundChannelTest, RestoreKeepsStateThatTheRecordDoesNotSwitchOn) {
  effects_.activate();
  effects_.setAuto(3);
  effects_.setEnabled(false);
  effects_.restoreRecord({"se.tbl", "0", "0", "a"});
  EXPECT_TRUE(effects_.set().active);
  EXPECT_EQ(effects_.set().autoRelease, 3);
  EXPECT_FALSE(sound("a")->isPlay());
  effects_.restoreRecord({});
  EXPECT_EQ(effects_.set().name, "");
}

}  // namespace
}  // namespace avg
