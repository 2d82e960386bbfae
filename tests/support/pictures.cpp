#include "support/pictures.h"

#include "support/bytes.h"

namespace avg::test {

std::string cgdPicture(int32_t width, int32_t height,
                       const std::function<uint32_t(int32_t x, int32_t y)>& pixel) {
  std::string bytes = littleEndian32(0) + littleEndian32(0) +
                      littleEndian32(static_cast<uint32_t>(width * height * 4)) +
                      littleEndian32(static_cast<uint32_t>(width)) +
                      littleEndian32(static_cast<uint32_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      bytes += littleEndian32(pixel(x, y));
  }
  return bytes;
}

std::string cgdPicture(int32_t width, int32_t height, uint32_t color) {
  return cgdPicture(width, height, [color](int32_t, int32_t) { return color; });
}

}  // namespace avg::test
