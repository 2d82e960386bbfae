// Games that play music, run through the real player: what was heard across loops and
// pauses, for each file format.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "support/audio_files.h"
#include "support/game_dir.h"

namespace avg {
namespace {

constexpr uint32_t kRate = 48000;
constexpr size_t kPieceFrames = 12000;  // 250 ms
constexpr size_t kPassFrames = 768;     // one frame pass of 1/60 s, at least

// A sweep with distinct values everywhere, so that any offset or gap shows.
std::vector<int16_t> piece() {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < kPieceFrames; ++i) {
    double t = static_cast<double>(i) / kRate;
    auto left =
        static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * (200 + 800 * t) * t) + 3000));
    samples.push_back(left);
    samples.push_back(static_cast<int16_t>(-left / 2));
  }
  return samples;
}

class MusicEndToEnd : public ::testing::Test {
 protected:
  MusicEndToEnd() : source_(piece()) {
    dir_.write("game/bgm/piece.wav", test::makeWave(1, 2, kRate, 16, test::pcm16(source_)));
  }

  // Writes the game: `lines` after the music list is read and the volume set to full.
  void writeGame(const std::string& file, std::vector<std::string> lines) {
    dir_.write("game/music.tbl", test::crlf({"bgm," + file}));
    lines.insert(lines.begin(), {"MUSI,SET_,VOL_,%n__100", "MUSI,LIST,LOAD,%s__music.tbl"});
    lines.push_back("QUIT");
    dir_.write("game/autoexec.eve", test::crlf(lines));
  }

  int runPlayer(const std::string& environment, const std::string& options) {
    return test::runGameIn(dir_.path(), environment, options);
  }

  // Runs the game headless; returns the left channel of what was heard.
  std::vector<int16_t> run(const std::string& file, std::vector<std::string> lines) {
    writeGame(file, std::move(lines));
    EXPECT_EQ(runPlayer("", "--headless --audio-out out.wav"), 0);
    std::vector<int16_t> out = test::samples16(dir_.read("out.wav").substr(44));
    std::vector<int16_t> left;
    for (size_t i = 0; i < out.size(); i += 2)
      left.push_back(out[i]);
    return left;
  }

  // Converts the piece with the ffmpeg tool; false when the tool is missing.
  bool convert(const std::string& to, const std::string& options) {
    return test::runQuietly("ffmpeg -nostdin -y -i " +
                            (dir_.path() / "game/bgm/piece.wav").string() + " " + options + " " +
                            (dir_.path() / "game/bgm" / to).string());
  }

  static size_t firstSound(const std::vector<int16_t>& left) {
    size_t i = 0;
    while (i < left.size() && left[i] == 0)
      ++i;
    return i;
  }

  std::vector<int16_t> sourceLeft() const {
    std::vector<int16_t> left;
    for (size_t i = 0; i < source_.size(); i += 2)
      left.push_back(source_[i]);
    return left;
  }

  test::TempGameDir dir_;
  std::vector<int16_t> source_;
};

// Appends `count` frame passes of waiting.
void addPasses(std::vector<std::string>& lines, size_t count) {
  lines.insert(lines.end(), count, "NEXT");
}

TEST_F(MusicEndToEnd, ALoopIsTheEndFollowedByTheStartSampleForSample) {
  std::vector<std::string> lines = {"MUSI,PLAY,%s__bgm"};
  addPasses(lines, 50);
  std::vector<int16_t> left = run("bgm\\piece.wav", lines);
  std::vector<int16_t> expected = sourceLeft();
  size_t start = firstSound(left);
  ASSERT_LT(start, 2 * kPassFrames);
  ASSERT_GT(left.size(), start + 3 * kPieceFrames);
  for (size_t i = 0; i < 3 * kPieceFrames; ++i)
    ASSERT_EQ(left[start + i], expected[i % kPieceFrames]) << i;
}

TEST_F(MusicEndToEnd, EveryFormatLoopsAsItsWholeDecodeRepeated) {
  const std::pair<std::string, std::string> formats[] = {
      {"piece.flac", ""},
      {"piece.ogg", "-c:a libvorbis -q:a 4"},
      {"piece.opus", "-c:a libopus -b:a 96k"},
      {"piece.mp3", "-c:a libmp3lame -b:a 192k"},
      {"adpcm.wav", "-c:a adpcm_ms"},
  };
  std::vector<std::string> lines = {"MUSI,PLAY,%s__bgm"};
  addPasses(lines, 50);
  for (const auto& [file, options] : formats) {
    if (!convert(file, options)) GTEST_SKIP() << "no ffmpeg tool";
    // What the codec made of the piece, decoded once by the ffmpeg tool.
    std::string raw = (dir_.path() / "decoded.raw").string();
    ASSERT_TRUE(test::runQuietly("ffmpeg -nostdin -y -i " +
                                 (dir_.path() / "game/bgm" / file).string() +
                                 " -f s16le -ac 2 -ar 48000 " + raw));
    std::vector<int16_t> decoded = test::samples16(dir_.read("decoded.raw"));
    std::vector<int16_t> once;
    for (size_t i = 0; i < decoded.size(); i += 2)
      once.push_back(decoded[i]);

    std::vector<int16_t> left = run("bgm\\" + file, lines);
    size_t start = firstSound(left);
    size_t offset = firstSound(once);
    ASSERT_GT(left.size(), start + 2 * once.size()) << file;
    for (size_t i = 0; i < 2 * once.size(); ++i) {
      ASSERT_EQ(left[start + i], once[(offset + i) % once.size()]) << file << " " << i;
    }
  }
  EXPECT_EQ(dir_.read("game/Err.log"), "");
}

TEST_F(MusicEndToEnd, VorbisInWaveNeedsNoOutsideCodec) {
  ASSERT_TRUE(convert("piece.ogg", "-c:a libvorbis -q:a 4"));
  std::string ogg = dir_.read("game/bgm/piece.ogg");
  dir_.write("game/bgm/vorbis.wav", test::makeWave(0x674F, 2, kRate, 16, ogg));
  std::vector<std::string> lines = {"MUSI,PLAY,%s__bgm"};
  addPasses(lines, 10);
  std::vector<int16_t> left = run("bgm\\vorbis.wav", lines);
  EXPECT_LT(firstSound(left), left.size());
  EXPECT_EQ(dir_.read("game/Err.log"), "");
}

TEST_F(MusicEndToEnd, PauseHoldsThePositionAndPlayGoesOnFromIt) {
  std::vector<std::string> lines = {"MUSI,LOOP,%n__0", "MUSI,PLAY,%s__bgm"};
  for (const char* step : {"MUSI,PAUS", "MUSI,PLAY"}) {
    addPasses(lines, 5);
    lines.push_back(step);
  }
  addPasses(lines, 20);
  std::vector<int16_t> left = run("bgm\\piece.wav", lines);
  std::vector<int16_t> expected = sourceLeft();

  size_t start = firstSound(left);
  size_t heard = 0;
  while (left[start + heard] == expected[heard])
    ++heard;
  EXPECT_GE(heard, 5 * kPassFrames);
  size_t silence = 0;
  while (left[start + heard + silence] == 0)
    ++silence;
  EXPECT_GE(silence, 4 * kPassFrames);
  // Played once to its end from where it paused: the rest of the piece, then silence.
  size_t resumed = start + heard + silence;
  for (size_t i = heard; i < kPieceFrames; ++i)
    ASSERT_EQ(left[resumed + i - heard], expected[i]) << i;
  for (size_t i = resumed + kPieceFrames - heard; i < left.size(); ++i)
    ASSERT_EQ(left[i], 0) << i;
}

TEST_F(MusicEndToEnd, CdTracksPlayFromRippedFiles) {
  dir_.write("game/cd/track02.wav", dir_.read("game/bgm/piece.wav"));
  dir_.write("game/cd.tbl", test::crlf({"second,Track02"}));
  std::vector<std::string> lines = {"MUSI,MODE,%n__0,%n__2", "MUSI,LIST,LOAD,%s__cd.tbl",
                                    "MUSI,PLAY,%s__second"};
  addPasses(lines, 40);
  std::vector<int16_t> left = run("unused.wav", lines);
  std::vector<int16_t> expected = sourceLeft();
  size_t start = firstSound(left);
  ASSERT_GT(left.size(), start + 2 * kPieceFrames);
  for (size_t i = 0; i < 2 * kPieceFrames; ++i)
    ASSERT_EQ(left[start + i], expected[i % kPieceFrames]) << i;
}

TEST_F(MusicEndToEnd, SdlOutputCarriesTheMusic) {
  std::vector<std::string> lines = {"MUSI,PLAY,%s__bgm"};
  addPasses(lines, 100);
  writeGame("bgm\\piece.wav", lines);
  // SDL's disk driver writes what the device would have played: float stereo at 48000 Hz.
  std::string raw = (dir_.path() / "sdl.raw").string();
  ASSERT_EQ(runPlayer("SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" + raw + " SDL_VIDEODRIVER=dummy",
                      "--frames 120"),
            0);
  std::string bytes = dir_.read("sdl.raw");
  std::vector<float> samples(bytes.size() / sizeof(float));
  std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
  float peak = 0.0f;
  for (float sample : samples)
    peak = std::max(peak, std::fabs(sample));
  EXPECT_NEAR(peak, 15000.0f / 32768.0f, 0.01f);
}

}  // namespace
}  // namespace avg
