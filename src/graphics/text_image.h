#pragma once
#include <cstdint>

#include "base/surface.h"
#include "platform/text_rasterizer.h"

namespace avg {

// A colour in the window system's order (0xAABBGGRR) as a pixel (0x00RRGGBB).
constexpr uint32_t colorRefToPixel(uint32_t colorRef) {
  return (colorRef & 0xFFu) << 16 | (colorRef & 0xFF00u) | (colorRef >> 16 & 0xFFu);
}

// The w × h text image of a raster: each pixel's alpha is the average of its 2 × 2 block
// of coverage, rounded down; its colour is `colorRef` in pixel order. The image has the
// alpha-channel flag. An empty extent gives an empty surface.
void makeTextImage(const TextRaster& raster, uint32_t colorRef, Surface& image);

}  // namespace avg
