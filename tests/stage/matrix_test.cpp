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

TEST(Matrix, ProductOrderRollDirectionAndPlacement) {
  EXPECT_EQ(landing(Matrix4::scaling(2, 2, 1) * Matrix4::translation(10, 0, 0), 5, 0),
            (IntPoint{20, 0}));
  EXPECT_EQ(landing(Matrix4::translation(10, 0, 0) * Matrix4::scaling(2, 2, 1), 5, 0),
            (IntPoint{30, 0}));
  // y grows downwards, so a quarter roll takes a point on the right to below the origin:
  // (10, 0) scaled to (20, 0), rolled to (0, 20), moved to (50, 80).
  EXPECT_EQ(landing(placementMatrix(50, 60, 2, 3, 0, 0, kQuarterTurn), 10, 0), (IntPoint{50, 80}));
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

TEST(StageView, CentreMovesNothingUntilRefreshed) {
  StageView view;
  view.setCentre(0, 0);
  EXPECT_EQ(landing(view.viewMatrix(), 0, 0), (IntPoint{320, 240}));
  EXPECT_EQ(view.windowOffsetX(), 640.0f);
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
  const std::pair<float, int32_t> cases[] = {
      {-0.9f, 0},        {-1.5f, -1},        {2.9f, 2},
      {3e9f, INT32_MIN}, {-3e9f, INT32_MIN}, {std::numeric_limits<float>::quiet_NaN(), INT32_MIN}};
  for (const auto& [value, expected] : cases)
    EXPECT_EQ(truncateToInt(value), expected) << value;
}

}  // namespace
}  // namespace avg
