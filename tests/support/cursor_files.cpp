#include "support/cursor_files.h"

namespace avg::test {
namespace {

// Row y of `values` (width × height, top row first) packed at `bits` per pixel, padded to 4
// bytes; values of 8 bits and more are written little-endian.
std::string packedRow(const std::vector<uint32_t>& values, int32_t width, int32_t bits, int32_t y) {
  std::string row(static_cast<size_t>((width * bits + 31) / 32 * 4), '\0');
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t value = values.empty() ? 0 : values[static_cast<size_t>(y * width + x)];
    const int32_t bit = x * bits;
    if (bits < 8) {
      row[bit / 8] = static_cast<char>(row[bit / 8] | value << (8 - bits - bit % 8));
    } else {
      for (int32_t byte = 0; byte < bits / 8; ++byte)
        row[bit / 8 + byte] = static_cast<char>(value >> byte * 8);
    }
  }
  return row;
}

}  // namespace

std::string cursorBitmap(const CursorBitmap& bitmap) {
  std::string image =
      littleEndian32(40) + littleEndian32(bitmap.width) + littleEndian32(bitmap.height * 2) +
      littleEndian16(1) + littleEndian16(static_cast<uint16_t>(bitmap.bitsPerPixel)) +
      std::string(16, '\0') + littleEndian32(bitmap.palette.size()) + littleEndian32(0);
  for (uint32_t entry : bitmap.palette)
    image += littleEndian32(entry);
  for (int32_t y = bitmap.height - 1; y >= 0; --y)
    image += packedRow(bitmap.colours, bitmap.width, bitmap.bitsPerPixel, y);
  for (int32_t y = bitmap.height - 1; y >= 0; --y)
    image += packedRow(bitmap.mask, bitmap.width, 1, y);
  return image;
}

std::string iconContainer(const std::vector<CursorEntry>& entries, uint16_t type) {
  std::string file = littleEndian16(0) + littleEndian16(type) +
                     littleEndian16(static_cast<uint16_t>(entries.size()));
  size_t offset = 6 + 16 * entries.size();
  for (const CursorEntry& entry : entries) {
    file += {static_cast<char>(entry.width), static_cast<char>(entry.height), 0, 0};
    file += littleEndian16(entry.hotX) + littleEndian16(entry.hotY) +
            littleEndian32(entry.image.size()) + littleEndian32(offset);
    offset += entry.image.size();
  }
  for (const CursorEntry& entry : entries)
    file += entry.image;
  return file;
}

std::string cursorFile(const CursorBitmap& bitmap, uint16_t hotX, uint16_t hotY) {
  return iconContainer({{static_cast<uint8_t>(bitmap.width), static_cast<uint8_t>(bitmap.height),
                         hotX, hotY, cursorBitmap(bitmap)}});
}

}  // namespace avg::test
