// Drawing message windows and edit boxes, with a rasterizer that covers whole cells.
#include <gtest/gtest.h>

#include <limits>

#include "stage/text_layer.h"
#include "support/fake_services.h"

namespace avg {
namespace {

class TextLayerDrawTest : public ::testing::Test {
 protected:
  TextLayerDrawTest() { target_.create(640, 480); }

  // Adds "ab" at 8 px with its top-left corner at the cursor (0, 0) of window `number`.
  MessageWindow& windowWithText(int32_t number, uint32_t color) {
    MessageWindow& window = layer_.selectWindow(number);
    window.layout.alignH = window.layout.alignV = 0;
    window.currentFont = {8, 0, color};
    window.add("ab", layer_.renderer());
    return window;
  }
  void draw() {
    DrawList list;
    list.reset(target_.bounds());
    layer_.collectEditBoxes(list, view_);
    layer_.collectMessageWindows(list, view_);
    list.draw(target_, target_.bounds());
  }

  test::BlockTextRasterizer rasterizer_;
  TextLayer layer_{rasterizer_, "face"};
  StageView view_;
  Surface target_;
};

TEST_F(TextLayerDrawTest, BlendModesAndColours) {
  struct Case {
    int32_t mode;
    uint32_t color;
    uint32_t background;
    uint32_t expected;
  };
  const Case cases[] = {
      {0, 0xFF0000FF, 0x000000, 0xFE0000},  // 0xAABBGGRR: red, (255 × 255) >> 8
      {0, 0x80FFFFFF, 0x646464, 0xB0B0B0},  // 127 + (100 × 127) >> 8
      {1, 0x80FFFFFF, 0x646464, 0xE2E2E2},  // 127 + (100 × 255) >> 8
      {2, 0xFFFFFFFF, 0x646464, 0x646464},  // other modes draw nothing
  };
  for (const Case& c : cases) {
    target_.fill(c.background);
    MessageWindow& window = windowWithText(0, c.color);
    window.placement.blendMode = c.mode;
    draw();
    EXPECT_EQ(target_.pixel(320, 240) & 0xFFFFFF, c.expected) << c.mode << std::hex << c.color;
    window.clear();
  }
}

TEST_F(TextLayerDrawTest, WindowsDrawAtTheScreenCentreThroughTheirPlacement) {
  target_.fill(0);
  MessageWindow& window = windowWithText(0, 0xFFFFFFFF);
  window.placement.x = 10.0f;
  window.placement.y = -4.0f;
  window.placement.refresh();
  draw();
  // "ab" at 8 px is 8 × 8 at (330, 236).
  EXPECT_EQ(target_.pixel(329, 236), 0u);
  EXPECT_NE(target_.pixel(330, 236), 0u);
  EXPECT_NE(target_.pixel(337, 243), 0u);
  EXPECT_EQ(target_.pixel(338, 243) | target_.pixel(337, 244), 0u);
}

TEST_F(TextLayerDrawTest, EditBoxesGoThroughTheView) {
  target_.fill(0);
  EditBox& box = layer_.selectEditBox(0);
  box.layout.alignH = box.layout.alignV = 0;
  box.layout.originX = 16.0f;  // 10 screen pixels at the zoom of 1.6
  box.layout.font = {8, 0, 0xFF0000FF};
  box.type("x", layer_.renderer());
  draw();
  EXPECT_EQ(target_.pixel(329, 240), 0u);
  EXPECT_EQ(target_.pixel(330, 240) & 0xFFFFFF, 0xFE0000u);
}

// Hidden windows, glyphs without image and far-away or huge placements draw nothing.
TEST_F(TextLayerDrawTest, HiddenFarAwayAndManyGlyphsDrawNothingSafely) {
  target_.fill(0);
  windowWithText(1, 0xFFFFFFFF).placement.visible = 0;
  windowWithText(2, 0xFFFFFFFF).glyphs[0]->image.reset();
  MessageWindow& window = windowWithText(0, 0xFFFFFFFF);
  window.layout.alignH = window.layout.alignV = 0xFFFFFFFF;  // MODE -1 -1
  for (int i = 0; i < 5000; ++i)
    window.add("ab", layer_.renderer());
  window.placement.x = 3e9f;
  window.placement.scaleY = std::numeric_limits<float>::infinity();
  window.placement.refresh();
  draw();
  EXPECT_EQ(layer_.renderer().renderCount(), 1u);
  EXPECT_EQ(target_.pixel(320, 240), 0u);
}

}  // namespace
}  // namespace avg
