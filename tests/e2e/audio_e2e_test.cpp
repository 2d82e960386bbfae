// Games that play sounds and music, run through the real player: what was heard and when,
// and music across loops for each file format.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/audio_files.h"
#include "support/game_dir.h"
#include "support/player_run.h"

namespace avg {
namespace {

constexpr uint32_t kRate = 48000;
constexpr size_t kFadeFrames = 1200;

// The index of the first sample that is not silence.
size_t firstSound(const std::vector<int16_t>& samples) {
  return std::find_if(samples.begin(), samples.end(), [](int16_t s) { return s != 0; }) -
         samples.begin();
}

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

  test::TempGameDir dir_;
  std::vector<int16_t> source_;
};

TEST_F(SoundEndToEnd, AudioOutHoldsTheSoundAtItsGainBetweenPlayAndTheFade) {
  ASSERT_EQ(test::runGameIn(dir_.path(), "", "--headless --audio-out out.wav"), 0);
  ASSERT_EQ(test::runGameIn(dir_.path(), "", "--headless --audio-out again.wav"), 0);
  std::string wave = dir_.read("out.wav");
  EXPECT_EQ(wave, dir_.read("again.wav"));  // the same on every run
  ASSERT_GT(wave.size(), 44u);
  EXPECT_EQ(wave.substr(0, 4), "RIFF");
  EXPECT_EQ(test::makeWave(1, 2, kRate, 16, "").substr(20, 16), wave.substr(20, 16));
  std::vector<int16_t> out = test::samples16(wave.substr(44));
  size_t frames = out.size() / 2;

  size_t start = firstSound(test::leftOf(out));
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
  ASSERT_EQ(
      test::runGameIn(dir_.path(),
                      "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + raw + " SDL_VIDEODRIVER=dummy",
                      "--frames 120"),
      0);
  EXPECT_NEAR(test::floatPeak(dir_.read("sdl.raw")), 16383.0f / 32768.0f * std::pow(10.0f, -0.5f),
              0.01f);
  std::string log = dir_.read("game/ErrorLog.txt");
  EXPECT_EQ(log.find("CSound"), std::string::npos) << log;
  EXPECT_EQ(log.find("SDL audio"), std::string::npos) << log;
}

constexpr size_t kPieceFrames = 12000;  // 250 ms
constexpr size_t kPassFrames = 768;     // one frame pass of 1/60 s, at least

class MusicEndToEnd : public ::testing::Test {
 protected:
  // A sweep with distinct values everywhere, so that any offset or gap shows.
  MusicEndToEnd()
      : source_(test::stereoFromLeft(kPieceFrames,
                                     [](size_t i) {
                                       double t = static_cast<double>(i) / kRate;
                                       return 12000 * std::sin(2 * M_PI * (200 + 800 * t) * t) +
                                              3000;
                                     })),
        expected_(test::leftOf(source_)) {
    dir_.write("game/bgm/piece.wav", test::makeWave(1, 2, kRate, 16, test::pcm16(source_)));
  }

  // Runs headless a game of `lines` after the music list is read and the volume set to full,
  // then `passes` frame passes; returns the left channel of what was heard.
  std::vector<int16_t> run(const std::string& file, std::vector<std::string> lines, size_t passes) {
    dir_.write("game/music.tbl", test::crlf({"bgm," + file}));
    lines.insert(lines.begin(), {"MUSI,SET_,VOL_,%n__100", "MUSI,LIST,LOAD,%s__music.tbl"});
    lines.insert(lines.end(), passes, "NEXT");
    lines.push_back("QUIT");
    dir_.write("game/autoexec.eve", test::crlf(lines));
    EXPECT_EQ(test::runGameIn(dir_.path(), "", "--headless --audio-out out.wav"), 0);
    return test::leftOf(test::samples16(dir_.read("out.wav").substr(44)));
  }

  bool ffmpeg(const std::string& from, const std::string& options, const std::string& to) {
    return test::runQuietly("ffmpeg -nostdin -y -i " + (dir_.path() / from).string() + " " +
                            options + " " + (dir_.path() / to).string());
  }

  bool sox(const std::string& from, const std::string& to) {
    return test::runQuietly("sox " + (dir_.path() / from).string() +
                            " -t raw -e signed -b 16 -c 2 " + (dir_.path() / to).string());
  }

  test::TempGameDir dir_;
  std::vector<int16_t> source_;
  std::vector<int16_t> expected_;
};

TEST_F(MusicEndToEnd, ALoopIsTheEndFollowedByTheStartSampleForSample) {
  dir_.write("game/cd/track02.wav", dir_.read("game/bgm/piece.wav"));
  dir_.write("game/cd.tbl", test::crlf({"second,Track02"}));
  // A file, and a ripped CD track.
  for (const auto& lines :
       {std::vector<std::string>{"MUSI,PLAY,%s__bgm"},
        std::vector<std::string>{"MUSI,MODE,%n__0,%n__2", "MUSI,LIST,LOAD,%s__cd.tbl",
                                 "MUSI,PLAY,%s__second"}}) {
    std::vector<int16_t> left = run("bgm\\piece.wav", lines, 50);
    size_t start = firstSound(left);
    ASSERT_LT(start, 2 * kPassFrames) << lines.back();
    ASSERT_GT(left.size(), start + 3 * kPieceFrames) << lines.back();
    for (size_t i = 0; i < 3 * kPieceFrames; ++i)
      ASSERT_EQ(left[start + i], expected_[i % kPieceFrames]) << lines.back() << " " << i;
  }
}

TEST_F(MusicEndToEnd, EveryFormatLoopsAsItsWholeDecodeRepeated) {
  const std::pair<std::string, std::string> formats[] = {
      {"piece.flac", ""},
      {"piece.ogg", "-c:a libvorbis -q:a 4"},
      {"piece.opus", "-c:a libopus -b:a 96k"},
      {"piece.mp3", "-c:a libmp3lame -b:a 192k"},
      {"adpcm.wav", "-c:a adpcm_ms"},
  };
  for (const auto& [file, options] : formats) {
    if (!ffmpeg("game/bgm/piece.wav", options, "game/bgm/" + file))
      GTEST_SKIP() << "no ffmpeg tool";
    // What the codec made of the piece, decoded once by the ffmpeg tool; Vorbis by sox,
    // whose decoder keeps the whole tail of a stream of one page, as the player does.
    ASSERT_TRUE(file == "piece.ogg"
                    ? sox("game/bgm/" + file, "decoded.raw")
                    : ffmpeg("game/bgm/" + file, "-f s16le -ac 2 -ar 48000", "decoded.raw"));
    std::vector<int16_t> once = test::leftOf(test::samples16(dir_.read("decoded.raw")));
    if (file == "piece.ogg") {
      EXPECT_EQ(once.size(), test::oggLastGranule(dir_.read("game/bgm/" + file)));
    }
    std::vector<int16_t> left = run("bgm\\" + file, {"MUSI,PLAY,%s__bgm"}, 50);
    size_t start = firstSound(left);
    size_t offset = firstSound(once);
    ASSERT_GT(left.size(), start + 2 * once.size()) << file;
    for (size_t i = 0; i < 2 * once.size(); ++i)
      ASSERT_EQ(left[start + i], once[(offset + i) % once.size()]) << file << " " << i;
  }
  // Vorbis inside a wave file needs no outside codec.
  dir_.write("game/bgm/vorbis.wav",
             test::makeWave(0x674F, 2, kRate, 16, dir_.read("game/bgm/piece.ogg")));
  std::vector<int16_t> left = run("bgm\\vorbis.wav", {"MUSI,PLAY,%s__bgm"}, 10);
  EXPECT_LT(firstSound(left), left.size());
  EXPECT_EQ(dir_.read("game/Err.log"), "");
}

}  // namespace
}  // namespace avg
