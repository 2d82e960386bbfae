#pragma once
#include <cstdint>
#include <string_view>

namespace avg {

// Literal conversions shared by the loader and the CAST command.

// Leading blanks, an optional sign, decimal digits up to the first other byte; 0 without
// digits. Values beyond 32 bits wrap around.
int32_t parseDecimalInt(std::string_view text);

// Exactly eight hexadecimal digits, most significant first; 0 when the text is shorter.
int32_t parseHexInt(std::string_view text);

// Leading blanks, then sign, digits, decimal point and exponent up to the first other byte,
// rounded to single precision; 0 when there is no number.
float parseDecimalFloat(std::string_view text);

// At most ten significant digits: fixed notation for decimal exponents -1 to 9, otherwise
// a mantissa with "e", a sign and three exponent digits. Trailing fraction zeros are
// dropped, the decimal point stays ("1.", "0.5", "5.e-002").
std::string formatFloat(float value);

}  // namespace avg
