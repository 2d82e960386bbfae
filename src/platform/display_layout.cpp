#include "platform/display_layout.h"

#include <algorithm>

namespace avg {
namespace {

int64_t floorDivide(int64_t numerator, int64_t denominator) {
  int64_t quotient = numerator / denominator;
  return (numerator % denominator != 0 && (numerator < 0) != (denominator < 0)) ? quotient - 1
                                                                                : quotient;
}

}  // namespace

DisplayLayout layoutDisplay(Size output, Size picture, bool fullScreen) {
  int64_t strip = fullScreen ? 0 : kMenuStripHeight;
  int64_t contentHeight = picture.height + strip;
  // Width-limited when output is relatively narrower than the content.
  int64_t width = int64_t{output.width} * contentHeight <= int64_t{output.height} * picture.width
                      ? output.width
                      : int64_t{output.height} * picture.width / contentHeight;
  int64_t height = width * picture.height / picture.width;
  int64_t stripHeight = width * strip / picture.width;
  int64_t left = (output.width - width) / 2;
  int64_t top = (output.height - height - stripHeight) / 2;
  DisplayLayout layout;
  layout.menuStrip = {static_cast<int32_t>(left), static_cast<int32_t>(top),
                      static_cast<int32_t>(left + width), static_cast<int32_t>(top + stripHeight)};
  layout.picture = {static_cast<int32_t>(left), static_cast<int32_t>(top + stripHeight),
                    static_cast<int32_t>(left + width),
                    static_cast<int32_t>(top + stripHeight + height)};
  layout.integerScale =
      width > 0 && width % picture.width == 0 && height * picture.width == width * picture.height;
  return layout;
}

int32_t fittingWindowScale(Size desktop, Size picture) {
  int32_t byWidth = desktop.width / picture.width;
  int32_t byHeight = desktop.height / (picture.height + kMenuStripHeight);
  return std::max(1, std::min(byWidth, byHeight));
}

Rect menuToWindow(const DisplayLayout& layout, Size picture, bool fullScreen, const Rect& menu) {
  const int64_t scaled = layout.picture.width();
  auto scale = [&](int32_t value) { return static_cast<int32_t>(value * scaled / picture.width); };
  const int32_t left = layout.picture.left;
  const int32_t top = fullScreen ? layout.picture.top : layout.menuStrip.top;
  return {left + scale(menu.left), top + scale(menu.top), left + scale(menu.right),
          top + scale(menu.bottom)};
}

void windowToPicture(const DisplayLayout& layout, Size picture, int32_t& x, int32_t& y) {
  if (layout.picture.empty()) return;
  x = static_cast<int32_t>(
      floorDivide(int64_t{x - layout.picture.left} * picture.width, layout.picture.width()));
  y = static_cast<int32_t>(
      floorDivide(int64_t{y - layout.picture.top} * picture.height, layout.picture.height()));
}

}  // namespace avg
