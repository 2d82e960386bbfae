#include "app/frame_timer.h"

namespace avg {

void FrameTimer::setRate(int32_t rate) {
  uint32_t length = 65536000u / (rate > 0 ? static_cast<uint32_t>(rate) : kDefaultRate);
  frameWhole_ = length >> 16;
  frameFraction_ = length & 0xFFFFu;
  accumulator_ = 0;
  deadline_ = clock_.nowMs() + frameWhole_;
}

void FrameTimer::reset() {
  accumulator_ = 0;
  deadline_ = clock_.nowMs() + frameWhole_;
}

bool FrameTimer::nextFrame() {
  return step(wait_) || !skip_;
}

bool FrameTimer::step(bool wait) {
  if (accumulator_ >= 65536u) {
    accumulator_ -= 65536u;
    deadline_ += 1;
  }
  accumulator_ += frameFraction_;
  uint32_t now = clock_.nowMs();
  // Compared as a signed difference, so the 32-bit clock may wrap around.
  if (static_cast<int32_t>(now - deadline_) > 0) {
    deadline_ += frameWhole_;
    return false;
  }
  if (wait) clock_.sleepMs(deadline_ - now);
  deadline_ += frameWhole_;
  return true;
}

}  // namespace avg
