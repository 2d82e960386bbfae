#include "app/frame_timer.h"

#include <gtest/gtest.h>

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

// Frames asked for back to back each sleep until they are due: the first sleeps the whole
// milliseconds of a frame, and the fractions carry over, so 3000 frames take 3000 exact
// frame lengths give or take the millisecond still owed. Rates of 0 and below mean 60 fps.
TEST(FrameTimer, FramesKeepTheirLengthsFractionsIncluded) {
  struct Case {
    int32_t rate;
    uint32_t firstFrameMs;
    double threeThousandFramesMs;
  };
  for (Case c : {Case{60, 16, 50000}, Case{30, 33, 100000}, Case{7, 142, 428571.4},
                 Case{1000, 1, 3000}, Case{0, 16, 50000}, Case{-5, 16, 50000}}) {
    ManualClock clock;
    FrameTimer timer(clock);
    timer.setRate(c.rate);
    EXPECT_TRUE(timer.nextFrame());
    EXPECT_EQ(clock.slept, c.firstFrameMs) << c.rate;
    for (int frame = 1; frame < 3000; ++frame)
      ASSERT_TRUE(timer.nextFrame()) << c.rate;
    EXPECT_NEAR(clock.slept, c.threeThousandFramesMs, 1.5) << c.rate;
  }
}

// A late frame is skipped only with skip on; an early one sleeps only with wait on, but
// always when a film waits for it.
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
    earlyTimer.waitFrame();
    EXPECT_EQ(early.now, 1032u);
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
