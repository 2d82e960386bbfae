// Text on screen through the real binary: repeatable screenshots that match the frame the
// player composes in process.
#include <gtest/gtest.h>

#include "graphics/image_loader.h"
#include "platform/image_io/sdl_image_codec.h"
#include "support/game_dir.h"
#include "support/player_run.h"
#include "support/real_services.h"

namespace avg {
namespace {

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

std::string runScene(const test::TempGameDir& dir, const std::string& shot) {
  EXPECT_EQ(test::runPlayer("--headless --frames 3 --screenshot " +
                            test::quoted(dir.path() / shot) + " " + test::quoted(dir.path()))
                .exitCode,
            0);
  return dir.read(shot);
}

TEST(TextScreenshots, AreRepeatableAndMatchTheComposedFrame) {
  Surface composed;
  {
    test::PlayerFixture player({}, test::makeRealServices);
    player.runScript(kScene, 3);
    ASSERT_TRUE(player.platform().display->readPresented(composed));
  }
  test::TempGameDir dir;
  dir.write("autoexec.eve", test::crlf(kScene));
  const std::string first = runScene(dir, "first.png");
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first, runScene(dir, "second.png"));

  Surface shot;
  ASSERT_EQ(loadImage(shot, "first.png", *makeSdlImageCodec()), kImageLoaded);
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
