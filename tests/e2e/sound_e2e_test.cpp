// Games that play sounds, run through the real player: what was heard and when.
#include <gtest/gtest.h>

#include <cmath>

#include "support/audio_files.h"
#include "support/game_dir.h"
#include "support/player_run.h"

namespace avg {
namespace {

constexpr uint32_t kRate = 48000;
constexpr size_t kFadeFrames = 1200;

// A cosine at half scale, played three passes in and stopped four passes later.
class SoundEndToEnd : public ::testing::Test {
 protected:
  SoundEndToEnd()
      : source_(test::stereoFromLeft(
            24000, [](size_t i) { return 16383 * std::cos(2 * M_PI * 440 * i / kRate); })) {
    dir_.write("game/snd/beep.wav", test::makeWave(1, 2, kRate, 16, test::pcm16(source_)));
    dir_.write("game/se.tbl", test::crlf({"beep,snd\\Beep.wav"}));
    std::vector<std::string> lines = {
        "SND_,SET_,VOL_,%n__90", "SND_,LOAD,%s__se.tbl", "NEXT", "NEXT", "NEXT",
        "SND_,PLAY,%s__beep"};
    lines.insert(lines.end(), 4, "NEXT");
    lines.push_back("SND_,STOP,%s__beep");
    lines.insert(lines.end(), 6, "NEXT");
    lines.push_back("QUIT");
    dir_.write("game/autoexec.eve", test::crlf(lines));
  }

  int runPlayer(const std::string& environment, const std::string& options) {
    return test::runGameIn(dir_.path(), environment, options);
  }

  test::TempGameDir dir_;
  std::vector<int16_t> source_;
};

TEST_F(SoundEndToEnd, AudioOutHoldsTheSoundAtItsGainBetweenPlayAndTheFade) {
  ASSERT_EQ(runPlayer("", "--headless --audio-out out.wav"), 0);
  ASSERT_EQ(runPlayer("", "--headless --audio-out again.wav"), 0);
  std::string wave = dir_.read("out.wav");
  EXPECT_EQ(wave, dir_.read("again.wav"));  // the same on every run
  ASSERT_GT(wave.size(), 44u);
  EXPECT_EQ(wave.substr(0, 4), "RIFF");
  EXPECT_EQ(test::makeWave(1, 2, kRate, 16, "").substr(20, 16), wave.substr(20, 16));
  std::vector<int16_t> out = test::samples16(wave.substr(44));
  size_t frames = out.size() / 2;

  size_t start = 0;
  while (start < frames && out[2 * start] == 0)
    ++start;
  // Three frame passes of 1/60 s before the PLAY pass.
  ASSERT_GE(start, 3 * 16 * 48u);
  ASSERT_LE(start, 3 * 17 * 48u);
  for (size_t i = 0; i < 2 * start; ++i)
    ASSERT_EQ(out[i], 0) << i;

  // Volume 90: attenuation -1000, a gain of 10^-0.5.
  const float gain = std::pow(10.0f, -0.5f);
  size_t stop = start;
  auto expected = [&](size_t sample) {
    return std::lrint(static_cast<float>(source_[sample]) / 32768.0f * gain * 32768.0f);
  };
  while (stop < frames && std::abs(out[2 * stop] - expected(2 * (stop - start))) <= 1 &&
         std::abs(out[2 * stop + 1] - expected(2 * (stop - start) + 1)) <= 1) {
    ++stop;
  }
  // Four passes later STOP fades the sound out over 25 ms.
  EXPECT_GE(stop - start, 4 * 16 * 48u);
  EXPECT_LE(stop - start, 4 * 17 * 48u + 1);
  for (size_t i = stop; i < stop + kFadeFrames; ++i)
    ASSERT_LE(std::abs(out[2 * i]), std::abs(expected(2 * (i - start))) + 1) << i;
  EXPECT_GT(frames, stop + kFadeFrames + 48);
  for (size_t i = 2 * (stop + kFadeFrames); i < out.size(); ++i)
    ASSERT_EQ(out[i], 0) << i;
}

// SDL's disk driver writes what the device would have played (float stereo) without a
// sound card: the sound at its gain, and no complaint in the log.
TEST_F(SoundEndToEnd, SdlOutputCarriesTheSound) {
  const std::string raw = (dir_.path() / "sdl.raw").string();
  ASSERT_EQ(runPlayer("SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + raw + " SDL_VIDEODRIVER=dummy",
                      "--frames 120"),
            0);
  EXPECT_NEAR(test::floatPeak(dir_.read("sdl.raw")), 16383.0f / 32768.0f * std::pow(10.0f, -0.5f),
              0.01f);
  std::string log = dir_.read("game/ErrorLog.txt");
  EXPECT_EQ(log.find("CSound"), std::string::npos) << log;
  EXPECT_EQ(log.find("SDL audio"), std::string::npos) << log;
}

}  // namespace
}  // namespace avg
