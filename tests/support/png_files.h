#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/surface.h"

namespace avg::test {

// A PNG file of 8-bit RGBA pixels (given as 0xAARRGGBB, top row first), unfiltered and
// stored without compression: valid for any decoder, and simple enough to read back here.
std::string pngImage(int32_t width, int32_t height, const std::vector<uint32_t>& pixels);

// A PNG whose header declares width × height RGBA pixels but whose data holds one pixel.
std::string pngDeclaring(uint32_t width, uint32_t height);

// Reads what pngImage writes (and nothing else) into `out`; false, with `out` untouched, for
// any other or damaged file.
bool readPngImage(std::span<const uint8_t> bytes, Surface& out);

}  // namespace avg::test
