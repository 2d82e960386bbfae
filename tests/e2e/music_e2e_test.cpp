// Games that play music, run through the real player: what was heard across loops and
// pauses, for each file format.
#include <gtest/gtest.h>

#include <cmath>

#include "support/audio_files.h"
#include "support/game_dir.h"
#include "support/player_run.h"

namespace avg {
namespace {

constexpr uint32_t kRate = 48000;
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

  static size_t firstSound(const std::vector<int16_t>& left) {
    size_t i = 0;
    while (i < left.size() && left[i] == 0)
      ++i;
    return i;
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
