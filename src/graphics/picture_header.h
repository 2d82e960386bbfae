#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "base/surface.h"

namespace avg {

// The largest picture decoded: pixels at 4 bytes each.
constexpr uint64_t kMaxPictureBytes = uint64_t{256} << 20;

// The size a picture file's header declares, read without decoding anything: PNG, BMP, JPEG
// and GIF by their signatures, TGA and the raw "cgd" format by `extension` (any case). None
// for other formats and for headers too short to hold the size.
std::optional<Size> declaredPictureSize(std::span<const uint8_t> bytes, std::string_view extension);

// Whether a picture of that size may be decoded: up to Surface::kMaxSide on a side and up to
// kMaxPictureBytes of pixels.
bool pictureSizeAllowed(int64_t width, int64_t height);

}  // namespace avg
