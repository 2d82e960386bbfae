#include "support/pictures.h"

namespace avg::test {
namespace {

void appendWord(std::string& bytes, uint32_t word) {
  for (int shift = 0; shift < 32; shift += 8)
    bytes.push_back(static_cast<char>((word >> shift) & 0xFF));
}

}  // namespace

std::string cgdPicture(int32_t width, int32_t height,
                       const std::function<uint32_t(int32_t x, int32_t y)>& pixel) {
  std::string bytes;
  appendWord(bytes, 0);
  appendWord(bytes, 0);
  appendWord(bytes, static_cast<uint32_t>(width * height * 4));
  appendWord(bytes, static_cast<uint32_t>(width));
  appendWord(bytes, static_cast<uint32_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      appendWord(bytes, pixel(x, y));
  }
  return bytes;
}

std::string cgdPicture(int32_t width, int32_t height, uint32_t color) {
  return cgdPicture(width, height, [color](int32_t, int32_t) { return color; });
}

}  // namespace avg::test
