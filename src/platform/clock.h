#pragma once
#include <cstdint>

namespace avg {

// Millisecond clock used for frame pacing. The real clock reads a monotonic timer and
// sleeps the calling thread; the headless clock is virtual: only sleeps advance it.
class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; wraps around like a 32-bit tick counter.
  virtual uint32_t nowMs() = 0;
  virtual void sleepMs(uint32_t ms) = 0;
};

}  // namespace avg
