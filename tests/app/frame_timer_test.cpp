#include "app/frame_timer.h"

#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"

namespace avg {
namespace {

// A clock that only moves when told to, recording the sleeps asked of it.
class ManualClock : public Clock {
 public:
  uint32_t nowMs() override { return now; }
  void sleepMs(uint32_t ms) override {
    slept += ms;
    now += ms;
  }
  uint32_t now = 1000;
  uint32_t slept = 0;
};

TEST(FrameTimer, DefaultRateIsSixtyInFixedPoint) {
  ManualClock clock;
  FrameTimer timer(clock);
  EXPECT_EQ(timer.frameWhole(), 16u);
  EXPECT_EQ(timer.frameFraction(), 0xAAAAu);
  EXPECT_EQ(timer.deadline(), 1016u);
}

TEST(FrameTimer, ThreeFramesTakeFiftyMillisecondsInTheLongRun) {
  HeadlessClock clock;
  FrameTimer timer(clock);
  timer.reset();
  uint32_t start = clock.nowMs();
  for (int frame = 0; frame < 3000; ++frame)
    EXPECT_TRUE(timer.nextFrame());
  EXPECT_NEAR(static_cast<double>(clock.nowMs() - start), 50000.0, 17.0);
}

TEST(FrameTimer, RatesAndFallback) {
  const std::tuple<int32_t, uint32_t, uint32_t> cases[] = {
      {30, 33, 0x5555}, {50, 20, 0}, {1000, 1, 0}, {0, 16, 0xAAAA}, {-5, 16, 0xAAAA}};
  for (const auto& [rate, whole, fraction] : cases) {
    ManualClock clock;
    FrameTimer timer(clock);
    timer.setRate(rate);
    EXPECT_EQ(timer.frameWhole(), whole) << rate;
    EXPECT_EQ(timer.frameFraction(), fraction) << rate;
  }
}

TEST(FrameTimer, LateFrameIsSkippedOnlyWithSkipOn) {
  for (bool skip : {true, false}) {
    ManualClock clock;
    FrameTimer timer(clock);
    timer.setSkip(skip);
    clock.now += 100;  // far past the deadline
    EXPECT_EQ(timer.nextFrame(), !skip);
    EXPECT_EQ(clock.slept, 0u);
  }
}

TEST(FrameTimer, EarlyFrameSleepsOnlyWithWaitOn) {
  for (bool wait : {true, false}) {
    ManualClock clock;
    FrameTimer timer(clock);
    timer.setWait(wait);
    clock.now += 6;
    EXPECT_TRUE(timer.nextFrame());
    EXPECT_EQ(clock.slept, wait ? 10u : 0u);
  }
}

TEST(FrameTimer, ResetForgivesTimeSpentAway) {
  ManualClock clock;
  FrameTimer timer(clock);
  clock.now += 5000;
  timer.reset();
  EXPECT_TRUE(timer.nextFrame());
  EXPECT_EQ(clock.slept, 16u);
}

}  // namespace
}  // namespace avg
