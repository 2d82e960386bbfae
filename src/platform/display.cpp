#include "platform/display.h"

#include "base/atomic_file.h"
#include "base/error_log.h"

namespace avg {

std::optional<std::string> presentedPng(Display& display, const ImageCodec& codec) {
  Surface frame;
  if (!display.readPresented(frame)) return std::nullopt;
  return codec.encodePng(frame);
}

bool saveScreenshot(Display& display, const ImageCodec& codec, const std::string& path) {
  std::optional<std::string> png = presentedPng(display, codec);
  return png && replaceFileAtomically(path, *png);
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
