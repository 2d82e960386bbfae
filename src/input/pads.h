#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "input/ini_file.h"
#include "platform/joystick.h"

namespace avg {

// 4 × row + column: row 0 up, 1 neither, 2 down; column 0 left, 1 neither, 2 right.
constexpr int32_t kPadCentre = 5;
constexpr int32_t kMaxPadButtons = 9;
// Bindings from this value on name a joystick: number binding / 65536, counted from 1.
constexpr int32_t kJoystickBinding = 0x10000;

// One player's pad: its state and its bindings (key codes or joystick bindings).
struct PadRecord {
  int32_t direction = kPadCentre;
  int32_t buttons = 0;
  int32_t up = 0;
  int32_t down = 0;
  int32_t left = 0;
  int32_t right = 0;
  std::array<int32_t, kMaxPadButtons> buttonBindings{};
};

// The direction of a joystick's stick: each axis in quarters of its range.
int32_t joystickDirection(const JoystickPosition& position);

// The players' pads and the joysticks they may use.
class Pads {
 public:
  // Reads the players ("INPUT" "PL", "Button", then sections "PL1", "PL2", ...) and detects
  // the joysticks, at most one per player. A missing file configures nothing.
  void configure(const IniFile& file, Joysticks& joysticks);
  // Reads the joysticks and recomputes every pad; `keyHeld` tells whether a key code is held.
  void poll(Joysticks& joysticks, const std::function<bool(int32_t)>& keyHeld);

  // The pad of player `index` (from 0), or nullptr when there is none.
  const PadRecord* pad(int32_t index) const;
  size_t joystickCount() const { return joysticks_.size(); }
  // Whether some player's direction or button is bound to the key `code`.
  bool bindsKey(int32_t code) const;

 private:
  struct JoystickState {
    JoystickPosition position;
    int32_t direction = kPadCentre;
  };
  const JoystickState* joystickOf(int32_t binding) const;
  int32_t directionOf(const PadRecord& pad, const std::function<bool(int32_t)>& keyHeld) const;
  int32_t buttonsOf(const PadRecord& pad, const std::function<bool(int32_t)>& keyHeld) const;

  std::vector<PadRecord> players_;
  std::vector<JoystickState> joysticks_;
  int32_t buttonCount_ = 0;
};

}  // namespace avg
