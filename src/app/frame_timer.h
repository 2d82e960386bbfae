#pragma once
#include <cstdint>

#include "platform/clock.h"

namespace avg {

// Frame pacing in 16.16 fixed-point milliseconds, so that rates that do not divide 1000 ms
// keep their long-run average (60 fps: 16 ms plus 0xAAAA/65536 per frame).
class FrameTimer {
 public:
  static constexpr uint32_t kDefaultRate = 60;

  explicit FrameTimer(Clock& clock) : clock_(clock) { setRate(kDefaultRate); }

  // A rate of 0 or below has no frame length and falls back to the default rate.
  void setRate(int32_t rate);
  void reset();
  // Called once per frame pass; true when the frame should be drawn. Late frames are not
  // drawn while skipping is on; with waiting on, an early frame sleeps until it is due.
  bool nextFrame();
  // Sleeps until the next frame is due, whatever the wait setting.
  void waitFrame() { step(true); }

  void setSkip(bool skip) { skip_ = skip; }
  void setWait(bool wait) { wait_ = wait; }

 private:
  // Moves the deadline on by one frame; false when the frame was already late.
  bool step(bool wait);

  Clock& clock_;
  uint32_t frameWhole_ = 0;
  uint32_t frameFraction_ = 0;
  uint32_t deadline_ = 0;
  uint32_t accumulator_ = 0;
  bool skip_ = true;
  bool wait_ = true;
};

}  // namespace avg
