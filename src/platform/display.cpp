#include "platform/display.h"

#include "base/error_log.h"

namespace avg {

bool saveScreenshot(Display& display, const ImageCodec& codec, const std::string& path) {
  Surface frame;
  return display.readPresented(frame) && codec.writePng(frame, path);
}

bool changeDisplayMode(bool fullScreen, const std::function<bool(bool fullScreen)>& tryMode) {
  if (fullScreen && tryMode(true)) return true;
  if (tryMode(false)) return !fullScreen;
  writeErrorLog("CDirectDraw::BeginChangeDisplay～EndChangeDisplayに失敗");
  return false;
}

bool createBackSurface(Surface& back, Size size) {
  if (back.create(size.width, size.height)) return true;
  writeErrorLog("CDIBDraw::TestDisplayModeでCreateSecondaryに失敗");
  return false;
}

}  // namespace avg
