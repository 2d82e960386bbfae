#pragma once
#include <cstdint>

namespace avg {

enum class DisplaySwitch { Unchanged, Switched, Failed };

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
  // Puts the display in full-screen or windowed mode (32 bits per pixel, else 24); after a
  // switch the player settles as after any blocking step. A failure is shown to the player.
  virtual DisplaySwitch switchDisplay(bool fullScreen) = 0;
};

}  // namespace avg
