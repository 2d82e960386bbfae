#include "platform/display_layout.h"

#include <gtest/gtest.h>

#include <array>

namespace avg {
namespace {

constexpr Size kPicture{640, 480};

struct LayoutCase {
  const char* name;
  Size output;
  bool fullScreen;
  Rect menuStrip;
  Rect picture;
  bool integerScale;
};

class Layout : public testing::TestWithParam<LayoutCase> {};

TEST_P(Layout, PlacesStripAndPicture) {
  const LayoutCase& c = GetParam();
  DisplayLayout layout = layoutDisplay(c.output, kPicture, c.fullScreen);
  EXPECT_EQ(layout.menuStrip, c.menuStrip);
  EXPECT_EQ(layout.picture, c.picture);
  EXPECT_EQ(layout.integerScale, c.integerScale);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, Layout,
    testing::Values(
        LayoutCase{"window_x1", {640, 500}, false, {0, 0, 640, 20}, {0, 20, 640, 500}, true},
        LayoutCase{"window_x2", {1280, 1000}, false, {0, 0, 1280, 40}, {0, 40, 1280, 1000}, true},
        LayoutCase{"resized_wide", {1000, 700}, false, {52, 0, 948, 28}, {52, 28, 948, 700}, false},
        LayoutCase{"resized_tall", {640, 800}, false, {0, 150, 640, 170}, {0, 170, 640, 650}, true},
        LayoutCase{"full_wide", {1920, 1080}, true, {240, 0, 1680, 0}, {240, 0, 1680, 1080}, false},
        LayoutCase{"full_tall", {1280, 1024}, true, {0, 32, 1280, 32}, {0, 32, 1280, 992}, true}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST(WindowScale, LargestWholeScaleThatFitsTheDesktop) {
  EXPECT_EQ(fittingWindowScale({1920, 1050}, kPicture), 2);
  EXPECT_EQ(fittingWindowScale({3840, 2100}, kPicture), 4);
  EXPECT_EQ(fittingWindowScale({320, 200}, kPicture), 1);
  EXPECT_EQ(fittingWindowScale({0, 0}, kPicture), 1);
}

TEST(MenuToWindow, BarOnTheStripOrOverThePictureAndPopupsBelow) {
  struct Case {
    Size output;
    bool fullScreen;
    Rect menu;
    Rect window;
  };
  const Rect bar{0, 0, 640, 20};
  const Rect popup{0, 20, 120, 66};
  for (const Case& c : {Case{{640, 500}, false, bar, {0, 0, 640, 20}},
                        Case{{1280, 1000}, false, popup, {0, 40, 240, 132}},
                        Case{{640, 800}, false, bar, {0, 150, 640, 170}},
                        Case{{1920, 1080}, true, bar, {240, 0, 1680, 45}},
                        Case{{1920, 1080}, true, popup, {240, 45, 510, 148}}}) {
    DisplayLayout layout = layoutDisplay(c.output, kPicture, c.fullScreen);
    EXPECT_EQ(menuToWindow(layout, kPicture, c.fullScreen, c.menu), c.window)
        << c.output.width << "x" << c.output.height;
  }
}

TEST(WindowToPicture, UndoesScaleAndOffset) {
  DisplayLayout layout = layoutDisplay({1280, 1000}, kPicture, false);
  // (10, 0) lies in the menu strip, above the picture.
  for (auto [x, y, pictureX, pictureY] : {std::array{1279, 40, 639, 0}, {10, 0, 5, -20}}) {
    windowToPicture(layout, kPicture, x, y);
    EXPECT_EQ(x, pictureX);
    EXPECT_EQ(y, pictureY);
  }
}

}  // namespace
}  // namespace avg
