#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/surface.h"

namespace avg {

// Decodes picture files of the formats games ship (PNG, BMP, JPEG, GIF, TGA, ...) and writes
// PNG screenshots. One instance serves the whole player.
class ImageCodec {
 public:
  virtual ~ImageCodec() = default;
  // Decodes a file's bytes into `out` as 0xAARRGGBB pixels. `extension` (without the dot,
  // any case) helps formats that carry no signature. False, with `out` empty, when the bytes
  // are not a picture the codec knows.
  virtual bool decode(std::span<const uint8_t> bytes, std::string_view extension,
                      Surface& out) const = 0;
  // The colours of `surface` (the top bytes are ignored) as the bytes of an RGB PNG file;
  // nothing for an empty surface or when encoding fails.
  virtual std::optional<std::string> encodePng(const Surface& surface) const = 0;
};

}  // namespace avg
