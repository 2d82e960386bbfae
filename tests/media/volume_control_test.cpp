// VOL_ arithmetic on the fake system mixer, the restores and the crash restore.
#include "media/volume_control.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "support/game_dir.h"

namespace avg {
namespace {

TEST(VolumeSetting, ValueAndBalanceBothWays) {
  struct Case {
    StereoVolume volume;
    VolumeSetting setting;
  };
  for (Case c : {Case{{40000, 20000}, {40000, 16384}}, Case{{20000, 40000}, {40000, -16383}},
                 Case{{0, 0}, {0, 0}}, Case{{65535, 0}, {65535, 32768}}}) {
    VolumeSetting setting = settingOf(c.volume);
    EXPECT_EQ(setting.value, c.setting.value) << c.volume.left << "," << c.volume.right;
    EXPECT_EQ(setting.balance, c.setting.balance) << c.volume.left << "," << c.volume.right;
  }
  struct Back {
    VolumeSetting setting;
    StereoVolume volume;
  };
  for (Back c :
       {Back{{20000, 16384}, {20000, 10000}}, Back{{20000, -16383}, {10000, 20000}},
        Back{{70000, 0}, {65535, 65535}}, Back{{100, -40000}, {0, 100}}, Back{{-5, 0}, {0, 0}}}) {
    EXPECT_EQ(volumeOf(c.setting), c.volume) << c.setting.value << "," << c.setting.balance;
  }
}

class VolumeControlTest : public ::testing::Test {
 protected:
  std::string stateFile() const { return (dir_.path() / "state" / "master-volume").string(); }

  test::TempGameDir dir_;
  FakeSystemMixer mixer_{{40000, 20000}};
};

TEST_F(VolumeControlTest, LevelsAreRelativeToTheStartAndKeepTheBalance) {
  struct Case {
    float level;
    StereoVolume volume;
    float read;
  };
  {
    VolumeControl control(&mixer_, "");
    for (Case c : {Case{0.5f, {20000, 10000}, 0.5f}, Case{0.0f, {0, 0}, 0.0f},
                   Case{0.3333f, {13331, 6665}, 13331.0f / 40000.0f},
                   Case{2.0f, {65535, 32767}, 65535.0f / 40000.0f}}) {
      control.setLevel(c.level);
      EXPECT_EQ(mixer_.read(), c.volume) << c.level;
      EXPECT_FLOAT_EQ(control.level(), c.read) << c.level;
    }
  }
  EXPECT_EQ(mixer_.read(), (StereoVolume{40000, 20000}));  // given back at the end
}

TEST_F(VolumeControlTest, ControlOffLeavesTheMixerAloneAndRestoresOnSwitchingOff) {
  VolumeControl control(&mixer_, "");
  control.setLevel(0.5f);
  control.setControl(false);
  EXPECT_EQ(mixer_.read(), (StereoVolume{40000, 20000}));
  control.setLevel(0.1f);
  EXPECT_EQ(mixer_.read(), (StereoVolume{40000, 20000}));
  EXPECT_EQ(control.level(), 1.0f);
}

TEST_F(VolumeControlTest, WithoutAMixerNothingHappensAndLevelIsOne) {
  VolumeControl control(nullptr, stateFile());
  control.setLevel(0.5f);
  control.restore();
  EXPECT_EQ(control.level(), 1.0f);
  EXPECT_NE(dir_.read("ErrorLog.txt").find("ミキサデバイスのハンドルがありませんでした"),
            std::string::npos);
}

TEST_F(VolumeControlTest, TheStartVolumeIsKeptOnDiskWhileChangedAndGivenBackAfterACrash) {
  {
    VolumeControl control(&mixer_, stateFile());
    EXPECT_FALSE(std::filesystem::exists(stateFile()));
    control.setLevel(0.5f);
    EXPECT_EQ(dir_.read("state/master-volume"), "40000 20000\n");
    control.restore();
    EXPECT_FALSE(std::filesystem::exists(stateFile()));
  }
  // What a run that died after lowering the volume leaves behind.
  dir_.write("state/master-volume", "40000 20000\n");
  mixer_.write({20000, 10000});
  VolumeControl next(&mixer_, stateFile());
  EXPECT_EQ(mixer_.read(), (StereoVolume{40000, 20000}));
  EXPECT_FALSE(std::filesystem::exists(stateFile()));
}

}  // namespace
}  // namespace avg
