#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "support/bytes.h"

namespace avg::test {

// One bitmap image of a cursor file. Pixels are listed top row first: colours as palette
// indexes up to 8 bits per pixel, else 0x00RRGGBB (24) or 0xAARRGGBB (32); AND mask bits 0 or
// 1, an empty mask meaning all 0. The file keeps the rows bottom-up, padded to 4 bytes.
struct CursorBitmap {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitsPerPixel = 32;
  std::vector<uint32_t> palette = {};
  std::vector<uint32_t> colours = {};
  std::vector<uint32_t> mask = {};
};
std::string cursorBitmap(const CursorBitmap& bitmap);

// One directory entry and its image; a side of 0 stands for 256.
struct CursorEntry {
  uint8_t width = 0;
  uint8_t height = 0;
  uint16_t hotX = 0;
  uint16_t hotY = 0;
  std::string image = {};
};
// An icon container of `type` (2 cursor, 1 icon): directory, then the images in order.
std::string iconContainer(const std::vector<CursorEntry>& entries, uint16_t type = 2);

// A cursor file with the one bitmap.
std::string cursorFile(const CursorBitmap& bitmap, uint16_t hotX, uint16_t hotY);

}  // namespace avg::test
