#pragma once
#include <cstdint>

namespace avg {

// One joystick's state: axes from 0 to 65535 (centred near 32768) and button bits, bit 0
// for the first button.
struct JoystickPosition {
  uint32_t x = 32768;
  uint32_t y = 32768;
  uint32_t z = 32768;
  uint32_t buttons = 0;
};

// The system's joysticks, numbered from 0.
class Joysticks {
 public:
  virtual ~Joysticks() = default;
  // How many joysticks the system reports.
  virtual int32_t count() = 0;
  // Reads the current state of joystick `index`; false when it cannot be read.
  virtual bool read(int32_t index, JoystickPosition& out) = 0;
};

// A system without joysticks.
class NoJoysticks : public Joysticks {
 public:
  int32_t count() override { return 0; }
  bool read(int32_t, JoystickPosition&) override { return false; }
};

}  // namespace avg
