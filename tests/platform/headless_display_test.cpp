#include "platform/headless/headless_display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "platform/image_io/sdl_image_codec.h"
#include "platform/image_loader.h"
#include "support/game_dir.h"

namespace avg {
namespace {

TEST(HeadlessDisplay, ReadsBackTheLastPresentedFrameWithoutAlpha) {
  HeadlessDisplay display;
  display.backSurface().fill(0xAA123456);
  display.present();
  display.backSurface().fill(0x00FFFFFF);  // drawn but not presented
  Surface frame;
  ASSERT_TRUE(display.readPresented(frame));
  EXPECT_EQ(frame.width(), 640);
  EXPECT_EQ(frame.height(), 480);
  EXPECT_EQ(frame.pixel(639, 479), 0x00123456u);
  EXPECT_EQ(display.presentCount(), 1u);
}

TEST(HeadlessDisplay, ModeChangesSucceedWithAFreshBackSurface) {
  test::TempGameDir dir;
  HeadlessDisplay display;
  display.backSurface().fill(0x00FFFFFF);
  EXPECT_TRUE(display.changeDisplay(true, 640, 480, 32));
  EXPECT_TRUE(display.isFullScreen());
  EXPECT_EQ(display.backSurface().pixel(0, 0), 0u);
  EXPECT_TRUE(display.changeDisplay(false, 0, 0, 0));
  EXPECT_FALSE(display.isFullScreen());
  EXPECT_EQ(display.backSurface().width(), 640);
}

TEST(HeadlessDisplay, FailedBackSurfaceIsLoggedAndReported) {
  test::TempGameDir dir;
  HeadlessDisplay display;
  EXPECT_FALSE(display.changeDisplay(true, -1, 480, 32));
  std::string log = dir.read("ErrorLog.txt");
  EXPECT_NE(log.find(" : CDIBDraw::TestDisplayModeでCreateSecondaryに失敗\n"), std::string::npos);
  EXPECT_NE(log.find(" : CDirectDraw::BeginChangeDisplay～EndChangeDisplayに失敗\n"),
            std::string::npos);
}

TEST(FramePass, ClearsAndPresentsEveryDrawnFrame) {
  test::PlayerFixture player;
  player.runScript({"NEXT", "NEXT", "NEXT"});
  // Three passes yield; the fourth ends the script before drawing.
  EXPECT_EQ(player.app().passes(), 4u);
  Platform& platform = player.platform();
  EXPECT_EQ(platform.display->presentCount(), 3u);
  Surface frame;
  ASSERT_TRUE(platform.display->readPresented(frame));
  EXPECT_EQ(frame.pixel(320, 240), 0u);
}

std::string runWithScreenshots(const test::TempGameDir& dir, const std::string& tag) {
  std::string atExit = (dir.path() / (tag + "-exit.png")).string();
  std::string command = std::string(AVGPLAYER_BINARY) + " --headless --frames 5 --input " +
                        (dir.path() / "input.txt").string() + " --screenshot " + atExit + " " +
                        dir.path().string() + " 2>/dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::rename((dir.path() / "during.png").c_str(), (dir.path() / (tag + "-during.png")).c_str());
  return dir.read(tag + "-exit.png");
}

TEST(Screenshots, AreByteIdenticalAcrossRuns) {
  test::TempGameDir dir;
  dir.write("autoexec.eve", test::crlf({"#loop", "NEXT", "GOTO,loop"}));
  dir.write("input.txt", "3 screenshot during.png\n");
  std::string first = runWithScreenshots(dir, "first");
  std::string second = runWithScreenshots(dir, "second");
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first, second);
  EXPECT_EQ(dir.read("first-during.png"), dir.read("second-during.png"));
  EXPECT_FALSE(dir.read("first-during.png").empty());

  std::unique_ptr<ImageCodec> codec = makeSdlImageCodec();
  Surface shot;
  ASSERT_EQ(loadImage(shot, "first-exit.png", *codec), kImageLoaded);
  EXPECT_EQ(shot.width(), 640);
  EXPECT_EQ(shot.height(), 480);
  EXPECT_EQ(shot.pixel(100, 100), 0u);
}

}  // namespace
}  // namespace avg
