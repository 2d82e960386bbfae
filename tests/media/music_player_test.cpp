// The music player's state machine, lists, devices, volume and save record.
#include "media/music_player.h"

#include <gtest/gtest.h>

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

  // What the player does, summed up: state, current name, sound.
  void expectPlayer(int32_t state, const std::string& name, bool sounding) {
    EXPECT_EQ(music_.state(), state);
    EXPECT_EQ(music_.currentName(), name);
    EXPECT_EQ(music_.isPlaying(), sounding);
  }

  test::TempGameDir dir_;
  RecordedErrors errors_;
  test::HeadlessSound sound_;
  VariableStore variables_;
  ArchiveSet archives_;
  MusicPlayer music_{sound_.device, errors_, archives_};
};

// One step of a scenario and the state, current name and sound it leaves.
struct Step {
  std::string op, arg;
  int32_t state;
  std::string name;
  bool sounding;
};

TEST_F(MusicPlayerTest, StateMachineOnBothDevices) {
  dir_.write("cd/track01.wav", toneWave(4800));
  dir_.write("Track05.wav", toneWave(48000));
  const Step list = {"list", "music.tbl", kStopped, "", false};
  const std::vector<std::vector<Step>> scenarios = {
      {list,
       {"play", "a", kPlaying, "a", true},
       {"pause", "", kPaused, "a", false},
       {"resume", "", kPlaying, "a", true},
       {"stop", "", kStopped, "a", false}},
      // An unlisted name stops the music and keeps state and name.
      {list,
       {"play", "a", kPlaying, "a", true},
       {"play", "nobody", kPlaying, "a", false},
       {"resume", "", kPlaying, "a", true},
       {"load", "nobody", kPlaying, "a", false}},
      // LOAD prepares while stopped and starts while playing.
      {list,
       {"load", "a", kStopped, "a", false},
       {"resume", "", kPlaying, "a", true},
       {"load", "b", kPlaying, "b", true}},
      // Disabled music ignores PLAY only.
      {list,
       {"off", "", kStopped, "", false},
       {"play", "a", kStopped, "", false},
       {"load", "a", kStopped, "a", false},
       {"resume", "", kStopped, "a", false}},
      // MODE stops the old device except from 1 to 1.
      {list,
       {"play", "a", kPlaying, "a", true},
       {"device", "1", kPlaying, "a", true},
       {"device", "2", kStopped, "a", false}},
      // Lists follow the device chosen when they are read; track 0 stops the CD.
      {list,
       {"device", "2", kStopped, "", false},
       {"play", "a", kStopped, "", false},
       {"list", "cd.tbl", kStopped, "", false},
       {"play", "five", kPlaying, "five", true},
       {"play", "zero", kPlaying, "zero", false},
       {"play", "one", kPlaying, "one", true},
       {"play", "none", kPlaying, "none", false}},
  };
  for (size_t scenario = 0; scenario < scenarios.size(); ++scenario) {
    MusicPlayer music(sound_.device, errors_, archives_);
    for (const Step& step : scenarios[scenario]) {
      if (step.op == "list") music.readList(step.arg, true);
      if (step.op == "play") music.play(step.arg);
      if (step.op == "load") music.load(step.arg);
      if (step.op == "pause") music.pause();
      if (step.op == "resume") music.resume();
      if (step.op == "stop") music.stop();
      if (step.op == "off") music.setEnabled(false);
      if (step.op == "device") music.setDevice(std::stoi(step.arg));
      SCOPED_TRACE(testing::Message() << scenario << " " << step.op << " " << step.arg);
      EXPECT_EQ(music.state(), step.state);
      EXPECT_EQ(music.currentName(), step.name);
      EXPECT_EQ(music.isPlaying(), step.sounding);
    }
  }
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
  sound_.output.advanceTo(200);
  EXPECT_FALSE(music_.isPlaying());
  EXPECT_EQ(music_.state(), kPlaying);
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
  expectPlayer(kPlaying, "gone", false);
  music_.play("bad");
  expectPlayer(kPlaying, "bad", false);
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
  EXPECT_EQ(restored.currentName(), "a");
  EXPECT_EQ(restored.state(), kPlaying);
  EXPECT_TRUE(restored.isPlaying());

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
