#include "script/literals.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace avg {
namespace {

bool isBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

size_t skipBlanks(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && isBlank(text[pos]))
    ++pos;
  return pos;
}

size_t skipDigits(std::string_view text, size_t pos) {
  while (pos < text.size() && isDigit(text[pos]))
    ++pos;
  return pos;
}

// Removes trailing zeros of the fraction in [begin, end), keeping the decimal point.
void trimFractionZeros(std::string& text, size_t end) {
  size_t point = text.find('.');
  if (point == std::string::npos || point >= end) return;
  size_t last = end;
  while (last > point + 1 && text[last - 1] == '0')
    --last;
  text.erase(last, end - last);
}

}  // namespace

int32_t parseDecimalInt(std::string_view text) {
  size_t pos = skipBlanks(text);
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  uint32_t value = 0;
  for (; pos < text.size() && isDigit(text[pos]); ++pos) {
    value = value * 10u + static_cast<uint32_t>(text[pos] - '0');
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}

int32_t parseHexInt(std::string_view text) {
  if (text.size() < 8) return 0;
  uint32_t value = 0;
  for (size_t i = 0; i < 8; ++i) {
    auto byte = static_cast<unsigned char>(text[i]);
    uint32_t digit = byte < ':' ? (byte & 0x0Fu) : (byte & 0x07u) + 9u;
    value = value << 4 | (digit & 0x0Fu);
  }
  return static_cast<int32_t>(value);
}

float parseDecimalFloat(std::string_view text) {
  size_t start = skipBlanks(text);
  size_t pos = start;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  size_t digitsStart = pos;
  pos = skipDigits(text, pos);
  size_t digitCount = pos - digitsStart;
  if (pos < text.size() && text[pos] == '.') {
    size_t afterPoint = skipDigits(text, pos + 1);
    digitCount += afterPoint - pos - 1;
    pos = afterPoint;
  }
  if (digitCount == 0) return 0.0f;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    size_t exponent = pos + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    size_t exponentEnd = skipDigits(text, exponent);
    if (exponentEnd > exponent) pos = exponentEnd;
  }
  std::string number(text.substr(start, pos - start));
  return static_cast<float>(std::strtod(number.c_str(), nullptr));
}

std::string formatFloat(float value) {
  double v = value;
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
  constexpr int kDigits = 10;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", kDigits - 1, v);
  std::string scientific = buffer;
  size_t e = scientific.find('e');
  int exponent = std::atoi(scientific.c_str() + e + 1);
  if (exponent < -1 || exponent > kDigits - 1) {
    std::string result = scientific.substr(0, e);
    trimFractionZeros(result, result.size());
    std::snprintf(buffer, sizeof buffer, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return result + buffer;
  }
  std::snprintf(buffer, sizeof buffer, "%#.*f", kDigits - 1 - exponent, v);
  std::string result = buffer;
  trimFractionZeros(result, result.size());
  return result;
}

}  // namespace avg
