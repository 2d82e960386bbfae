#include "base/surface.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace avg {

Rect Rect::intersect(const Rect& other) const {
  return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
          std::min(bottom, other.bottom)};
}

uint64_t UniqueId::next() {
  static std::atomic<uint64_t> counter{0};
  return ++counter;
}

bool Surface::create(int32_t width, int32_t height) {
  release();
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
  try {
    pixels_.assign(static_cast<size_t>(width) * height, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  width_ = width;
  height_ = height;
  clip_ = bounds();
  return true;
}

void Surface::release() {
  std::vector<uint32_t>().swap(pixels_);
  width_ = 0;
  height_ = 0;
  clip_ = {};
  colorKey_ = 0;
  alphaChannel_ = false;
  id_.renew();
}

bool Surface::setColorKeyFromPixel(int32_t x, int32_t y) {
  if (x < 0 || y < 0) {
    colorKey_ = 0;
    return false;
  }
  if (x >= width_ || y >= height_) return false;
  setColorKey(pixel(x, y));
  return true;
}

uint32_t Surface::pixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return row(y)[x];
}

void Surface::fill(uint32_t color) {
  std::fill(pixels_.begin(), pixels_.end(), color);
}

void Surface::fill(uint32_t color, const Rect& area) {
  const Rect clipped = area.intersect(bounds());
  if (clipped.empty()) return;
  for (int32_t y = clipped.top; y < clipped.bottom; ++y)
    std::fill(row(y) + clipped.left, row(y) + clipped.right, color);
}

void Surface::clearAlphaBytes() {
  for (uint32_t& pixel : pixels_)
    pixel &= 0xFFFFFF;
}

void copyPixels(const Surface& from, Surface& to, const Rect& area) {
  const Rect shared = area.intersect(from.bounds()).intersect(to.bounds());
  if (shared.empty()) return;
  for (int32_t y = shared.top; y < shared.bottom; ++y)
    std::copy_n(from.row(y) + shared.left, shared.width(), to.row(y) + shared.left);
}

}  // namespace avg
