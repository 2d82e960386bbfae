#pragma once
#include <cstdint>
#include <string>

namespace avg {

// Keys the player reacts to or forwards to the scripts, named independently of any backend.
enum class Key : uint8_t {
  None,
  F1,
  F2,
  F3,
  F4,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  F11,
  F12,
  Escape,
  Left,
  Right,
  Up,
  Down,
  Return,
  Tab,
  BackSpace,
  Ctrl,
  Shift,
  Alt,
  Space,
  A,
  B,
  C,
  D,
  E,
  F,
  G,
  H,
  I,
  J,
  K,
  L,
  M,
  N,
  O,
  P,
  Q,
  R,
  S,
  T,
  U,
  V,
  W,
  X,
  Y,
  Z,
  Digit0,
  Digit1,
  Digit2,
  Digit3,
  Digit4,
  Digit5,
  Digit6,
  Digit7,
  Digit8,
  Digit9,
  Numpad0,
  Numpad1,
  Numpad2,
  Numpad3,
  Numpad4,
  Numpad5,
  Numpad6,
  Numpad7,
  Numpad8,
  Numpad9,
  NumpadMultiply,
  NumpadAdd,
  NumpadSubtract,
  NumpadDecimal,
  NumpadDivide,
};

enum class MouseButton : uint8_t { Left, Right };
enum class ButtonAction : uint8_t { Down, Up, DoubleClick };

// One message from the window system, already translated from the backend's own events.
struct PlatformEvent {
  enum class Type : uint8_t {
    MouseMove,    // x, y in client pixels
    MouseButton,  // button, action
    Wheel,        // delta
    Key,          // key, down
    Char,         // codepoint: one typed character
    Menu,         // menuId: a menu or accelerator command
    Close,        // the window's close box or a scripted close
    Activate,
    Deactivate,
    Screenshot,  // path: write the last presented frame as PNG
    Request,     // code, path: another program asks to save (10001) or load (10002) a file
  };
  Type type = Type::Close;
  int x = 0;
  int y = 0;
  MouseButton button = MouseButton::Left;
  ButtonAction action = ButtonAction::Down;
  int delta = 0;
  Key key = Key::None;
  bool down = false;
  uint32_t codepoint = 0;
  int menuId = 0;
  uint32_t code = 0;
  std::string path;
};

}  // namespace avg
