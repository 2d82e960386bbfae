// The music player's state machine, lists, devices, volume and save record.
#include "media/music_player.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/error_reporter.h"
#include "platform/ffmpeg/ffmpeg_audio.h"
#include "platform/headless/headless_platform.h"
#include "platform/headless/headless_sound.h"
#include "support/audio_files.h"
#include "support/game_dir.h"

namespace avg {
namespace {

constexpr int32_t kPlaying = MusicPlayer::kPlaying;
constexpr int32_t kStopped = MusicPlayer::kStopped;
constexpr int32_t kPaused = MusicPlayer::kPaused;

std::string toneWave(size_t frames) {
  return test::makeWave(1, 2, 48000, 16, test::pcm16(test::tone16(48000, frames, 440, 0.5)));
}

class MusicPlayerTest : public ::testing::Test {
 protected:
  MusicPlayerTest() {
    dir_.write("bgm/a.wav", toneWave(48000));
    dir_.write("bgm/b.wav", toneWave(4800));
    dir_.write("music.tbl", test::crlf({"a,bgm\\A.wav", "b,bgm\\b.wav", "gone,missing.wav"}));
    dir_.write("cd.tbl", test::crlf({"one,Track01", "five,Track05", "zero,00", "none,abc"}));
  }

  // What the player does, summed up: state, current name, sound.
  void expectPlayer(int32_t state, const std::string& name, bool sounding) {
    EXPECT_EQ(music_.state(), state);
    EXPECT_EQ(music_.currentName(), name);
    EXPECT_EQ(music_.isPlaying(), sounding);
  }

  test::TempGameDir dir_;
  std::ostringstream boxes_;
  HeadlessMessageBoxes messageBoxes_{boxes_};
  ErrorReporter errors_{messageBoxes_};
  HeadlessSoundDevice device_{std::make_shared<FfmpegAudioDecoder>(), ""};
  VariableStore variables_;
  MusicPlayer music_{device_, errors_};
};

TEST_F(MusicPlayerTest, PlayPauseResumeAndStop) {
  music_.readList("music.tbl", true);
  expectPlayer(kStopped, "", false);
  music_.play("a");
  expectPlayer(kPlaying, "a", true);
  music_.pause();
  expectPlayer(kPaused, "a", false);
  music_.resume();
  expectPlayer(kPlaying, "a", true);
  music_.stop();
  expectPlayer(kStopped, "a", false);
}

TEST_F(MusicPlayerTest, AnUnlistedNameStopsTheMusicAndKeepsStateAndName) {
  music_.readList("music.tbl", true);
  music_.play("a");
  music_.play("nobody");
  expectPlayer(kPlaying, "a", false);
  music_.resume();
  music_.load("nobody");
  expectPlayer(kPlaying, "a", false);
}

TEST_F(MusicPlayerTest, LoadPreparesWhileStoppedAndStartsWhilePlaying) {
  music_.readList("music.tbl", true);
  music_.load("a");
  expectPlayer(kStopped, "a", false);
  music_.resume();
  expectPlayer(kPlaying, "a", true);
  music_.load("b");
  expectPlayer(kPlaying, "b", true);
}

TEST_F(MusicPlayerTest, ReadingAListStopsTheStateButNotTheMusic) {
  music_.readList("music.tbl", true);
  music_.play("a");
  music_.readList("cd.tbl", false);
  expectPlayer(kStopped, "", true);
  EXPECT_EQ(music_.listFile(), "cd.tbl");
  music_.play("b");  // ADD_ kept the earlier rows
  EXPECT_TRUE(music_.isPlaying());
  music_.readList("unreadable.tbl", true);
  expectPlayer(kPlaying, "b", true);  // the command ended before its last step
  music_.play("a");
  EXPECT_FALSE(music_.isPlaying());  // LOAD emptied the lists first
}

TEST_F(MusicPlayerTest, LoopZeroPlaysOnceLoopOnePlaysOn) {
  music_.readList("music.tbl", true);
  music_.setLoop(0);
  music_.play("b");
  device_.advanceTo(200);
  EXPECT_FALSE(music_.isPlaying());
  EXPECT_EQ(music_.state(), kPlaying);
  music_.resume();  // stays at its end
  EXPECT_FALSE(music_.isPlaying());
  music_.setLoop(1);
  music_.play("b");
  device_.advanceTo(1000);
  EXPECT_TRUE(music_.isPlaying());
}

TEST_F(MusicPlayerTest, DisabledMusicIgnoresPlayOnly) {
  music_.readList("music.tbl", true);
  music_.setEnabled(false);
  music_.play("a");
  expectPlayer(kStopped, "", false);
  music_.load("a");
  expectPlayer(kStopped, "a", false);
  music_.resume();
  expectPlayer(kStopped, "a", false);
  music_.setDevice(2);
  EXPECT_EQ(music_.device(), 2);
}

TEST_F(MusicPlayerTest, AFileThatCannotBeOpenedIsReportedAndCountsAsPlayed) {
  dir_.write("bad.wav", "not a sound");
  dir_.write("bad.tbl", test::crlf({"bad,bad.wav"}));
  music_.readList("music.tbl", true);
  music_.readList("bad.tbl", false);
  music_.play("gone");
  expectPlayer(kPlaying, "gone", false);
  music_.play("bad");
  expectPlayer(kPlaying, "bad", false);
  EXPECT_EQ(dir_.read("Err.log"),
            "ファイルがオープンできませんでした。missing.wav\r\n"
            "ファイルがオープンできませんでした。bad.wav\r\n");
  EXPECT_NE(boxes_.str().find("[messagebox] missing.wav | ファイルがオープンできませんでした。"),
            std::string::npos);
}

TEST_F(MusicPlayerTest, ListsFollowTheDeviceChosenWhenTheyAreRead) {
  dir_.write("cd/track01.wav", toneWave(4800));
  dir_.write("Track05.wav", toneWave(48000));
  music_.readList("music.tbl", true);
  music_.setDevice(2);
  EXPECT_EQ(music_.cd().trackCount(), 5);
  music_.play("a");  // only in the file list
  expectPlayer(kStopped, "", false);
  music_.readList("cd.tbl", true);
  music_.play("five");
  expectPlayer(kPlaying, "five", true);
  music_.play("zero");  // track 0 stops the CD
  expectPlayer(kPlaying, "zero", false);
  music_.play("one");
  expectPlayer(kPlaying, "one", true);
  music_.play("none");
  expectPlayer(kPlaying, "none", false);
}

TEST_F(MusicPlayerTest, ModeStopsTheOldDeviceExceptForOneToOne) {
  music_.readList("music.tbl", true);
  music_.play("a");
  music_.setDevice(1);
  expectPlayer(kPlaying, "a", true);
  music_.setDevice(2);
  expectPlayer(kStopped, "a", false);
  EXPECT_EQ(music_.cd().trackCount(), 0);  // no track files: an empty disc, silently
  music_.setDevice(3);
  music_.resume();
  music_.stop();
  EXPECT_EQ(music_.device(), 3);
  EXPECT_FALSE(music_.isPlaying());
}

TEST_F(MusicPlayerTest, CdPauseHoldsTheTrackAndPlayGoesOn) {
  dir_.write("track01.wav", toneWave(48000));
  dir_.write("cd.tbl", test::crlf({"one,01"}));
  music_.setDevice(2);
  music_.readList("cd.tbl", true);
  music_.play("one");
  device_.advanceTo(100);
  music_.pause();
  expectPlayer(kPaused, "one", false);
  music_.resume();
  expectPlayer(kPlaying, "one", true);
}

TEST_F(MusicPlayerTest, VolumeUsesTheAttenuationFormulaAndTheMirrorVariable) {
  EXPECT_EQ(music_.scriptVolume(), 100);
  struct Case {
    int32_t set, attenuation, read;
  };
  for (Case c : {Case{50, -5000, 50}, Case{150, 0, 100}, Case{-5, -10000, 0}, Case{1, -9900, 1}}) {
    music_.setVolume(c.set, variables_);
    EXPECT_EQ(music_.attenuation(), c.attenuation) << c.set;
    EXPECT_EQ(music_.scriptVolume(), c.read) << c.set;
    EXPECT_EQ(variables_.intVariable("Volume-Music"), c.set);
  }
}

TEST_F(MusicPlayerTest, SettingsChooseDeviceSwitchAndVolume) {
  struct Case {
    MusicSettings settings;
    bool enabled;
    int32_t device;
    int32_t volume;
  };
  for (Case c : {Case{{1, 40}, true, 1, 40}, Case{{2, 100}, true, 2, 100},
                 Case{{0, 150}, false, 1, 0}, Case{{7, -1}, false, 1, 0}}) {
    MusicPlayer music(device_, errors_);
    music.applySettings(c.settings, variables_);
    EXPECT_EQ(music.enabled(), c.enabled);
    EXPECT_EQ(music.device(), c.device);
    EXPECT_EQ(variables_.intVariable("Volume-Music"), c.volume);
    EXPECT_EQ(music.scriptVolume(), c.volume);
  }
}

TEST_F(MusicPlayerTest, SaveRecordRestoresListNameAndPlaying) {
  music_.readList("music.tbl", true);
  music_.play("a");
  TableRows rows;
  music_.writeSaveSection(rows);
  EXPECT_EQ(rows, (TableRows{{"#MUSIC"}, {"music.tbl", "a", "0"}}));

  MusicPlayer restored(device_, errors_);
  restored.setLoop(0);
  restored.restoreRecord(rows[1]);
  EXPECT_EQ(restored.listFile(), "music.tbl");
  EXPECT_EQ(restored.currentName(), "a");
  EXPECT_EQ(restored.state(), kPlaying);
  EXPECT_TRUE(restored.isPlaying());
  EXPECT_EQ(restored.loop(), 0);

  restored.restoreRecord({"music.tbl", "b", "2"});
  EXPECT_EQ(restored.currentName(), "b");
  EXPECT_EQ(restored.state(), kStopped);
  EXPECT_FALSE(restored.isPlaying());
  restored.setEnabled(false);
  restored.restoreRecord({"music.tbl", "a", "0"});
  EXPECT_FALSE(restored.isPlaying());
}

}  // namespace
}  // namespace avg
