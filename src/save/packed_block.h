#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include "base/byte_order.h"

namespace avg {

// A packed block: a 12-byte header (total size, mode, unpacked size; 32-bit little-endian)
// and a payload. Mode bit 0: every payload byte is inverted; bit 1: the payload is LZSS.
namespace packed_block {
constexpr size_t kHeaderSize = 12;
constexpr uint32_t kModeInverted = 1;
constexpr uint32_t kModeCompressed = 2;
// Content shorter than this is always stored.
constexpr size_t kShortestCompressed = 17;
// Compression gives up when its output reaches the content size minus this.
constexpr size_t kRequiredSaving = 8;
}  // namespace packed_block

enum class PackRequest {
  Compress,          // mode 2
  CompressInverted,  // mode 3
  StoreInverted,     // mode 1
};

// Packs content. Content that is short or does not compress well enough is stored inverted
// (mode 1) whatever the request.
std::string packBlock(std::string_view content, PackRequest request);

// The content of a block, or nullopt when the block is invalid: total size below 12 or
// beyond the bytes given, a mode other than 1, 2 or 3, or a payload that does not yield the
// unpacked size. Bytes after the block's total size are ignored.
std::optional<std::string> unpackBlock(std::string_view block);

}  // namespace avg
