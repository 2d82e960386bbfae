#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/region.h"
#include "base/surface.h"
#include "platform/image_codec.h"

namespace avg {

// The menu bar and its open popup as the player draws them, in menu coordinates: the bar's
// top-left corner is the origin and popups hang below it.
struct MenuPicture {
  // Null hides the bar (full screen, while the pointer is away from it).
  const Surface* bar = nullptr;
  const Surface* popup = nullptr;
  int32_t popupX = 0;
  int32_t popupY = 0;
};

// The game's picture: 640 × 480 pixels composed in software on the back surface, then
// presented. Windowed or full screen; in full screen the 4:3 picture is letterboxed on the
// desktop without changing the video mode.
class Display {
 public:
  static constexpr int32_t kWidth = 640;
  static constexpr int32_t kHeight = 480;

  virtual ~Display() = default;
  // The surface each frame is composed on (0x00RRGGBB; the top byte is not shown). Replaced
  // by every display change: fetch it each frame, never keep it.
  virtual Surface& backSurface() = 0;
  // Shows the back surface, whose pixels outside `changed` are those presented last.
  virtual void present(const Region& changed) = 0;
  void presentWhole() { present(Region(backSurface().bounds())); }
  // Shows the menu: windowed, the bar sits in its strip above the picture; in full screen it
  // lies over the top of the picture. Popups lie over the picture. The pictures are copied.
  // Displays without a menu strip ignore it.
  virtual void showMenu(const MenuPicture& menu) {}
  // Switches to full screen or windowed with a width × height back surface; bitsPerPixel
  // 0 means 32. True when the requested mode is in force afterwards. Failures are written
  // to the error log.
  virtual bool changeDisplay(bool fullScreen, int32_t width, int32_t height,
                             int32_t bitsPerPixel) = 0;
  virtual bool isFullScreen() const = 0;
  // Bits per pixel of the desktop's current mode.
  virtual int32_t desktopBitsPerPixel() const = 0;
  // The last presented frame as shown, 0x00RRGGBB; false when it cannot be read.
  virtual bool readPresented(Surface& out) = 0;
  virtual uint64_t presentCount() const = 0;
};

// The last presented frame as the bytes of a PNG file.
std::optional<std::string> presentedPng(Display& display, const ImageCodec& codec);
// Writes the last presented frame as a PNG file, replacing it atomically.
bool saveScreenshot(Display& display, const ImageCodec& codec, const std::string& path);

// For implementations: the mode-change sequence. Tries the requested mode through
// `tryMode(fullScreen)`, a failed full screen falling back to windowed; logs when no mode
// could be set. True when the requested mode is in force.
bool changeDisplayMode(bool fullScreen, const std::function<bool(bool fullScreen)>& tryMode);

// For implementations: a new black back surface of `size`; logs when it cannot be made.
bool createBackSurface(Surface& back, Size size);

}  // namespace avg
