#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace avg {

// LZSS stream with a 4096-byte ring filled with zeros, first write position 4078 and
// matches of 3 to 18 bytes. Each group is a flag byte, read from its lowest bit, and up to
// eight items: a set bit is one literal byte, a clear bit a reference b0 b1 to ring position
// b0 | (b1 & 0xF0) << 4 with length (b1 & 0x0F) + 3.
namespace lzss {
constexpr size_t kRingSize = 4096;
constexpr size_t kMaxMatch = 18;
constexpr size_t kMinMatch = 3;
constexpr size_t kStartPosition = kRingSize - kMaxMatch;
// The most output one stream byte can produce (a group of 17 bytes yields at most 144).
constexpr size_t kMaxExpansion = 9;
}  // namespace lzss

// Compresses `input`; nullopt as soon as the output would reach `limit` bytes.
std::optional<std::string> lzssCompress(std::string_view input, size_t limit);

// Decodes exactly `size` bytes from `stream`, each stream byte XORed with `mask` first (0xFF
// undoes an inversion). Fails when the stream ends before `size` bytes are produced.
std::optional<std::string> lzssDecompress(std::string_view stream, size_t size, uint8_t mask = 0);

}  // namespace avg
