// Text on screen through the real binary: repeatable screenshots that match the frame the
// player composes in process.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/image_io/sdl_image_codec.h"
#include "platform/image_loader.h"
#include "support/game_dir.h"

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
  const std::string command = std::string(AVGPLAYER_BINARY) + " --headless --frames 3 " +
                              "--screenshot " + (dir.path() / shot).string() + " " +
                              dir.path().string() + " 2>/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return dir.read(shot);
}

TEST(TextScreenshots, AreRepeatableAndMatchTheComposedFrame) {
  Surface composed;
  {
    test::PlayerFixture player;
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

TEST(TextScreenshots, ColourOrderAndBlendModes) {
  test::PlayerFixture player;
  player.runScript(kScene, 3);
  Surface frame;
  ASSERT_TRUE(player.platform().display->readPresented(frame));
  // "Red" spans rows 180..203 from x 120; the blue line is centred on (120, 140).
  uint32_t redMax = 0;
  uint32_t otherInRed = 0;
  for (int32_t y = 180; y < 204; ++y) {
    for (int32_t x = 120; x < 160; ++x) {
      redMax = std::max(redMax, frame.pixel(x, y) >> 16 & 0xFF);
      otherInRed |= frame.pixel(x, y) & 0xFFFF;
    }
  }
  EXPECT_EQ(redMax, 0xFEu);
  EXPECT_EQ(otherInRed, 0u);
  uint32_t blueMax = 0;
  for (int32_t y = 140 - 18; y < 140 + 18; ++y)
    for (int32_t x = 60; x < 180; ++x)
      blueMax = std::max(blueMax, frame.pixel(x, y) & 0xFF);
  // Half opacity in the additive mode: (255 × 128) >> 8 on black, more over the white text.
  EXPECT_GE(blueMax, 0x7Fu);
}

}  // namespace
}  // namespace avg
