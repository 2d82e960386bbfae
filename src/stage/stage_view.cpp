#include "stage/stage_view.h"

#include "script/int_ops.h"

namespace avg {
namespace {

constexpr float kScreenCentreX = 320.0f;
constexpr float kScreenCentreY = 240.0f;
constexpr int32_t kStageHalfWidth = 512;
constexpr int32_t kStageHalfHeight = 384;

}  // namespace

int32_t truncateToInt(float value) {
  // Out-of-range values and NaN give the integer indefinite value, as the processor's
  // truncating conversion does, instead of undefined behaviour.
  if (!(value >= -2147483648.0f && value < 2147483648.0f)) return INT32_MIN;
  return static_cast<int32_t>(value);
}

void StageView::refresh() {
  view_ = Matrix4::scaling(1.0f / zoomX_, 1.0f / zoomY_, 1.0f) *
          Matrix4::translation(centreX_, centreY_, 0.0f);
}

IntPoint StageView::pointerToStage(int32_t clientX, int32_t clientY) const {
  return {intops::sub(truncateToInt(static_cast<float>(clientX) * zoomX_), kStageHalfWidth),
          intops::sub(truncateToInt(static_cast<float>(clientY) * zoomY_), kStageHalfHeight)};
}

float StageView::windowOffsetX() const {
  return view_.translationX() - centreX_ + kScreenCentreX;
}

float StageView::windowOffsetY() const {
  return view_.translationY() - centreY_ + kScreenCentreY;
}

IntPoint screenPosition(const Matrix4& placement) {
  return {truncateToInt(placement.translationX()), truncateToInt(placement.translationY())};
}

}  // namespace avg
