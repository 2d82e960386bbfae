#include "input/pointer_mapping.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace avg {
namespace {

constexpr int32_t kStageHalfWidth = 512;
constexpr int32_t kStageHalfHeight = 384;

// trunc(pixel × zoom) − half, saturating at the 32-bit range; NaN gives −half.
int32_t toStage(int32_t pixel, float zoom, int32_t half) {
  constexpr float kLimit = 4294967296.0f;  // far outside the result range, inside int64_t
  float scaled = std::trunc(static_cast<float>(pixel) * zoom);
  if (!(scaled == scaled)) scaled = 0.0f;
  int64_t value = static_cast<int64_t>(std::clamp(scaled, -kLimit, kLimit)) - half;
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

StagePoint pointerToStage(int32_t clientX, int32_t clientY, float zoomX, float zoomY) {
  return {toStage(clientX, zoomX, kStageHalfWidth), toStage(clientY, zoomY, kStageHalfHeight)};
}

}  // namespace avg
