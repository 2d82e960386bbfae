// Matrices, the stage view and where pieces land on the screen.
#include "stage/matrix.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

#include "stage/stage_view.h"

namespace avg {
namespace {

constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;

IntPoint landing(const Matrix4& placement, float x, float y) {
  return screenPosition(Matrix4::translation(x, y, 0.0f) * placement);
}

TEST(Matrix, ProductAppliesTheLeftOperandFirst) {
  Matrix4 scaleThenMove = Matrix4::scaling(2, 2, 1) * Matrix4::translation(10, 0, 0);
  Matrix4 moveThenScale = Matrix4::translation(10, 0, 0) * Matrix4::scaling(2, 2, 1);
  EXPECT_EQ(landing(scaleThenMove, 5, 0), (IntPoint{20, 0}));
  EXPECT_EQ(landing(moveThenScale, 5, 0), (IntPoint{30, 0}));
}

TEST(Matrix, RollTurnsRightIntoDownOnTheStage) {
  // y grows downwards, so a quarter roll takes a point on the right to below the origin.
  EXPECT_EQ(landing(Matrix4::rotationYawPitchRoll(0, 0, kQuarterTurn), 100, 0), (IntPoint{0, 100}));
}

TEST(Matrix, RotationRollsFirstThenPitchesThenYaws) {
  // (1, 0, 0): roll → (0, 1, 0), pitch → (0, 0, 1), yaw → (1, 0, 0). Yaw first would end at
  // (-1, 0, 0).
  Matrix4 point = Matrix4::translation(1000, 0, 0) *
                  Matrix4::rotationYawPitchRoll(kQuarterTurn, kQuarterTurn, kQuarterTurn);
  EXPECT_NEAR(point.m[3][0], 1000.0f, 1e-3f);
  EXPECT_NEAR(point.m[3][1], 0.0f, 1e-3f);
  EXPECT_NEAR(point.m[3][2], 0.0f, 1e-3f);
}

TEST(Matrix, PlacementScalesRotatesThenMoves) {
  Matrix4 placement = placementMatrix(50, 60, 2, 3, 0, 0, kQuarterTurn);
  // (10, 0) scaled to (20, 0), rolled to (0, 20), moved to (50, 80).
  EXPECT_EQ(landing(placement, 10, 0), (IntPoint{50, 80}));
}

TEST(StageView, StartsCentredWithZoomOnePointSix) {
  StageView view;
  EXPECT_EQ(view.centreX(), 320.0f);
  EXPECT_EQ(view.centreY(), 240.0f);
  EXPECT_EQ(view.zoomX(), 1.6f);
  EXPECT_EQ(landing(view.viewMatrix(), 0, 0), (IntPoint{320, 240}));
}

struct CornerCase {
  float objectX, objectY;
  IntPoint corner;
};

class ImageCorner : public testing::TestWithParam<CornerCase> {};

// A 160 × 160 part with the default pivot: the offset (-80, -80) is zoomed like any position.
TEST_P(ImageCorner, PivotOffsetIsScaledByTheView) {
  StageView view;
  Matrix4 part = Matrix4::translation(-80, -80, 0);
  Matrix4 object = Matrix4::translation(GetParam().objectX, GetParam().objectY, 0);
  EXPECT_EQ(screenPosition(part * object * view.viewMatrix()), GetParam().corner);
}

INSTANTIATE_TEST_SUITE_P(Stage, ImageCorner,
                         testing::Values(CornerCase{0, 0, {270, 190}},
                                         CornerCase{512, 384, {590, 430}},
                                         CornerCase{-512, -384, {-50, -50}},
                                         CornerCase{-515, 0, {-51, 190}}));

TEST(StageView, CentreMovesNothingUntilRefreshed) {
  StageView view;
  view.setCentre(0, 0);
  EXPECT_EQ(landing(view.viewMatrix(), 0, 0), (IntPoint{320, 240}));
  EXPECT_EQ(view.windowOffsetX(), 640.0f);
  EXPECT_EQ(view.windowOffsetY(), 480.0f);
  view.refresh();
  EXPECT_EQ(landing(view.viewMatrix(), 0, 0), (IntPoint{0, 0}));
  EXPECT_EQ(view.windowOffsetX(), 320.0f);
  EXPECT_EQ(view.windowOffsetY(), 240.0f);
}

TEST(StageView, PointerMapsTheClientAreaOntoTheStageWhateverTheCentre) {
  StageView view;
  view.setCentre(10, 10);
  view.refresh();
  EXPECT_EQ(view.pointerToStage(0, 0), (IntPoint{-512, -384}));
  EXPECT_EQ(view.pointerToStage(320, 240), (IntPoint{0, 0}));
  EXPECT_EQ(view.pointerToStage(639, 479), (IntPoint{510, 382}));  // 1022.4 and 766.4
}

TEST(StageView, TruncationIsTowardZeroAndSafeOutOfRange) {
  EXPECT_EQ(truncateToInt(-0.9f), 0);
  EXPECT_EQ(truncateToInt(-1.5f), -1);
  EXPECT_EQ(truncateToInt(2.9f), 2);
  EXPECT_EQ(truncateToInt(3e9f), INT32_MIN);
  EXPECT_EQ(truncateToInt(-3e9f), INT32_MIN);
  EXPECT_EQ(truncateToInt(std::numeric_limits<float>::quiet_NaN()), INT32_MIN);
}

}  // namespace
}  // namespace avg
