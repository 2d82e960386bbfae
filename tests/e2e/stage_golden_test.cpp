// Frames of small stage scenes from headless runs of the real binary: golden screenshots
// compared byte for byte, exact pixels of the frames the animation timing shows, and text
// screenshots that are repeatable and match the frame the player composes in process.
#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/image_loader.h"
#include "platform/image_io/sdl_image_codec.h"
#include "support/game_dir.h"
#include "support/pictures.h"
#include "support/player_run.h"
#include "support/real_services.h"

namespace avg {
namespace {

using test::cgdPicture;
using test::crlf;
using test::quoted;
using test::runPlayer;
using test::TempGameDir;

const std::filesystem::path kGoldenDir = std::filesystem::path(AVG_SOURCE_DIR) / "tests/golden";

// Runs the game in `game` headless for `frames` passes; the screenshot `name` it leaves.
std::string screenshot(const TempGameDir& game, const std::string& name, int frames = 3) {
  auto run = runPlayer("--headless --frames " + std::to_string(frames) + " --screenshot " +
                       quoted(game.path() / name) + " " + quoted(game.path()));
  EXPECT_EQ(run.exitCode, 0) << run.stderrText;
  return game.read(name);
}

bool loaded(Surface& picture, const std::filesystem::path& png) {
  return loadImage(picture, png.string(), *makeSdlImageCodec()) == kImageLoaded;
}

// Writes a picture without alpha channel as PNG.
void writePng(const TempGameDir& game, const std::string& name, int32_t width, int32_t height,
              const std::function<uint32_t(int32_t, int32_t)>& pixel) {
  Surface picture;
  picture.create(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      picture.row(y)[x] = pixel(x, y);
  }
  std::optional<std::string> png = makeSdlImageCodec()->encodePng(picture);
  ASSERT_TRUE(png);
  game.write(name, *png);
}

// A scene with every kind of part: an opaque background, a character with an alpha channel,
// additive sparks, a half-transparent window, a rotated object and objects of equal priority.
void writeScene(const TempGameDir& game) {
  game.write("bg.cgd", cgdPicture(640, 480, [](int32_t x, int32_t y) {
               return 0xFF000000u | uint32_t(x * 255 / 639) << 16 | uint32_t(y * 255 / 479) << 8 |
                      0x40;
             }));
  game.write("char.cgd", cgdPicture(100, 150, [](int32_t x, int32_t y) {
               return uint32_t(x * 255 / 99) << 24 | 0xE0A020u | uint32_t(y) % 16;
             }));
  writePng(game, "spark.png", 32, 32, [](int32_t x, int32_t y) {
    return uint32_t(std::max(0, 255 - 16 * (std::abs(x - 16) + std::abs(y - 16)))) * 0x010101u;
  });
  writePng(game, "window.png", 300, 80,
           [](int32_t x, int32_t y) { return (x + y) % 20 < 10 ? 0x00FFFFFFu : 0x00203080u; });
  game.write("scene.spr",
             crlf({"#,bg", "1,bg.cgd,0,0,640,480,192,144", "#,char", "1,char.cgd,0,0,100,150",
                   "-,char.cgd,0,0,50,50,0,0,80FFFFFF,0,200,0", "#,sparks",
                   "1,spark.png,0,0,32,32,0,0,FFFFFFFF,1,60,0",
                   "-,spark.png,0,0,32,32,0,0,80FFFFFF,1,-60,0",
                   "-,spark.png,0,0,32,32,0,0,FFFFFFFF,1,0,60", "#,window",
                   "1,window.png,0,0,300,80,0,0,A0FFFFFF,0",
                   "-,window.png,0,0,300,80,0,0,60FFFFFF,1,0,140"}));
  game.write("autoexec.eve",
             crlf({"SPR_,LOAD,%s__scene,%s__scene.spr",
                   "2D__,ADD_,%s__bg,%s__scene,%s__bg,%f__0,%f__0,%n__0",
                   "2D__,ADD_,%s__window,%s__scene,%s__window,%f__0,%f__230,%n__30",
                   "2D__,ADD_,%s__left,%s__scene,%s__char,%f__-300,%f__40,%n__10",
                   "2D__,ADD_,%s__right,%s__scene,%s__char,%f__-250,%f__60,%n__10",
                   "2D__,ADD_,%s__sparks,%s__scene,%s__sparks,%f__300,%f__-200,%n__20",
                   "2D__,SET_,ROT_,%f__0,%f__0,%f__30", "2D__,SET_,REF_", "NEXT", "NEXT", "CLOS"}));
}

TEST(StageGolden, SceneMatchesItsGoldenScreenshot) {
  TempGameDir game;
  writeScene(game);
  const std::string shot = screenshot(game, "shot.png");
  const std::filesystem::path golden = kGoldenDir / "stage_scene.png";
  if (std::getenv("AVG_UPDATE_GOLDEN")) game.write(golden.string(), shot);
  EXPECT_TRUE(shot == game.read(golden.string())) << "compare " << game.path() / "shot.png"
                                                  << " with " << golden;

  Surface frame;
  ASSERT_TRUE(loaded(frame, game.path() / "shot.png"));
  // The background's corners, one step darker per channel through the alpha-channel blend.
  EXPECT_EQ(frame.pixel(0, 0) & 0xFFFFFF, 0x00003Fu);
  EXPECT_EQ(frame.pixel(639, 479) & 0xFFFFFF, 0xFEFE3Fu);
}

// A three-frame animation of one tick per frame, red, green and blue: each frame pass
// advances it before the scripts run, so it shows red in the pass that adds it and in the
// next one. Once it has ended nothing is drawn, and the frame keeps what it showed last:
// drawing never clears the back surface.
TEST(StageGolden, AnimationFramesShowInTheirPasses) {
  TempGameDir game;
  game.write("rgb.cgd", cgdPicture(3, 1, [](int32_t x, int32_t) {
               return 0xFF000000u | 0xC0u << (16 - 8 * x);
             }));
  game.write("anim.spr",
             crlf({"#,rgb,3", "1,rgb.cgd,0,0,1,1", "1,rgb.cgd,1,0,2,1", "1,rgb.cgd,2,0,3,1"}));
  game.write("autoexec.eve",
             crlf({"SPR_,LOAD,%s__s,%s__anim.spr", "2D__,ADD_,%s__o,%s__s,%s__rgb,%f__0,%f__0",
                   "#loop", "NEXT", "GOTO,loop"}));
  std::string input;
  for (int pass = 2; pass <= 6; ++pass)
    input += std::to_string(pass) + " screenshot " +
             (game.path() / ("p" + std::to_string(pass - 1) + ".png")).string() + "\n";
  game.write("input.txt", input);
  auto run = runPlayer("--headless --frames 6 --input " + quoted(game.path() / "input.txt") + " " +
                       quoted(game.path()));
  ASSERT_EQ(run.exitCode, 0) << run.stderrText;
  const uint32_t expected[] = {0xBF0000, 0xBF0000, 0x00BF00, 0x0000BF, 0x0000BF};
  for (int pass = 1; pass <= 5; ++pass) {
    Surface frame;
    ASSERT_TRUE(loaded(frame, game.path() / ("p" + std::to_string(pass) + ".png")));
    EXPECT_EQ(frame.pixel(319, 239) & 0xFFFFFF, expected[pass - 1]) << "pass " << pass;
  }
}

// ASCII and Japanese text in window 0 (mode 0) over red and blue lines in window 1
// (mode 1, half opacity). "日本語のテキスト" in CP932.
const std::vector<std::string> kScene = {
    "MESS,WRIT,MODE,%n__0,%n__0",
    "MESS,POS_,%f__-200,%f__-100",
    "MESS,ADD_,%s__Hello, world! \x93\xfa\x96\x7b\x8c\xea\x82\xcc\x83\x65\x83\x4c\x83\x58\x83\x67",
    "MESS,FONT,%n__24,%n__1,%x__FF0000FF",
    "MESS,POS_,%f__-200,%f__-60",
    "MESS,ADD_,%s__Red",
    "MESS,SET_,%n__1",
    "MESS,DRAW,BLEN,%n__1",
    "MESS,FONT,%n__36,%n__0,%x__80FF0000",
    "MESS,POS_,%f__-200,%f__-100",
    "MESS,ADD_,%s__Blue \x82\xa0",
    "#loop",
    "NEXT",
    "GOTO,loop",
};

TEST(TextScreenshots, AreRepeatableAndMatchTheComposedFrame) {
  Surface composed;
  {
    test::PlayerFixture player({}, test::makeRealServices);
    player.runScript(kScene, 3);
    ASSERT_TRUE(player.platform().display->readPresented(composed));
  }
  TempGameDir dir;
  dir.write("autoexec.eve", crlf(kScene));
  const std::string first = screenshot(dir, "first.png");
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first, screenshot(dir, "second.png"));

  Surface shot;
  ASSERT_TRUE(loaded(shot, dir.path() / "first.png"));
  int differing = 0;
  int lit = 0;
  for (int32_t y = 0; y < 480; ++y) {
    for (int32_t x = 0; x < 640; ++x) {
      differing += shot.pixel(x, y) != composed.pixel(x, y);
      lit += (shot.pixel(x, y) & 0xFFFFFF) != 0;
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(lit, 500);
}

}  // namespace
}  // namespace avg
