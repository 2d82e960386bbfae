#include "input/pointer_mapping.h"

#include <cmath>
#include <limits>

#include "script/int_ops.h"

namespace avg {
namespace {

constexpr int32_t kStageHalfWidth = 512;
constexpr int32_t kStageHalfHeight = 384;

int32_t scaledTruncated(int32_t pixel, float zoom) {
  float scaled = std::trunc(static_cast<float>(pixel) * zoom);
  // 2^31 is the first float past the 32-bit range; NaN falls to 0.
  if (scaled >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  if (scaled < -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return scaled == scaled ? static_cast<int32_t>(scaled) : 0;
}

}  // namespace

StagePoint pointerToStage(int32_t clientX, int32_t clientY, float zoomX, float zoomY) {
  return {intops::sub(scaledTruncated(clientX, zoomX), kStageHalfWidth),
          intops::sub(scaledTruncated(clientY, zoomY), kStageHalfHeight)};
}

}  // namespace avg
