#pragma once
#include <cstdint>
#include <optional>
#include <span>

#include "platform/image_codec.h"
#include "platform/window.h"

namespace avg {

// The largest width and height of a cursor picture.
constexpr int32_t kMaxCursorSide = 256;

// Decodes the bytes of a cursor file as the desktop's cursor loader takes them:
// - an icon container of type 2 (cursor; hot spot from its directory) or 1 (icon; hot spot
//   at the centre) whose images are BMP bitmaps (1, 4, 8, 24 or 32 bits per pixel with an
//   AND mask) or PNG files, decoded through `codec`. Of several images the one nearest to
//   32 × 32, then the one with the most bits per pixel, is taken;
// - an animated cursor (RIFF "ACON"), of which the first frame is taken.
// Pixels that would invert or tint the screen behind them cannot be shown by a colour
// cursor; they come out opaque black. nullopt for damaged or unknown data and for pictures
// larger than kMaxCursorSide.
std::optional<CursorImage> decodeCursorFile(std::span<const uint8_t> bytes,
                                            const ImageCodec& codec);

}  // namespace avg
