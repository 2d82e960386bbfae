#include "stage/matrix.h"

#include <cmath>

namespace avg {

Matrix4 Matrix4::identity() {
  return scaling(1.0f, 1.0f, 1.0f);
}

Matrix4 Matrix4::scaling(float sx, float sy, float sz) {
  Matrix4 out;
  out.m[0][0] = sx;
  out.m[1][1] = sy;
  out.m[2][2] = sz;
  out.m[3][3] = 1.0f;
  return out;
}

Matrix4 Matrix4::translation(float tx, float ty, float tz) {
  Matrix4 out = identity();
  out.m[3][0] = tx;
  out.m[3][1] = ty;
  out.m[3][2] = tz;
  return out;
}

// The product Rz(roll) × Rx(pitch) × Ry(yaw) written out.
Matrix4 Matrix4::rotationYawPitchRoll(float yaw, float pitch, float roll) {
  const float sr = std::sin(roll), cr = std::cos(roll);
  const float sp = std::sin(pitch), cp = std::cos(pitch);
  const float sy = std::sin(yaw), cy = std::cos(yaw);
  Matrix4 out;
  out.m[0] = {sr * sp * sy + cr * cy, sr * cp, sr * sp * cy - cr * sy, 0.0f};
  out.m[1] = {cr * sp * sy - sr * cy, cr * cp, cr * sp * cy + sr * sy, 0.0f};
  out.m[2] = {cp * sy, -sp, cp * cy, 0.0f};
  out.m[3] = {0.0f, 0.0f, 0.0f, 1.0f};
  return out;
}

Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
  Matrix4 out;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      out.m[row][column] = a.m[row][0] * b.m[0][column] + a.m[row][1] * b.m[1][column] +
                           a.m[row][2] * b.m[2][column] + a.m[row][3] * b.m[3][column];
    }
  }
  return out;
}

Matrix4 placementMatrix(float x, float y, float scaleX, float scaleY, float pitch, float yaw,
                        float roll) {
  return Matrix4::scaling(scaleX, scaleY, 1.0f) * Matrix4::rotationYawPitchRoll(yaw, pitch, roll) *
         Matrix4::translation(x, y, 0.0f);
}

void PiecePlacement::refresh() {
  matrix = placementMatrix(x, y, scaleX, scaleY, rotationX, rotationY, rotationZ);
}

}  // namespace avg
