// Drawing the stage: placement on the screen, draw order, image loading and release.
#include "stage/display_list.h"

#include <gtest/gtest.h>

#include <array>

#include "script/archive.h"
#include "support/fake_services.h"
#include "support/game_dir.h"
#include "support/pictures.h"

namespace avg {
namespace {

using test::cgdPicture;
using test::crlf;

constexpr uint32_t kRed = 0xFFC00000;
constexpr uint32_t kBlue = 0xFF0000C0;
// Opaque pixels of a picture with alpha channel come out one step darker per channel: the
// blend's factors of 255 still shift right by 8.
constexpr uint32_t kRedShown = 0xBF0000;
constexpr uint32_t kBlueShown = 0x0000BF;

class Drawing : public testing::Test {
 protected:
  void SetUp() override { target_.create(640, 480); }

  // Loads a definition file into the set "s".
  SpriteSet& load(const std::vector<std::string>& lines) {
    dir_.write("s.spr", crlf(lines));
    SpriteSet& set = stage_.sprites().named("s");
    set.load("s.spr", archives_);
    return set;
  }
  DisplayObject2D* add(const std::string& name, const std::string& animation, float x, float y,
                       int32_t priority = 0) {
    return stage_.objects().add(name, stage_.sprites().findAnimation("s", animation), x, y,
                                priority, 0);
  }
  uint32_t at(int32_t x, int32_t y) const { return target_.pixel(x, y) & 0xFFFFFF; }
  const ImageHandle& handle(const std::string& file) {
    return *stage_.sprites().named("s").images().at(file);
  }

  test::TempGameDir dir_;
  ArchiveSet archives_;
  test::FakeImageCodec codec_;
  DisplayList stage_{codec_};
  Surface target_;
};

// A 160 × 160 picture shown with the default pivot by an object at stage (x, y).
TEST_F(Drawing, PictureIsDrawnUnscaledFromItsCorner) {
  dir_.write("square.cgd", cgdPicture(160, 160, kRed));
  load({"#,a", "1,square.cgd,0,0,160,160"});
  const std::array<float, 4> cases[] = {
      {0, 0, 270, 190}, {512, 384, 590, 430}, {-515, 0, -51, 190}};
  for (const auto& [x, y, leftAt, topAt] : cases) {
    target_.fill(0);
    add("o", "a", x, y);
    stage_.draw(target_);
    // Checked inside the screen: the picture may reach past its edges.
    const auto left = static_cast<int32_t>(leftAt), top = static_cast<int32_t>(topAt);
    const int32_t right = left + 159, bottom = top + 159, inside = std::max(left, 0);
    EXPECT_EQ(at(inside, top), kRedShown) << x;
    EXPECT_EQ(at(std::min(right, 639), std::min(bottom, 479)), kRedShown) << x;
    EXPECT_EQ(at(inside, top - 1) | at(left - 1, top) | at(right + 1, top) | at(inside, bottom + 1),
              0u)
        << x;
  }
}

TEST_F(Drawing, QuarterRollMovesThePartNotItsPixels) {
  // A 10 × 20 picture, left half red and right half blue, placed 160 units right.
  dir_.write("half.cgd",
             cgdPicture(10, 20, [](int32_t x, int32_t) { return x < 5 ? kRed : kBlue; }));
  load({"#,a", "1,half.cgd,0,0,10,20,0,0,FFFFFFFF,0,160,0"});
  DisplayObject2D* object = add("o", "a", 0, 0);
  object->rotationZ = 90 * 0.017453292f;
  object->refresh();
  stage_.draw(target_);
  // The part's corner, (155, -10) from the object's origin, turns into (10, 155): screen
  // (326.25, 336.875). The picture keeps its orientation.
  EXPECT_EQ(at(326, 336), kRedShown);
  EXPECT_EQ(at(331, 336), kBlueShown);
  EXPECT_EQ(at(336, 336), 0u);
  EXPECT_EQ(at(326, 355), kRedShown);
  EXPECT_EQ(at(326, 356), 0u);
}

// Parts without a frame rectangle or of an unknown mode, objects before their start, and
// source rectangles whose sums pass the 32-bit range (the picture lands far off the screen;
// the first row once wrapped around and was blended outside the target) show nothing.
TEST_F(Drawing, NothingShowsOfHiddenOrUnplaceableParts) {
  dir_.write("red.cgd", cgdPicture(16, 16, kRed));
  dir_.write("img.cgd", cgdPicture(4, 4, kRed));
  load({"#,a", "1,red.cgd", "-,red.cgd,0,0,16,16,0,0,FFFFFFFF,2",
        "-,img.cgd,-2147483648,0,4,4,1073741824,0", "-,img.cgd,0,0,2147483647,2147483647",
        "-,img.cgd,2147483647,2147483647,-2147483648,-2147483648",
        "-,img.cgd,-2147483648,0,2147483647,4,0,0,FFFFFFFF,1", "#,later", "1,red.cgd"});
  add("o", "a", 0, 0);
  stage_.objects().add("hidden", stage_.sprites().findAnimation("s", "later"), 0, 0, 0, -3);
  stage_.draw(target_);
  for (int32_t y = 0; y < 480; ++y) {
    for (int32_t x = 0; x < 640; ++x)
      ASSERT_EQ(at(x, y), 0u) << x << "," << y;
  }
}

TEST_F(Drawing, MissingPictureIsSkippedAndNotTriedAgain) {
  load({"#,a", "1,late.cgd,0,0,16,16"});
  add("o", "a", 0, 0);
  stage_.draw(target_);
  EXPECT_EQ(handle("late.cgd").fileName, "");
  dir_.write("late.cgd", cgdPicture(16, 16, kRed));
  stage_.draw(target_);
  EXPECT_EQ(at(315, 235), 0u);
  EXPECT_FALSE(handle("late.cgd").image.loaded());
  // Loading a definition file anew tries it again.
  dir_.write("again.spr", crlf({"#,a", "1,late.cgd,0,0,16,16"}));
  stage_.sprites().named("s").load("again.spr", archives_);
  add("o", "a", 0, 0);
  stage_.draw(target_);
  EXPECT_EQ(at(315, 235), kRedShown);
}

TEST_F(Drawing, ImagesLiveFromActivationOrDrawingUntilPutToSleep) {
  dir_.write("drawn.cgd", cgdPicture(4, 4, kRed));
  dir_.write("other.cgd", cgdPicture(4, 4, kBlue));
  SpriteSet& set = load({"#,a", "1,drawn.cgd,0,0,4,4", "#,b", "1,other.cgd,0,0,4,4"});
  add("o", "a", 0, 0);
  stage_.draw(target_);
  EXPECT_TRUE(handle("drawn.cgd").image.loaded());
  EXPECT_FALSE(handle("other.cgd").image.loaded());
  set.sleep();  // neither active nor auto: nothing happens
  EXPECT_TRUE(handle("drawn.cgd").image.loaded());
  set.activate();
  EXPECT_TRUE(handle("other.cgd").image.loaded());
  EXPECT_EQ(handle("other.cgd").image.colorKey(), 0x00FF00u);
  EXPECT_TRUE(handle("other.cgd").image.hasAlphaChannel());
  set.sleep();
  EXPECT_FALSE(handle("drawn.cgd").image.loaded());
  EXPECT_EQ(handle("drawn.cgd").fileName, "drawn.cgd");
  stage_.draw(target_);
  EXPECT_TRUE(handle("drawn.cgd").image.loaded());
  set.setAuto(0);  // inactive: released
  EXPECT_FALSE(handle("drawn.cgd").image.loaded());
}

TEST_F(Drawing, ObjectsOfAClearedSetNeverTouchItsData) {
  dir_.write("red.cgd", cgdPicture(16, 16, kRed));
  load({"#,a", "1,red.cgd,0,0,16,16"});
  add("o", "a", 0, 0);
  stage_.draw(target_);
  stage_.sprites().named("s").clear();
  target_.fill(0);
  stage_.draw(target_);
  EXPECT_EQ(at(320, 240), 0u);
  load({"#,a", "1,red.cgd,0,0,16,16"});
  add("p", "a", 0, 0);
  stage_.sprites().removeAll();
  stage_.draw(target_);
  EXPECT_EQ(at(320, 240), 0u);
  stage_.beforeThreads();
  EXPECT_EQ(stage_.objects().size(), 0u);
}

// Records when it was asked for its steps, the window offset it was given and how many steps
// came before its own.
class RecordingOverlay : public StageOverlay {
 public:
  RecordingOverlay(std::string& trace, char mark) : trace_(trace), mark_(mark) {}
  void collect(DrawList& list, const StageView& view) override {
    trace_ += mark_;
    offsetX = view.windowOffsetX();
    stepsBefore = list.ops().size();
  }
  float offsetX = 0;
  size_t stepsBefore = 0;

 private:
  std::string& trace_;
  char mark_;
};

TEST_F(Drawing, EditBoxesThenWindowsAboveAllObjects) {
  dir_.write("red.cgd", cgdPicture(16, 16, kRed));
  load({"#,a", "1,red.cgd,0,0,16,16"});
  add("o", "a", 0, 0, kDefaultPriority);
  std::string trace;
  RecordingOverlay windows(trace, 'W');
  RecordingOverlay boxes(trace, 'E');
  stage_.setOverlay(Overlay::MessageWindows, &windows);
  stage_.setOverlay(Overlay::EditBoxes, &boxes);
  stage_.view().setCentre(0, 0);
  stage_.draw(target_);
  EXPECT_EQ(trace, "EW");
  EXPECT_EQ(boxes.stepsBefore, 1u);
  EXPECT_EQ(windows.offsetX, 640.0f);
}

}  // namespace
}  // namespace avg
