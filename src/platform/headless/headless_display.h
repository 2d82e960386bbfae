#pragma once
#include "platform/display.h"

namespace avg {

// A display without a screen: the same back surface, presents counted, and a copy of the
// last presented frame for screenshots. Mode changes always succeed.
class HeadlessDisplay : public Display {
 public:
  HeadlessDisplay();
  Surface& backSurface() override { return back_; }
  void present(const Region& changed) override;
  bool changeDisplay(bool fullScreen, int32_t width, int32_t height, int32_t bitsPerPixel) override;
  bool isFullScreen() const override { return fullScreen_; }
  int32_t desktopBitsPerPixel() const override { return 32; }
  bool readPresented(Surface& out) override;
  uint64_t presentCount() const override { return presents_; }

 private:
  Surface back_;
  Surface presented_;
  Size size_{kWidth, kHeight};
  bool fullScreen_ = false;
  uint64_t presents_ = 0;
};

}  // namespace avg
