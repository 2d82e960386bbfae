#pragma once
#include <array>

namespace avg {

// A 4 × 4 single-precision matrix in row-vector convention: a point is the row (x, y, z, 1)
// multiplied on the left, the translation sits in the fourth row (m[3][0..2]), and A × B
// applies A first, then B.
struct Matrix4 {
  std::array<std::array<float, 4>, 4> m{};

  static Matrix4 identity();
  static Matrix4 scaling(float sx, float sy, float sz);
  static Matrix4 translation(float tx, float ty, float tz);
  // Roll about Z first, then pitch about X, then yaw about Y (angles in radians).
  static Matrix4 rotationYawPitchRoll(float yaw, float pitch, float roll);

  float translationX() const { return m[3][0]; }
  float translationY() const { return m[3][1]; }

  bool operator==(const Matrix4&) const = default;
};

Matrix4 operator*(const Matrix4& a, const Matrix4& b);

// Scaling(sx, sy, 1) × Rotation(yaw, pitch, roll) × Translation(x, y, 0): how objects and
// sprite parts are placed on the stage.
Matrix4 placementMatrix(float x, float y, float scaleX, float scaleY, float pitch, float yaw,
                        float roll);

// Where a drawable sits: its matrix and the position, scale and rotation (radians: pitch,
// yaw and roll) it is made from.
struct PiecePlacement {
  Matrix4 matrix = Matrix4::identity();
  float x = 0.0f;
  float y = 0.0f;
  float scaleX = 1.0f;
  float scaleY = 1.0f;
  float rotationX = 0.0f;
  float rotationY = 0.0f;
  float rotationZ = 0.0f;

  // matrix := Scaling × Rotation(yaw = y, pitch = x, roll = z) × Translation(x, y).
  void refresh();
};

}  // namespace avg
