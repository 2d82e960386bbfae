// Films made by the ffmpeg tool, played headless on the real decoders: the frame shown at
// given virtual times, the length rule, skipping, the sound track and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "platform/headless/headless_platform.h"
#include "support/audio_files.h"
#include "support/game_dir.h"
#include "support/player_run.h"
#include "support/real_services.h"

namespace avg {
namespace {

constexpr Size kSmall{160, 120};

// Virtual milliseconds from VID_ PLAY to the film pass that ends a run of `passes` passes
// (VID_ runs in pass 1): the 100 ms wait, then one frame of 1/60 s per pass.
uint32_t filmTimeAtPass(uint64_t passes) {
  return 100 + static_cast<uint32_t>((passes - 2) * 1000 / 60);
}

class VideoEndToEnd : public ::testing::Test {
 protected:
  VideoEndToEnd() { std::filesystem::create_directories(dir_.path() / "game"); }

  // Writes game/NAME.avi of `seconds` of a counting test picture at 10 frames a second,
  // with the ffmpeg `codecs` options.
  bool makeFilm(const std::string& name, double seconds, const std::string& codecs,
                Size size = kSmall) {
    const std::string length = std::to_string(seconds);
    return test::runQuietly(
        "ffmpeg -nostdin -y -f lavfi -i testsrc=size=" + std::to_string(size.width) + "x" +
        std::to_string(size.height) + ":rate=10:duration=" + length +
        " -f lavfi -i sine=frequency=330:sample_rate=48000:duration=" + length +
        " -ac 2 -fflags +bitexact " + codecs + " " + (dir_.path() / "game" / name).string() +
        ".avi");
  }

  // The frames as the ffmpeg tool decodes them (0xAARRGGBB) and the index of the one shown
  // at each tenth of a second: the last whose time stamp is not later. AVI muxers may leave
  // a frame's chunk empty, so that the frame before it shows on.
  struct DecodedFilm {
    std::string pixels;
    std::vector<size_t> frameAt;
  };
  DecodedFilm decodedFilm(const std::string& name) {
    const std::string film = (dir_.path() / "game" / name).string() + ".avi";
    const std::filesystem::path raw = dir_.path() / "frames.raw";
    const std::filesystem::path stamps = dir_.path() / "stamps.txt";
    EXPECT_TRUE(test::runQuietly("ffmpeg -nostdin -y -i " + film +
                                 " -fps_mode passthrough -f rawvideo -pix_fmt bgra " +
                                 raw.string()));
    EXPECT_TRUE(
        test::runQuietly("ffprobe -v error -select_streams v -show_entries "
                         "frame=best_effort_timestamp -of csv=p=0 " +
                         film + " -o " + stamps.string()));
    DecodedFilm decoded{dir_.read("frames.raw"), {}};
    std::istringstream lines(dir_.read("stamps.txt"));
    size_t index = 0;
    for (int64_t stamp; lines >> stamp; ++index) {
      while (decoded.frameAt.size() <= static_cast<size_t>(stamp))
        decoded.frameAt.push_back(index == 0 ? 0 : index - 1);
      decoded.frameAt.back() = index;
    }
    return decoded;
  }

  // Runs a game that plays film `name` (listed under the name "op" in a subfolder) and then
  // marks the trace and keeps MBUT in "b", for at most `passes` passes.
  test::PlayerFixture& play(const std::string& name, uint64_t passes = 10000,
                            const std::string& input = "", const std::string& config = "") {
    player_.reset();
    player_ =
        std::make_unique<test::PlayerFixture>(parseInputScript(input), test::makeRealServices);
    const std::filesystem::path game = player_->dir().path();
    player_->dir().write("config.ini", config);
    player_->dir().write("video.tbl", test::crlf({"op,movie\\" + name + ".avi"}));
    std::filesystem::create_directories(game / "movie");
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path() / "game")) {
      if (entry.path().extension() == ".avi") {
        std::filesystem::copy_file(entry.path(), game / "movie" / entry.path().filename());
      }
    }
    player_->runScript({"VID_,LIST,LOAD,%s__video.tbl", "VID_,PLAY,%s__op", test::mark("after"),
                        "CALN,=___,$n__b,$$__MBUT", "CLOS"},
                       passes);
    return *player_;
  }

  // Pixels of the presented frame that differ from `frame` of `frames` (each `film` large)
  // by more than a rounding step of the colour conversion in some channel. The film lies
  // unscaled at the top-left corner; what does not fit is not compared.
  size_t pixelsOff(const std::string& frames, size_t frame, Size film) {
    Surface shown;
    EXPECT_TRUE(player_->platform().display->readPresented(shown));
    const size_t frameBytes = size_t{4} * film.width * film.height;
    const auto* expected = reinterpret_cast<const uint32_t*>(frames.data() + frame * frameBytes);
    size_t off = 0;
    for (int32_t y = 0; y < std::min(film.height, shown.height()); ++y) {
      for (int32_t x = 0; x < std::min(film.width, shown.width()); ++x) {
        uint32_t a = shown.pixel(x, y), b = expected[y * film.width + x];
        for (int shift = 0; shift < 24; shift += 8) {
          if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 24) {
            ++off;
            break;
          }
        }
      }
    }
    return off;
  }

  uint32_t clockMs() { return player_->platform().clock->nowMs(); }

  test::TempGameDir dir_;
  std::unique_ptr<test::PlayerFixture> player_;
};

TEST_F(VideoEndToEnd, EveryCodecShowsTheFrameOfTheCurrentTime) {
  struct Codec {
    std::string name;
    std::string options;
    Size size = kSmall;
  };
  const Codec codecs[] = {
      {"mpeg4", "-c:v mpeg4 -q:v 3 -c:a libmp3lame"},
      {"mjpeg", "-c:v mjpeg -q:v 3 -c:a pcm_s16le"},
      {"msvideo1", "-c:v msvideo1 -c:a adpcm_ms"},
      {"cinepak", "-c:v cinepak -an"},
      {"raw", "-c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le"},
      // Larger than the back surface: the part that fits is drawn.
      {"large", "-c:v mjpeg -q:v 3 -an", {800, 600}},
  };
  for (const auto& [name, options, size] : codecs) {
    ASSERT_TRUE(makeFilm(name, 3.0, options, size)) << name;
    const DecodedFilm decoded = decodedFilm(name);
    ASSERT_GE(decoded.frameAt.size(), 25u) << name;
    for (uint64_t passes : {2, 11, 23}) {
      play(name, passes);
      const size_t frame = decoded.frameAt.at(filmTimeAtPass(passes) / 100);
      EXPECT_EQ(pixelsOff(decoded.pixels, frame, size), 0u) << name << " pass " << passes;
      EXPECT_GT(pixelsOff(decoded.pixels, frame + 1, size), 0u) << name << " pass " << passes;
      EXPECT_EQ(player_->stringVar("trace"), "after") << name;
    }
    EXPECT_EQ(player_->errorLog().find("CMovieAVI::"), std::string::npos) << name;
  }
}

// A film longer than a second stops one second before its end; a shorter one plays whole.
// A click ends it in the pass it arrives in; with video disabled nothing plays.
TEST_F(VideoEndToEnd, LengthRuleSkipAndSwitch) {
  ASSERT_TRUE(makeFilm("long", 1.5, "-c:v mpeg4 -an") && makeFilm("short", 0.8, "-c:v mpeg4 -an"));
  struct Case {
    std::string film;
    std::string input;
    std::string config;
    uint32_t endMs;
    uint64_t passes;
  };
  // The film ends in its first pass at or past its end: within one frame.
  const Case cases[] = {
      {"long", "", "", 500, 27},
      {"short", "", "", 800, 45},
      {"long", "5 lbutton down\n", "", 133, 5},
      {"long", "", "[VIDEO]\r\nDISABLE=1\r\n", 0, 1},
  };
  for (const Case& c : cases) {
    play(c.film, 10000, c.input, c.config);
    const std::string what = c.film + " " + c.input + c.config;
    EXPECT_GE(clockMs(), c.endMs) << what;
    EXPECT_LT(clockMs(), c.endMs + 17) << what;
    EXPECT_EQ(player_->app().passes(), c.passes) << what;
    EXPECT_EQ(player_->intVar("b"), 0) << what << ": the film's last input end clears MBUT";
  }
}

TEST_F(VideoEndToEnd, TheSoundTrackPlaysAtTheMusicVolume) {
  ASSERT_TRUE(makeFilm("op", 1.0, "-c:v mpeg4 -c:a pcm_s16le"));
  ASSERT_TRUE(test::runQuietly("ffmpeg -nostdin -y -i " + (dir_.path() / "game/op.avi").string() +
                               " -f s16le " + (dir_.path() / "sound.raw").string()));
  const std::vector<int16_t> track = test::samples16(dir_.read("sound.raw"));
  dir_.write("game/video.tbl", test::crlf({"op,op.avi"}));
  dir_.write("input.txt", "10 screenshot shot.png\n");
  struct Case {
    std::string config;
    std::string volume;
    bool heard;
  };
  for (const Case& c : {Case{"", "100", true}, Case{"", "0", false},
                        Case{"[MUSIC]\r\nDEVICE=0\r\n", "100", false}}) {
    dir_.write("game/config.ini", c.config);
    dir_.write("game/autoexec.eve",
               test::crlf({"MUSI,SET_,VOL_,%n__" + c.volume, "VID_,LIST,LOAD,%s__video.tbl",
                           "VID_,PLAY,%s__op", "QUIT"}));
    ASSERT_EQ(test::runGameIn(dir_.path(), "",
                              "--headless --audio-out out.wav --input " +
                                  test::quoted(dir_.path() / "input.txt")),
              0);
    EXPECT_FALSE(dir_.read("game/shot.png").empty()) << "a screenshot during the film";
    const std::vector<int16_t> heard = test::samples16(dir_.read("out.wav").substr(44));
    const auto sound = std::find_if(heard.begin(), heard.end(), [](int16_t s) { return s != 0; });
    if (!c.heard) {
      EXPECT_EQ(sound, heard.end()) << c.config << c.volume;
      continue;
    }
    // Half a second of the track as the ffmpeg tool decodes it, from its first sound.
    const auto trackSound =
        std::find_if(track.begin(), track.end(), [](int16_t s) { return s != 0; });
    ASSERT_GE(heard.end() - sound, 48000);
    EXPECT_TRUE(std::equal(trackSound, trackSound + 48000, sound));
  }
}

// Bytes after the first "strf" that follows `marker`, as a patched copy of `bytes`.
std::string patchedFormat(std::string bytes, const std::string& marker, size_t offset,
                          const std::string& with) {
  size_t format = bytes.find("strf", bytes.find(marker));
  return bytes.replace(format + 8 + offset, with.size(), with);
}

TEST_F(VideoEndToEnd, DamagedFilmsAreRefusedOrPlaySilentlyAndTheScriptGoesOn) {
  ASSERT_TRUE(makeFilm("good", 2.0, "-c:v mpeg4 -c:a pcm_s16le") &&
              makeFilm("quiet", 1.0, "-c:v msvideo1 -an"));
  const std::string good = dir_.read("game/good.avi");
  const std::string avi = "CMovieAVI::Open AviFile Open Error";
  const std::string stream = "CMovieAVI::Open StreamOpenError";
  struct Case {
    std::string name;
    std::string bytes;
    std::string logged;
  };
  const Case cases[] = {
      {"empty", "", avi},
      {"text", "not a film at all", avi},
      {"header", good.substr(0, 100), avi},
      {"codec", patchedFormat(good, "vids", 16, "XXXX"), stream},
      {"sound", patchedFormat(good, "auds", 0, "\x34\x12"),
       "CMovieAVIAUDIO::InitAudio acmFormatSuggest. No such ACM? 1234"},
      {"quiet", dir_.read("game/quiet.avi"),
       "CMovieAVIAUDIO::OpenAudioStrema not found AudioStrema"},
      {"cut", good.substr(0, good.size() / 2), ""},
  };
  for (const Case& c : cases) {
    dir_.write("game/" + c.name + ".avi", c.bytes);
    play(c.name);
    EXPECT_EQ(player_->stringVar("trace"), "after") << c.name;
    const std::string log = player_->errorLog();
    if (c.logged.empty()) {
      EXPECT_EQ(log, "") << c.name;
    } else {
      EXPECT_NE(log.find(c.logged), std::string::npos) << c.name << ": " << log;
    }
  }
}

}  // namespace
}  // namespace avg
