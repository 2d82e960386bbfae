// 2D objects: creation, replacement, priorities, the current object and animation timing.
#include "stage/object_stage.h"

#include <gtest/gtest.h>

namespace avg {
namespace {

// An animation of one frame per tick, frame i covering tick i.
std::shared_ptr<SpriteAnimation> ticks(int32_t length, int32_t loopStep = -1) {
  auto animation = std::make_shared<SpriteAnimation>();
  animation->frames.resize(static_cast<size_t>(length));
  for (int32_t i = 0; i < length; ++i)
    animation->timeline.push_back({i, i + 1, i});
  animation->length = length;
  animation->loopStep = loopStep;
  return animation;
}

// The frames the object shows in successive passes, starting with the pass it was added in
// (drawn after the scripts, so before that pass's tick); -2 once it is gone.
std::vector<int32_t> shownFrames(ObjectStage2D& stage, int passes) {
  std::vector<int32_t> shown;
  for (int pass = 0; pass < passes; ++pass) {
    if (pass > 0) stage.tick();
    DisplayObject2D* object = stage.find("o");
    shown.push_back(object ? object->frame : -2);
  }
  return shown;
}

std::vector<std::string> drawOrder(const ObjectStage2D& stage) {
  std::vector<std::string> names;
  stage.forEachInDrawOrder([&](const DisplayObject2D& object) { names.push_back(object.name); });
  return names;
}

TEST(ObjectTiming, FramesShownPassByPass) {
  struct Case {
    int32_t length, loopStep, startStep;
    std::vector<int32_t> shown;
  };
  const Case cases[] = {
      // Length 10 is drawn in eleven passes and gone in the twelfth.
      {10, -1, 0, {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -2}},
      {10, 3, 8, {8, 8, 9, 3, 4, 5}},          // a loop continues from the loop step
      {3, -1, -2, {-1, -1, -1, 0, 1, 2, -2}},  // a negative start hides for that many ticks
  };
  for (const Case& c : cases) {
    auto animation = ticks(c.length, c.loopStep);
    ObjectStage2D stage;
    ASSERT_NE(stage.add("o", animation, 0, 0, 0, c.startStep), nullptr);
    EXPECT_EQ(shownFrames(stage, static_cast<int>(c.shown.size())), c.shown) << c.startStep;
  }
}

// Adding replaces (or, when it fails, removes) the object of that name, current or not.
TEST(Objects, StartStepIsCheckedAgainstTheLength) {
  struct Case {
    int32_t loopStep, startStep;
    bool created;
    int32_t step;
    bool animated = true;
  };
  for (const Case& c : {Case{-1, 10, false, 0}, Case{-1, 9, true, 9}, Case{3, 500, true, 3},
                        Case{-1, -4, true, -4}, Case{-1, 0, false, 0, false}}) {
    auto animation = ticks(10, c.loopStep);
    ObjectStage2D stage;
    stage.setCurrent(stage.add("o", animation, 0, 0, 0, 0));
    DisplayObject2D* object =
        stage.add("o", c.animated ? animation : nullptr, 0, 0, 0, c.startStep);
    ASSERT_EQ(object != nullptr, c.created) << c.startStep;
    EXPECT_EQ(stage.current(), nullptr);
    if (object) {
      EXPECT_EQ(object->step, c.step);
    }
    EXPECT_EQ(stage.size(), c.created ? 1u : 0u);
  }
}

TEST(Objects, NewAndHigherPrioritiesAreDrawnOnTop) {
  auto animation = ticks(2);
  ObjectStage2D stage;
  stage.add("a", animation, 0, 0, 5, 0);
  stage.add("b", animation, 0, 0, 5, 0);
  stage.add("high", animation, 0, 0, 9, 0);
  stage.add("low", animation, 0, 0, -1, 0);
  stage.add("c", animation, 0, 0, 5, 0);
  EXPECT_EQ(drawOrder(stage), (std::vector<std::string>{"low", "a", "b", "c", "high"}));
  // Replacing keeps one object, placed by its new priority as the newest.
  stage.add("a", animation, 0, 0, 5, 0);
  EXPECT_EQ(drawOrder(stage), (std::vector<std::string>{"low", "b", "c", "a", "high"}));
}

TEST(Objects, RemovingTheCurrentObjectLeavesNone) {
  auto animation = ticks(1);
  ObjectStage2D stage;
  stage.setCurrent(stage.add("o", animation, 0, 0, 0, 0));
  stage.remove("other");
  stage.tick();
  EXPECT_NE(stage.current(), nullptr);
  stage.tick();  // the end of the animation removes it
  EXPECT_EQ(stage.current(), nullptr);
  stage.setCurrent(stage.add("p", animation, 0, 0, 0, 0));
  stage.removeAll();
  EXPECT_EQ(stage.current(), nullptr);
  EXPECT_EQ(stage.size(), 0u);
}

TEST(Objects, NewAnimationIsCheckedOnlyAtTheNextTick) {
  auto animation = ticks(4, 1);
  ObjectStage2D stage;
  DisplayObject2D* object = stage.add("o", animation, 0, 0, 0, 0);
  object->show(animation, 50);
  EXPECT_EQ(object->frame, -1);
  stage.tick();
  EXPECT_EQ(object->frame, 1);
  object->show(nullptr, 0);
  stage.tick();
  EXPECT_EQ(stage.find("o"), nullptr);
}

TEST(ObjectTiming, AdvanceSkipsTicks) {
  auto once = ticks(10);
  auto looping = ticks(10, 2);
  ObjectStage2D stage;
  stage.add("once", once, 0, 0, 0, 0);
  stage.add("loop", looping, 0, 0, 0, 0);
  stage.add("hidden", once, 0, 0, 0, -5);
  stage.advance(1);  // one ordinary tick
  EXPECT_EQ(stage.find("once")->frame, 0);
  stage.advance(4);
  EXPECT_EQ(stage.find("once")->frame, 4);
  EXPECT_EQ(stage.find("hidden")->frame, -1);
  EXPECT_EQ(stage.find("hidden")->step, 0);
  stage.advance(20);
  EXPECT_EQ(stage.find("once"), nullptr);
  EXPECT_EQ(stage.find("loop")->frame, 2);
  EXPECT_EQ(stage.find("hidden"), nullptr);
}

TEST(Objects, ReleasedAnimationIsNeverTouched) {
  auto animation = ticks(5);
  ObjectStage2D stage;
  stage.add("o", animation, 0, 0, 0, 2);
  animation.reset();  // the sprite set let it go
  std::shared_ptr<const SpriteAnimation> lock;
  EXPECT_EQ(stage.find("o")->currentFrame(lock), nullptr);
  stage.tick();
  EXPECT_EQ(stage.find("o"), nullptr);
}

}  // namespace
}  // namespace avg
