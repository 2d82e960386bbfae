#pragma once
#include <cstdint>

namespace avg {

// What script commands may ask of the application that runs them.
class AppControl {
 public:
  virtual ~AppControl() = default;
  // Ends the run loop after the current pass.
  virtual void requestClose() = 0;
  virtual void setFrameRate(int32_t rate) = 0;
  virtual void resetFrameTimer() = 0;
  // Delivers a character to the main window as if typed (POST "QUIT" sends Esc).
  virtual void postCharacter(uint32_t character) = 0;
  // Lets other work run after a long load.
  virtual void yieldTimeSlice() = 0;
};

}  // namespace avg
