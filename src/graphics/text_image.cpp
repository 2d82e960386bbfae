#include "graphics/text_image.h"

#include "base/text_encoding.h"

namespace avg {

void makeTextImage(const TextRaster& raster, uint32_t colorRef, Surface& image) {
  const Size size = raster.extent;
  const size_t workWidth = static_cast<size_t>(size.width) * 2;
  if (raster.coverage.size() != workWidth * size.height * 2 ||
      !image.create(size.width, size.height)) {
    image.release();
    return;
  }
  const uint32_t color = colorRefToPixel(colorRef);
  for (int32_t y = 0; y < size.height; ++y) {
    const uint8_t* top = raster.coverage.data() + workWidth * 2 * y;
    const uint8_t* bottom = top + workWidth;
    uint32_t* out = image.row(y);
    for (int32_t x = 0; x < size.width; ++x) {
      const uint32_t sum = top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1];
      out[x] = (sum / 4) << 24 | color;
    }
  }
  image.setAlphaChannel(true);
}

std::u32string utf8ToCodepoints(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
      code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out.push_back(code);
    i += length;
  }
  return out;
}

std::u32string cp932ToCodepoints(std::string_view cp932) {
  return utf8ToCodepoints(cp932ToUtf8(cp932));
}

}  // namespace avg
