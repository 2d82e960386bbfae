#include "platform/headless/headless_display.h"

#include <gtest/gtest.h>

#include "support/game_dir.h"

namespace avg {
namespace {

TEST(HeadlessDisplay, ReadsBackTheLastPresentedFrameWithoutAlpha) {
  HeadlessDisplay display;
  display.backSurface().fill(0xAA123456);
  display.presentWhole();
  display.backSurface().fill(0x00FFFFFF);  // drawn but not presented
  Surface frame;
  ASSERT_TRUE(display.readPresented(frame));
  EXPECT_EQ(frame.width(), 640);
  EXPECT_EQ(frame.height(), 480);
  EXPECT_EQ(frame.pixel(639, 479), 0x00123456u);
  EXPECT_EQ(display.presentCount(), 1u);
}

TEST(HeadlessDisplay, ModeChangesGiveAFreshBackSurfaceAndFailuresAreLogged) {
  test::TempGameDir dir;
  HeadlessDisplay display;
  display.backSurface().fill(0x00FFFFFF);
  EXPECT_TRUE(display.changeDisplay(true, 640, 480, 32));
  EXPECT_TRUE(display.isFullScreen());
  EXPECT_EQ(display.backSurface().pixel(0, 0), 0u);
  EXPECT_FALSE(display.changeDisplay(true, -1, 480, 32));
  std::string log = dir.read("ErrorLog.txt");
  EXPECT_NE(log.find(" : CDIBDraw::TestDisplayModeでCreateSecondaryに失敗\n"), std::string::npos);
  EXPECT_NE(log.find(" : CDirectDraw::BeginChangeDisplay～EndChangeDisplayに失敗\n"),
            std::string::npos);
}

TEST(FramePass, PresentsOnlyFramesThatChange) {
  test::PlayerFixture player;
  player.runScript({"NEXT", "NEXT", "NEXT"});
  // Three passes yield; the fourth ends the script before drawing. The first frame is
  // composed whole on the new back surface; the two after it change nothing.
  EXPECT_EQ(player.app().passes(), 4u);
  EXPECT_EQ(player.platform().display->presentCount(), 1u);
}

}  // namespace
}  // namespace avg
