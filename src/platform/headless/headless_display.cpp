#include "platform/headless/headless_display.h"

namespace avg {

HeadlessDisplay::HeadlessDisplay() {
  back_.create(kWidth, kHeight);
  presented_.create(kWidth, kHeight);
}

void HeadlessDisplay::present(const Region& changed) {
  if (presented_.width() != back_.width() || presented_.height() != back_.height()) {
    presented_ = back_;
  } else {
    for (const Rect& rect : changed.rects())
      copyPixels(back_, presented_, rect);
  }
  ++presents_;
}

bool HeadlessDisplay::changeDisplay(bool fullScreen, int32_t width, int32_t height,
                                    int32_t bitsPerPixel) {
  if (width != 0 && height != 0) size_ = {width, height};
  return changeDisplayMode(fullScreen, [&](bool full) {
    if (!createBackSurface(back_, size_)) return false;
    fullScreen_ = full;
    return true;
  });
}

bool HeadlessDisplay::readPresented(Surface& out) {
  out = presented_;
  out.clearAlphaBytes();
  return out.loaded();
}

}  // namespace avg
