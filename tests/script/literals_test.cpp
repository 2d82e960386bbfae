#include "script/literals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace avg {
namespace {

TEST(Literals, DecimalIntegers) {
  const std::pair<const char*, int32_t> cases[] = {
      {"42", 42},
      {"-17", -17},
      {"  12", 12},
      {"12abc", 12},
      {"", 0},
      {"-", 0},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"4294967297", 1},  // wraps around beyond 32 bits
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(parseDecimalInt(text), expected) << text;
}

TEST(Literals, HexIntegers) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"0000001F", 31},
      {"ff00ff00", 0xFF00FF00u},
      {"0000001", 0},
      {"123456789", 0x12345678u},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(static_cast<uint32_t>(parseHexInt(text)), expected) << text;
  }
}

TEST(Literals, DecimalFloats) {
  const std::pair<const char*, float> cases[] = {
      {"-0.25", -0.25f}, {".5", 0.5f},  {"2.5e-1x", 0.25f}, {"1e", 1.0f},  {"", 0.0f},
      {" 7.0", 7.0f},    {"0.1", 0.1f}, {"nan", 0.0f},      {"inf", 0.0f}, {"0x10", 0.0f},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(parseDecimalFloat(text), expected) << text;
  }
}

TEST(Literals, FloatFormatting) {
  const std::pair<float, const char*> cases[] = {
      {1.0f, "1."},
      {1e10f, "1.e+010"},
      {0.0625f, "6.25e-002"},
      {-2.5f, "-2.5"},
      {0.0f, "0."},
      {1e9f, "1000000000."},
      {1.0f / 3.0f, "0.3333333433"},
      {0.05f, "5.000000075e-002"},
      {3e38f, "3.000000005e+038"},
  };
  for (const auto& [value, expected] : cases)
    EXPECT_EQ(formatFloat(value), expected) << value;
}

}  // namespace
}  // namespace avg
