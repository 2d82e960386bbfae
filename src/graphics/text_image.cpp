#include "graphics/text_image.h"

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

}  // namespace avg
