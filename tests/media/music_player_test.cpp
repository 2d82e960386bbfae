// The music player's state machine, lists, devices, volume and save record.
#include "media/music_player.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/audio_files.h"
#include "support/fake_services.h"
#include "support/game_dir.h"

namespace avg {
namespace {

constexpr int32_t kPlaying = MusicPlayer::kPlaying;
constexpr int32_t kStopped = MusicPlayer::kStopped;
constexpr int32_t kPaused = MusicPlayer::kPaused;
using test::toneWave;

// Keeps the reports instead of writing and showing them.
class RecordedErrors : public ErrorReports {
 public:
  void report(std::string_view message, std::optional<std::string_view> detail) override {
    reports.emplace_back(message, detail.value_or("-"));
  }
  std::vector<std::pair<std::string, std::string>> reports;
};

class MusicPlayerTest : public ::testing::Test {
 protected:
  MusicPlayerTest() {
    dir_.write("bgm/a.wav", toneWave(48000));
    dir_.write("bgm/b.wav", toneWave(4800));
    dir_.write("music.tbl", test::crlf({"a,bgm\\A.wav", "b,bgm\\b.wav", "gone,missing.wav"}));
    dir_.write("cd.tbl", test::crlf({"one,Track01", "five,Track05", "zero,00", "none,abc"}));
  }

  test::TempGameDir dir_;
  RecordedErrors errors_;
  test::HeadlessSound sound_;
  VariableStore variables_;
  ArchiveSet archives_;
  MusicPlayer music_{sound_.device, errors_, archives_};
};

// What the player does, summed up: "state name sound", "-" standing for no name.
std::string summary(MusicPlayer& music) {
  const int32_t state = music.state();
  return std::string(state == kPlaying   ? "playing"
                     : state == kStopped ? "stopped"
                     : state == kPaused  ? "paused"
                                         : "?") +
         " " + (music.currentName().empty() ? "-" : music.currentName()) +
         (music.isPlaying() ? " sounding" : " silent");
}

// Scenarios after reading music.tbl, each step "operation [argument]: summary after it".
TEST_F(MusicPlayerTest, StateMachineOnBothDevices) {
  dir_.write("cd/track01.wav", toneWave(4800));
  dir_.write("Track05.wav", toneWave(48000));
  const std::vector<std::vector<std::string>> scenarios = {
      {"play a: playing a sounding", "pause: paused a silent", "resume: playing a sounding",
       "stop: stopped a silent"},
      // An unlisted name stops the music and keeps state and name.
      {"play a: playing a sounding", "play nobody: playing a silent", "resume: playing a sounding",
       "load nobody: playing a silent"},
      // LOAD prepares while stopped and starts while playing.
      {"load a: stopped a silent", "resume: playing a sounding", "load b: playing b sounding"},
      // Disabled music ignores PLAY only.
      {"off: stopped - silent", "play a: stopped - silent", "load a: stopped a silent",
       "resume: stopped a silent"},
      // MODE stops the old device except from 1 to 1.
      {"play a: playing a sounding", "device 1: playing a sounding", "device 2: stopped a silent"},
      // Lists follow the device chosen when they are read; track 0 stops the CD.
      {"device 2: stopped - silent", "play a: stopped - silent", "list cd.tbl: stopped - silent",
       "play five: playing five sounding", "play zero: playing zero silent",
       "play one: playing one sounding", "play none: playing none silent"},
  };
  for (const std::vector<std::string>& scenario : scenarios) {
    MusicPlayer music(sound_.device, errors_, archives_);
    music.readList("music.tbl", true);
    EXPECT_EQ(summary(music), "stopped - silent");
    for (const std::string& step : scenario) {
      std::istringstream words(step.substr(0, step.find(':')));
      std::string op, arg;
      words >> op >> arg;
      if (op == "list") music.readList(arg, true);
      if (op == "play") music.play(arg);
      if (op == "load") music.load(arg);
      if (op == "pause") music.pause();
      if (op == "resume") music.resume();
      if (op == "stop") music.stop();
      if (op == "off") music.setEnabled(false);
      if (op == "device") music.setDevice(std::stoi(arg));
      EXPECT_EQ(summary(music), step.substr(step.find(": ") + 2)) << step << " in " << scenario[0];
    }
  }
}

TEST_F(MusicPlayerTest, ReadingAListStopsTheStateButNotTheMusic) {
  music_.readList("music.tbl", true);
  music_.play("a");
  music_.readList("cd.tbl", false);
  EXPECT_EQ(summary(music_), "stopped - sounding");
  EXPECT_EQ(music_.listFile(), "cd.tbl");
  music_.play("b");  // ADD_ kept the earlier rows
  EXPECT_TRUE(music_.isPlaying());
  music_.readList("unreadable.tbl", true);
  EXPECT_EQ(summary(music_), "playing b sounding");  // the command ended before its last step
  music_.play("a");
  EXPECT_FALSE(music_.isPlaying());  // LOAD emptied the lists first
}

TEST_F(MusicPlayerTest, LoopZeroPlaysOnceLoopOnePlaysOn) {
  music_.readList("music.tbl", true);
  music_.setLoop(0);
  music_.play("b");
  sound_.output.advanceTo(200);
  EXPECT_EQ(summary(music_), "playing b silent");
  music_.resume();  // stays at its end
  EXPECT_FALSE(music_.isPlaying());
  music_.setLoop(1);
  music_.play("b");
  sound_.output.advanceTo(1000);
  EXPECT_TRUE(music_.isPlaying());
}

TEST_F(MusicPlayerTest, AFileThatCannotBeOpenedIsReportedAndCountsAsPlayed) {
  dir_.write("bad.wav", "not a sound");
  dir_.write("bad.tbl", test::crlf({"bad,bad.wav"}));
  music_.readList("music.tbl", true);
  music_.readList("bad.tbl", false);
  music_.play("gone");
  EXPECT_EQ(summary(music_), "playing gone silent");
  music_.play("bad");
  EXPECT_EQ(summary(music_), "playing bad silent");
  const std::string message = "ファイルがオープンできませんでした。";
  EXPECT_EQ(errors_.reports, (std::vector<std::pair<std::string, std::string>>{
                                 {message, "missing.wav"}, {message, "bad.wav"}}));
}

TEST_F(MusicPlayerTest, SettingsChooseDeviceSwitchAndVolume) {
  struct Case {
    MusicSettings settings;
    bool enabled;
    int32_t device;
    int32_t volume;
  };
  for (Case c :
       {Case{{2, 100}, true, 2, 100}, Case{{0, 150}, false, 1, 0}, Case{{7, -1}, false, 1, 0}}) {
    MusicPlayer music(sound_.device, errors_, archives_);
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
  SaveWriter out;
  music_.writeSaveSection(out);
  EXPECT_EQ(out.finish(), "#MUSIC\r\nmusic.tbl,a,0\r\n");

  MusicPlayer restored(sound_.device, errors_, archives_);
  restored.setLoop(0);
  restored.restoreRecord(music_.saveRecord());
  EXPECT_EQ(restored.listFile(), "music.tbl");
  EXPECT_EQ(restored.loop(), 0);
  EXPECT_EQ(summary(restored), "playing a sounding");

  restored.restoreRecord({"music.tbl", "b", "2"});
  EXPECT_EQ(summary(restored), "stopped b silent");
  restored.setEnabled(false);
  restored.restoreRecord({"music.tbl", "a", "0"});
  EXPECT_FALSE(restored.isPlaying());
}

}  // namespace
}  // namespace avg
