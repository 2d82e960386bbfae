#include "stage/commands/placement.h"

namespace avg {
namespace {

constexpr float kRadiansPerDegree = 0.017453292f;

float angleAt(const Exec& x, size_t k, AngleUnit unit) {
  const float angle = x.floatValue(k);
  return unit == AngleUnit::Degrees ? angle * kRadiansPerDegree : angle;
}

}  // namespace

bool placementCommand(const Exec& x, PiecePlacement& placement, AngleUnit unit) {
  switch (x.keyword(2)) {
    case fourCC("POS_"):
      placement.x = x.floatValue(3);
      placement.y = x.floatValue(4);
      return true;
    case fourCC("SCA_"):
      placement.scaleX = x.floatValue(3);
      placement.scaleY = x.floatValue(4);
      return true;
    case fourCC("ROT_"):
      placement.rotationX = angleAt(x, 3, unit);
      placement.rotationY = angleAt(x, 4, unit);
      placement.rotationZ = angleAt(x, 5, unit);
      return true;
    case fourCC("REF_"):
      placement.refresh();
      return true;
    default:
      return false;
  }
}

}  // namespace avg
