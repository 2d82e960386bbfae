#include "support/x_pointer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace avg::test {
namespace {

::Display* x(void* display) {
  return static_cast<::Display*>(display);
}

}  // namespace

std::unique_ptr<XPointer> XPointer::open(const std::string& name) {
  ::Display* display = XOpenDisplay(name.c_str());
  if (!display) return nullptr;
  int event, error, major, minor;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::unique_ptr<XPointer>(new XPointer(display));
}

XPointer::~XPointer() {
  XCloseDisplay(x(display_));
}

void XPointer::move(int32_t px, int32_t py) {
  ::Display* display = x(display_);
  XTestFakeMotionEvent(display, DefaultScreen(display), px, py, CurrentTime);
  XFlush(display);
}

void XPointer::click(int32_t px, int32_t py) {
  ::Display* display = x(display_);
  move(px, py);
  XTestFakeButtonEvent(display, Button1, True, CurrentTime);
  XTestFakeButtonEvent(display, Button1, False, CurrentTime);
  XFlush(display);
}

void XPointer::press(const std::string& keyName) {
  ::Display* display = x(display_);
  const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keyName.c_str()));
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XFlush(display);
}

std::optional<uint32_t> XPointer::pixel(int32_t px, int32_t py) {
  ::Display* display = x(display_);
  XImage* image = XGetImage(display, DefaultRootWindow(display), px, py, 1, 1, AllPlanes, ZPixmap);
  if (!image) return std::nullopt;
  const uint32_t color = static_cast<uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
  XDestroyImage(image);
  return color;
}

}  // namespace avg::test
