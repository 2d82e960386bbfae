#include "graphics/cursor_file.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "base/byte_order.h"

namespace avg {
namespace {

using Bytes = std::span<const uint8_t>;

constexpr int32_t kPreferredSide = 32;
constexpr size_t kDirectoryHeaderBytes = 6;
constexpr size_t kDirectoryEntryBytes = 16;
constexpr size_t kBitmapHeaderBytes = 40;
constexpr size_t kRiffHeaderBytes = 12;
constexpr size_t kChunkHeaderBytes = 8;
constexpr uint16_t kIconType = 1;
constexpr uint16_t kCursorType = 2;
constexpr uint32_t kOpaqueBlack = 0xFF000000;
constexpr std::string_view kPngSignature("\x89PNG\r\n\x1A\n", 8);

// The `size` bytes at `offset`, or nullopt when they do not all lie inside `bytes`.
std::optional<Bytes> slice(Bytes bytes, size_t offset, size_t size) {
  if (offset > bytes.size() || size > bytes.size() - offset) return std::nullopt;
  return bytes.subspan(offset, size);
}

bool startsWith(Bytes bytes, std::string_view prefix) {
  return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())
      .starts_with(prefix);
}

uint32_t readBE32(const uint8_t* b) {
  return static_cast<uint32_t>(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
}

bool sideFits(int64_t side) {
  return side >= 1 && side <= kMaxCursorSide;
}

// PNG images: the size in the header is checked first so that no huge picture is decoded.
std::optional<Surface> decodePng(Bytes image, const ImageCodec& codec) {
  constexpr size_t kWidthOffset = 16;  // after the signature and the IHDR chunk's header
  constexpr size_t kHeightOffset = 20;
  if (image.size() < kHeightOffset + 4 || !sideFits(readBE32(&image[kWidthOffset])) ||
      !sideFits(readBE32(&image[kHeightOffset]))) {
    return std::nullopt;
  }
  Surface pixels;
  if (!codec.decode(image, "png", pixels)) return std::nullopt;
  return pixels;
}

// Where the parts of a cursor bitmap lie: the colours, rows bottom-up, then the AND mask at
// one bit per pixel, rows likewise; every row is padded to 4 bytes.
struct Bitmap {
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;
  Bytes palette;  // 4 bytes per entry: blue, green, red, unused
  Bytes colours;
  Bytes mask;
  size_t colourStride;
  size_t maskStride;
};

size_t rowStride(int32_t width, int32_t bitsPerPixel) {
  return (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4;
}

bool knownDepth(int32_t bitsPerPixel) {
  return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24 ||
         bitsPerPixel == 32;
}

// Reads the bitmap header (at least the 40 bytes of the common one; the height counts the
// colour rows and the mask rows) and finds the parts behind it. Only uncompressed bitmaps.
std::optional<Bitmap> readBitmap(Bytes image) {
  if (image.size() < kBitmapHeaderBytes) return std::nullopt;
  const uint32_t headerBytes = readLE32(&image[0]);
  const auto width = static_cast<int32_t>(readLE32(&image[4]));
  const auto height = static_cast<int32_t>(readLE32(&image[8])) / 2;
  const uint16_t bitsPerPixel = readLE16(&image[14]);
  const uint32_t compression = readLE32(&image[16]);
  const uint32_t coloursUsed = readLE32(&image[32]);
  if (headerBytes < kBitmapHeaderBytes || compression != 0 || !sideFits(width) ||
      !sideFits(height) || !knownDepth(bitsPerPixel)) {
    return std::nullopt;
  }
  const uint32_t paletteLimit = bitsPerPixel <= 8 ? 1u << bitsPerPixel : 0;
  if (coloursUsed > paletteLimit) return std::nullopt;
  const size_t paletteBytes = (coloursUsed == 0 ? paletteLimit : coloursUsed) * size_t{4};
  const size_t colourStride = rowStride(width, bitsPerPixel);
  const size_t maskStride = rowStride(width, 1);
  const std::optional<Bytes> palette = slice(image, headerBytes, paletteBytes);
  if (!palette) return std::nullopt;
  const Bytes rows = image.subspan(headerBytes + paletteBytes);
  const std::optional<Bytes> colours = slice(rows, 0, colourStride * height);
  const std::optional<Bytes> mask = slice(rows, colourStride * height, maskStride * height);
  if (!colours || !mask) return std::nullopt;
  return Bitmap{width, height, bitsPerPixel, *palette, *colours, *mask, colourStride, maskStride};
}

// The colour of pixel x of a row: 0xAARRGGBB at 32 bits per pixel, else 0x00RRGGBB. An index
// past the palette gives black.
uint32_t colourAt(const Bitmap& bitmap, const uint8_t* row, int32_t x) {
  switch (bitmap.bitsPerPixel) {
    case 32:
      return readLE32(row + x * 4);
    case 24:
      return row[x * 3] | row[x * 3 + 1] << 8 | row[x * 3 + 2] << 16;
    default: {
      const size_t bit = static_cast<size_t>(x) * bitmap.bitsPerPixel;
      const unsigned shift = 8 - bitmap.bitsPerPixel - bit % 8;
      const size_t index = row[bit / 8] >> shift & ((1u << bitmap.bitsPerPixel) - 1);
      const std::optional<Bytes> entry = slice(bitmap.palette, index * 4, 4);
      return entry ? readLE32(entry->data()) & 0xFFFFFF : 0;
    }
  }
}

bool maskBitAt(const uint8_t* row, int32_t x) {
  return (row[x / 8] >> (7 - x % 8) & 1) != 0;
}

// A pixel drawn through the AND mask: a clear mask bit draws the colour; a set one keeps the
// screen, which a black colour leaves as it is and any other colour would invert or tint.
uint32_t maskedPixel(uint32_t rgb, bool maskBit) {
  if (!maskBit) return kOpaqueBlack | rgb;
  return rgb == 0 ? 0 : kOpaqueBlack;
}

// 32-bit bitmaps carry their own transparency unless every alpha byte is zero.
bool carriesAlpha(const Bitmap& bitmap) {
  if (bitmap.bitsPerPixel != 32) return false;
  for (size_t alpha = 3; alpha < bitmap.colours.size(); alpha += 4) {
    if (bitmap.colours[alpha] != 0) return true;
  }
  return false;
}

std::optional<Surface> decodeBitmap(Bytes image) {
  const std::optional<Bitmap> bitmap = readBitmap(image);
  if (!bitmap) return std::nullopt;
  const bool alpha = carriesAlpha(*bitmap);
  Surface pixels;
  pixels.create(bitmap->width, bitmap->height);
  for (int32_t y = 0; y < bitmap->height; ++y) {
    const size_t fileRow = static_cast<size_t>(bitmap->height - 1 - y);
    const uint8_t* colours = &bitmap->colours[fileRow * bitmap->colourStride];
    const uint8_t* mask = &bitmap->mask[fileRow * bitmap->maskStride];
    uint32_t* out = pixels.row(y);
    for (int32_t x = 0; x < bitmap->width; ++x) {
      const uint32_t colour = colourAt(*bitmap, colours, x);
      out[x] = alpha ? colour : maskedPixel(colour & 0xFFFFFF, maskBitAt(mask, x));
    }
  }
  return pixels;
}

bool isPng(Bytes image) {
  return startsWith(image, kPngSignature);
}

// Bits per pixel of an image, for choosing between entries; PNG images count as 32.
int32_t depthOf(Bytes image) {
  if (isPng(image)) return 32;
  return image.size() >= kBitmapHeaderBytes ? readLE16(&image[14]) : 0;
}

struct Entry {
  int32_t width = 0;  // as the directory gives them, 0 meaning 256
  int32_t height = 0;
  int32_t hotX = 0;
  int32_t hotY = 0;
  Bytes image;
};

// How far an entry is from the wanted one: first by size from 32 × 32, then by fewer bits per
// pixel.
std::pair<int32_t, int32_t> distanceOf(const Entry& entry) {
  return {std::abs(entry.width - kPreferredSide) + std::abs(entry.height - kPreferredSide),
          -depthOf(entry.image)};
}

int32_t directorySide(uint8_t side) {
  return side == 0 ? kMaxCursorSide : side;
}

// The entry a desktop would choose among those whose image lies inside the file; nullopt
// when the directory itself is cut short or no entry is usable.
std::optional<Entry> chooseEntry(Bytes file, uint16_t count) {
  std::optional<Entry> best;
  for (size_t i = 0; i < count; ++i) {
    const std::optional<Bytes> record =
        slice(file, kDirectoryHeaderBytes + i * kDirectoryEntryBytes, kDirectoryEntryBytes);
    if (!record) return std::nullopt;
    const uint8_t* r = record->data();
    const std::optional<Bytes> image = slice(file, readLE32(r + 12), readLE32(r + 8));
    if (!image) continue;
    const Entry entry{.width = directorySide(r[0]),
                      .height = directorySide(r[1]),
                      .hotX = readLE16(r + 4),
                      .hotY = readLE16(r + 6),
                      .image = *image};
    if (!best || distanceOf(entry) < distanceOf(*best)) best = entry;
  }
  return best;
}

std::optional<CursorImage> decodeIconContainer(Bytes file, const ImageCodec& codec) {
  if (file.size() < kDirectoryHeaderBytes || readLE16(&file[0]) != 0) return std::nullopt;
  const uint16_t type = readLE16(&file[2]);
  if (type != kIconType && type != kCursorType) return std::nullopt;
  const std::optional<Entry> entry = chooseEntry(file, readLE16(&file[4]));
  if (!entry) return std::nullopt;
  std::optional<Surface> pixels =
      isPng(entry->image) ? decodePng(entry->image, codec) : decodeBitmap(entry->image);
  if (!pixels) return std::nullopt;
  const int32_t width = pixels->width();
  const int32_t height = pixels->height();
  CursorImage cursor{.pixels = std::move(*pixels)};
  cursor.hotX = type == kIconType ? width / 2 : std::min(entry->hotX, width - 1);
  cursor.hotY = type == kIconType ? height / 2 : std::min(entry->hotY, height - 1);
  return cursor;
}

// The data of the first chunk named `id` among consecutive RIFF chunks whose data begins
// with `form` (which is skipped); nullopt when there is none or a chunk runs past the end.
std::optional<Bytes> findChunk(Bytes chunks, std::string_view id, std::string_view form = {}) {
  size_t offset = 0;
  while (chunks.size() - offset >= kChunkHeaderBytes) {
    const Bytes header = chunks.subspan(offset, kChunkHeaderBytes);
    const uint32_t size = readLE32(&header[4]);
    const std::optional<Bytes> data = slice(chunks, offset + kChunkHeaderBytes, size);
    if (!data) return std::nullopt;
    if (startsWith(header, id) && startsWith(*data, form)) return data->subspan(form.size());
    offset += std::min<size_t>(kChunkHeaderBytes + size + size % 2, chunks.size() - offset);
  }
  return std::nullopt;
}

// Animated cursors: the first frame of the "fram" list, itself an icon container.
std::optional<CursorImage> decodeAnimated(Bytes file, const ImageCodec& codec) {
  if (file.size() < kRiffHeaderBytes || !startsWith(file.subspan(8), "ACON")) {
    return std::nullopt;
  }
  const std::optional<Bytes> frames = findChunk(file.subspan(kRiffHeaderBytes), "LIST", "fram");
  if (!frames) return std::nullopt;
  const std::optional<Bytes> firstFrame = findChunk(*frames, "icon");
  if (!firstFrame) return std::nullopt;
  return decodeIconContainer(*firstFrame, codec);
}

}  // namespace

std::optional<CursorImage> decodeCursorFile(std::span<const uint8_t> bytes,
                                            const ImageCodec& codec) {
  if (startsWith(bytes, "RIFF")) return decodeAnimated(bytes, codec);
  return decodeIconContainer(bytes, codec);
}

}  // namespace avg
