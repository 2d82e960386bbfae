#pragma once
#include <cstdint>
#include <string>

namespace avg {

// Little-endian integers as game files store them, read from unaligned bytes.
inline uint16_t readLE16(const void* bytes) {
  const auto* b = static_cast<const uint8_t*>(bytes);
  return static_cast<uint16_t>(b[0] | b[1] << 8);
}

inline uint32_t readLE32(const void* bytes) {
  const auto* b = static_cast<const uint8_t*>(bytes);
  return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}

inline void appendLE32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out += static_cast<char>(value >> shift & 0xFF);
}

}  // namespace avg
