#pragma once
#include <cstdint>

namespace avg {

// The stage's zoom: 1024 × 768 stage units over the 640 × 480 client area.
constexpr float kStageZoom = 1.6f;

struct StagePoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const StagePoint&) const = default;
};

// A client-area pixel in stage units, 0 at the centre: trunc(x × zoom x) − 512 and
// trunc(y × zoom y) − 384 in single precision, saturating at the 32-bit range.
StagePoint pointerToStage(int32_t clientX, int32_t clientY, float zoomX = kStageZoom,
                          float zoomY = kStageZoom);

}  // namespace avg
