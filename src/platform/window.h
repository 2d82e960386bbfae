#pragma once
#include <string>
#include <vector>

#include "base/surface.h"
#include "platform/events.h"

namespace avg {

// A mouse cursor: its picture, 0xAARRGGBB with alpha 0 where the screen shows through, and
// the pixel that points, always inside the picture.
struct CursorImage {
  Surface pixels;
  int32_t hotX = 0;
  int32_t hotY = 0;
};

// Events from outside the window system (requests from other programs), delivered by the
// window along with its own messages.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // Appends the events that arrived since the last call; never blocks.
  virtual void poll(std::vector<PlatformEvent>& out) = 0;
};

// The main window: its caption, its mouse cursor and its event queue. Drawing and presenting
// belong to the display; this interface only carries what the frame loop needs to pump
// messages.
class Window {
 public:
  virtual ~Window() = default;
  virtual void setCaption(const std::string& utf8) = 0;
  // Shows the window, which stays hidden until the player has started up.
  virtual void show() {}
  // The cursor shown over the window from now on, in place of the standard arrow.
  virtual void setCursor(const CursorImage& cursor) = 0;
  // Replaces the text on the desktop's clipboard.
  virtual void setClipboardText(const std::string& utf8) = 0;
  // Makes the mouse cursor visible (after switching into full screen, which may hide it).
  virtual void showCursor() {}
  // Appends the events that arrived since the last call. With waitForOne, blocks until at
  // least one event is there (used while the application is inactive).
  virtual void pumpEvents(std::vector<PlatformEvent>& out, bool waitForOne) = 0;
  // Called once at the start of every frame pass; the headless window uses it to release the
  // scripted events of that pass.
  virtual void beginPass() {}
};

}  // namespace avg
