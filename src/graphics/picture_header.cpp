#include "graphics/picture_header.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "base/byte_order.h"

namespace avg {
namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool startsWith(std::span<const uint8_t> bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() &&
         std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

bool extensionIs(std::string_view extension, std::string_view wanted) {
  return std::ranges::equal(extension, wanted, [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

uint32_t be32(std::span<const uint8_t> bytes, size_t at) {
  return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
         bytes[at + 3];
}

uint16_t be16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

uint16_t le16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

// Sizes beyond the 32-bit range saturate; they are refused either way.
Size sizeOf(int64_t width, int64_t height) {
  auto narrow = [](int64_t v) { return static_cast<int32_t>(std::min<int64_t>(v, INT32_MAX)); };
  return {narrow(width), narrow(height)};
}

std::optional<Size> pngSize(std::span<const uint8_t> bytes) {
  if (bytes.size() < 24) return std::nullopt;
  return sizeOf(be32(bytes, 16), be32(bytes, 20));
}

// The core header (12 bytes) holds 16-bit sizes, the later ones 32-bit signed sizes; a
// negative height means rows top to bottom.
std::optional<Size> bmpSize(std::span<const uint8_t> bytes) {
  if (bytes.size() < 26) return std::nullopt;
  if (readLE32(bytes.data() + 14) == 12) return sizeOf(le16(bytes, 18), le16(bytes, 20));
  const auto width = static_cast<int32_t>(readLE32(bytes.data() + 18));
  const auto height = static_cast<int32_t>(readLE32(bytes.data() + 22));
  return sizeOf(std::abs(int64_t{width}), std::abs(int64_t{height}));
}

bool isStartOfFrame(uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Walks the marker segments up to the first start-of-frame.
std::optional<Size> jpegSize(std::span<const uint8_t> bytes) {
  size_t at = 2;
  while (at + 4 <= bytes.size()) {
    if (bytes[at] != 0xFF) return std::nullopt;
    const uint8_t marker = bytes[at + 1];
    if (marker == 0xFF) {
      ++at;  // fill byte
    } else if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
      at += 2;  // markers without a length
    } else if (isStartOfFrame(marker)) {
      if (at + 9 > bytes.size()) return std::nullopt;
      return sizeOf(be16(bytes, at + 7), be16(bytes, at + 5));
    } else if (marker == 0xD9 || marker == 0xDA) {
      return std::nullopt;  // image data before any frame header
    } else {
      at += 2 + size_t{be16(bytes, at + 2)};
    }
  }
  return std::nullopt;
}

std::optional<Size> littleEndian16At(std::span<const uint8_t> bytes, size_t at) {
  if (bytes.size() < at + 4) return std::nullopt;
  return sizeOf(le16(bytes, at), le16(bytes, at + 2));
}

std::optional<Size> cgdSize(std::span<const uint8_t> bytes) {
  if (bytes.size() < 20) return std::nullopt;
  return sizeOf(readLE32(bytes.data() + 12), readLE32(bytes.data() + 16));
}

}  // namespace

std::optional<Size> declaredPictureSize(std::span<const uint8_t> bytes,
                                        std::string_view extension) {
  if (extensionIs(extension, "cgd")) return cgdSize(bytes);
  if (startsWith(bytes, {reinterpret_cast<const char*>(kPngSignature), sizeof kPngSignature}))
    return pngSize(bytes);
  if (startsWith(bytes, "BM")) return bmpSize(bytes);
  if (startsWith(bytes, "\xFF\xD8\xFF")) return jpegSize(bytes);
  if (startsWith(bytes, "GIF8")) return littleEndian16At(bytes, 6);
  if (extensionIs(extension, "tga")) return littleEndian16At(bytes, 12);
  return std::nullopt;
}

bool pictureSizeAllowed(int64_t width, int64_t height) {
  return width <= Surface::kMaxSide && height <= Surface::kMaxSide &&
         static_cast<uint64_t>(std::max<int64_t>(width, 0)) *
                 static_cast<uint64_t>(std::max<int64_t>(height, 0)) * 4 <=
             kMaxPictureBytes;
}

}  // namespace avg
