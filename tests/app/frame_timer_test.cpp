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
      {30, 33, 0x5555}, {1000, 1, 0}, {0, 16, 0xAAAA}, {-5, 16, 0xAAAA}};
  for (const auto& [rate, whole, fraction] : cases) {
    ManualClock clock;
    FrameTimer timer(clock);
    timer.setRate(rate);
    EXPECT_EQ(timer.frameWhole(), whole) << rate;
    EXPECT_EQ(timer.frameFraction(), fraction) << rate;
    EXPECT_EQ(timer.deadline(), 1000 + whole) << rate;
  }
}

// A late frame is skipped only with skip on; an early one sleeps only with wait on.
TEST(FrameTimer, SkipAndWaitOnlyWhenOn) {
  for (bool on : {true, false}) {
    ManualClock late;
    FrameTimer lateTimer(late);
    lateTimer.setSkip(on);
    late.now += 100;
    EXPECT_EQ(lateTimer.nextFrame(), !on);
    EXPECT_EQ(late.slept, 0u);
    ManualClock early;
    FrameTimer earlyTimer(early);
    earlyTimer.setWait(on);
    early.now += 6;
    EXPECT_TRUE(earlyTimer.nextFrame());
    EXPECT_EQ(early.slept, on ? 10u : 0u);
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
