#pragma once
#include <cstdint>
#include <string>

namespace avg::test {

// The little-endian bytes of a 16- or 32-bit field, as RIFF, cursor and picture files hold them.
inline std::string littleEndian16(uint16_t value) {
  return {static_cast<char>(value), static_cast<char>(value >> 8)};
}
inline std::string littleEndian32(uint32_t value) {
  return littleEndian16(static_cast<uint16_t>(value)) +
         littleEndian16(static_cast<uint16_t>(value >> 16));
}

}  // namespace avg::test
