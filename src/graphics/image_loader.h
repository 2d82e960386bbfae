#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "base/surface.h"
#include "platform/image_codec.h"

namespace avg {

// Results of loadImage: 0 on success, else why the surface stayed empty.
enum ImageLoadResult : int {
  kImageLoaded = 0,
  kImageUnreadable = 1,   // missing or unreadable file
  kImageUndecodable = 2,  // not a picture of a known format, or a damaged one
};

// Loads a picture file, found as game files are (any letter case, '\' separators).
// "cgd" files (extension in any case) are the player's raw 32-bit format: the pixels keep
// their alpha bytes and the alpha-channel flag is set. Every other file goes through the
// codec; its alpha bytes are cleared and the flag stays off. Either way the colour key
// becomes the top-left pixel's colour. On failure the surface is left empty. A picture whose
// header declares more than pictureSizeAllowed permits is refused undecoded, with a line in
// the error log.
int loadImage(Surface& surface, std::string_view fileName, const ImageCodec& codec);

// The raw format: a 20-byte header of five little-endian 32-bit words (word 2 the number of
// pixel bytes, word 3 the width, word 4 the height), then the pixels as 0xAARRGGBB words,
// rows top to bottom. False, with `out` empty, when the header disagrees with the data.
bool decodeCgd(std::span<const uint8_t> bytes, Surface& out);

}  // namespace avg
