#pragma once
#include <cstdint>

#include "stage/matrix.h"

namespace avg {

// A point in screen pixels or stage units, truncated toward zero.
struct IntPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const IntPoint&) const = default;
};

// Maps the 1024 × 768 stage (origin at the centre, y downwards) to 640 × 480 screen pixels.
// The view matrix follows the centre and zoom only when refreshed, so that scripts can set
// the centre first and move everything at once.
class StageView {
 public:
  StageView() { refresh(); }

  float centreX() const { return centreX_; }
  float centreY() const { return centreY_; }
  void setCentre(float x, float y) {
    centreX_ = x;
    centreY_ = y;
  }
  float zoomX() const { return zoomX_; }
  float zoomY() const { return zoomY_; }
  void setZoom(float x, float y) {
    zoomX_ = x;
    zoomY_ = y;
  }

  // Recomputes the view matrix: Scaling(1/zoom x, 1/zoom y, 1) × Translation(centre).
  void refresh();
  const Matrix4& viewMatrix() const { return view_; }

  // The pointer in stage units from its client-area position; independent of the centre.
  IntPoint pointerToStage(int32_t clientX, int32_t clientY) const;
  // Where message windows are offset: (320, 240) while the view matrix is up to date, moved
  // by the difference between the stored centre and the one the matrix was computed from.
  float windowOffsetX() const;
  float windowOffsetY() const;

 private:
  float centreX_ = 320.0f;
  float centreY_ = 240.0f;
  float zoomX_ = 1.6f;
  float zoomY_ = 1.6f;
  Matrix4 view_;
};

// Truncation toward zero; INT32_MIN for values outside the 32-bit range and NaN.
int32_t truncateToInt(float value);

// The screen pixel of a piece placed by `placement`: its translation truncated toward zero.
IntPoint screenPosition(const Matrix4& placement);

}  // namespace avg
