#pragma once
#include <cstdint>

namespace avg::intops {

// Integer operators of the script language: 32-bit two's complement with wrap-around.
// Division and remainder never trap: by zero they give 0, and INT_MIN / -1 gives INT_MIN
// with remainder 0.

inline int32_t add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t sub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t mul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
inline int32_t div(int32_t a, int32_t b) {
  if (b == 0) return 0;
  if (b == -1) return sub(0, a);
  return a / b;
}
inline int32_t mod(int32_t a, int32_t b) {
  if (b == 0 || b == -1) return 0;
  return a % b;
}

}  // namespace avg::intops

// The comparisons among them, which may be fused with a conditional skip that tests their
// result: X(op, result of a and b).
#define AVG_INT_COMPARISONS(X) \
  X(Equal, a == b)             \
  X(NotEqual, a != b)          \
  X(Less, a < b)               \
  X(Greater, a > b)            \
  X(LessEqual, a <= b)         \
  X(GreaterEqual, a >= b)

// The two-operand integer operators of CALN: X(op, keyword, result of a and b). Unary
// operators ignore b. The dispatcher runs them inline; the CALN handler uses the same list.
#define AVG_INT_OPERATORS(X)               \
  X(Assign, "=___", a)                     \
  X(Add, "+___", ::avg::intops::add(a, b)) \
  X(Sub, "-___", ::avg::intops::sub(a, b)) \
  X(Mul, "*___", ::avg::intops::mul(a, b)) \
  X(Div, "/___", ::avg::intops::div(a, b)) \
  X(Mod, "%___", ::avg::intops::mod(a, b)) \
  X(BitAnd, "&___", a& b)                  \
  X(BitOr, "|___", a | b)                  \
  X(BitXor, "^___", a ^ b)                 \
  X(BitNot, "\x7F___", ~a)                 \
  X(LogicalNot, "!___", a == 0)            \
  X(Equal, "==__", a == b)                 \
  X(NotEqual, "!=__", a != b)              \
  X(Less, "<___", a < b)                   \
  X(Greater, ">___", a > b)                \
  X(LessEqual, "<=__", a <= b)             \
  X(GreaterEqual, ">=__", a >= b)          \
  X(LogicalAnd, "&&__", a != 0 && b != 0)  \
  X(LogicalOr, "||__", a != 0 || b != 0)
