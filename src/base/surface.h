#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace avg {

// A rectangle of pixels, right and bottom exclusive.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  // Extents saturate to the 32-bit range instead of overflowing; negative when inverted.
  int32_t width() const { return saturatedDifference(right, left); }
  int32_t height() const { return saturatedDifference(bottom, top); }
  bool empty() const { return right <= left || bottom <= top; }
  bool contains(int32_t x, int32_t y) const {
    return x >= left && x < right && y >= top && y < bottom;
  }
  Rect intersect(const Rect& other) const;
  bool operator==(const Rect&) const = default;

 private:
  static int32_t saturatedDifference(int32_t a, int32_t b) {
    const int64_t difference = int64_t{a} - b;
    return static_cast<int32_t>(std::clamp<int64_t>(difference, INT32_MIN, INT32_MAX));
  }
};

struct Size {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const Size&) const = default;
};

// A number no other object of the program holds at the same time: a copy takes a new one,
// a move takes the number along and leaves a new one behind.
class UniqueId {
 public:
  UniqueId() : value_(next()) {}
  UniqueId(const UniqueId&) : value_(next()) {}
  UniqueId(UniqueId&& other) noexcept : value_(other.value_) { other.value_ = next(); }
  UniqueId& operator=(const UniqueId&) {
    value_ = next();
    return *this;
  }
  UniqueId& operator=(UniqueId&& other) noexcept {
    value_ = other.value_;
    other.value_ = next();
    return *this;
  }
  uint64_t value() const { return value_; }
  void renew() { value_ = next(); }

 private:
  static uint64_t next();
  uint64_t value_;
};

// A 32-bit picture: pixels 0xAARRGGBB, rows top to bottom, no padding. Owns its pixels; an
// empty surface (never created, released or failed to load) draws and receives nothing.
class Surface {
 public:
  // The largest width or height a surface has.
  static constexpr int32_t kMaxSide = 16384;

  // Allocates width × height black pixels; false (and empty) when either size is not
  // positive or too large. The clip rectangle becomes the whole surface.
  bool create(int32_t width, int32_t height);
  void release();

  bool loaded() const { return !pixels_.empty(); }
  // Identifies these pixels: new whenever the surface is created, released or copied, so that
  // a picture drawn earlier is never mistaken for one made since at the same address.
  uint64_t id() const { return id_.value(); }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // Bytes from one row to the next.
  int32_t pitch() const { return width_ * static_cast<int32_t>(sizeof(uint32_t)); }
  Rect bounds() const { return {0, 0, width_, height_}; }

  bool hasAlphaChannel() const { return alphaChannel_; }
  void setAlphaChannel(bool on) { alphaChannel_ = on; }

  uint32_t colorKey() const { return colorKey_; }
  void setColorKey(uint32_t rgb) { colorKey_ = rgb & 0xFFFFFF; }
  void setColorKey(uint8_t red, uint8_t green, uint8_t blue) {
    colorKey_ = static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
  }
  // The key becomes the colour of pixel (x, y). Fails outside the surface; negative
  // coordinates also set the key to 0.
  bool setColorKeyFromPixel(int32_t x, int32_t y);

  const Rect& clipRect() const { return clip_; }
  void setClipRect(const Rect& clip) { clip_ = clip; }

  // The pixel at (x, y); 0 outside the surface.
  uint32_t pixel(int32_t x, int32_t y) const;
  uint32_t* row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* row(int32_t y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  // Sets every pixel to `color`.
  void fill(uint32_t color);
  // Sets the pixels of `area` that lie on the surface to `color`.
  void fill(uint32_t color, const Rect& area);
  // Zeroes the top byte of every pixel.
  void clearAlphaBytes();

 private:
  std::vector<uint32_t> pixels_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  Rect clip_;
  uint32_t colorKey_ = 0;
  bool alphaChannel_ = false;
  UniqueId id_;
};

// Copies the pixels of `area` (the part on both surfaces) from one surface to the same place
// on the other.
void copyPixels(const Surface& from, Surface& to, const Rect& area);

}  // namespace avg
