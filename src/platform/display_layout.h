#pragma once
#include <cstdint>

#include "base/surface.h"

namespace avg {

// Height of the strip above the picture that holds the menu bar in a window, in picture
// pixels (it scales with the picture).
constexpr int32_t kMenuStripHeight = 20;

// Where the menu strip and the 4:3 picture sit in a window's drawable area of `output`
// pixels: as large as fits, centred, the rest black. Full screen has no strip.
struct DisplayLayout {
  Rect menuStrip;
  Rect picture;
  // The picture is a whole multiple of its pixel size, so it scales without filtering.
  bool integerScale = false;
};

DisplayLayout layoutDisplay(Size output, Size picture, bool fullScreen);

// The largest whole scale (at least 1) at which a window of picture plus menu strip fits
// the usable desktop area.
int32_t fittingWindowScale(Size desktop, Size picture);

// Where a rectangle in menu coordinates (the bar's top-left corner is the origin) lies in
// the window: on the strip and below it when windowed, over the picture's top in full screen.
Rect menuToWindow(const DisplayLayout& layout, Size picture, bool fullScreen, const Rect& menu);

// Window pixel coordinates to picture pixel coordinates (outside the picture they fall
// outside 0..width-1 / 0..height-1).
void windowToPicture(const DisplayLayout& layout, Size picture, int32_t& x, int32_t& y);

}  // namespace avg
