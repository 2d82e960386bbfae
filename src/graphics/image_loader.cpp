#include "graphics/image_loader.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "base/error_log.h"
#include "base/game_path.h"
#include "base/text_encoding.h"
#include "graphics/picture_header.h"

namespace avg {
namespace {

constexpr size_t kCgdHeaderBytes = 20;

uint32_t littleEndianWord(std::span<const uint8_t> bytes, size_t index) {
  return readLE32(bytes.data() + index * 4);
}

std::string_view extensionOf(std::string_view fileName) {
  size_t dot = fileName.find_last_of('.');
  size_t separator = fileName.find_last_of("\\/");
  if (dot == std::string_view::npos || (separator != std::string_view::npos && dot < separator)) {
    return {};
  }
  return fileName.substr(dot + 1);
}

bool isCgd(std::string_view extension) {
  if (extension.size() != 3) return false;
  for (size_t i = 0; i < 3; ++i) {
    char lower =
        extension[i] >= 'A' && extension[i] <= 'Z' ? extension[i] + ('a' - 'A') : extension[i];
    if (lower != "cgd"[i]) return false;
  }
  return true;
}

}  // namespace

bool decodeCgd(std::span<const uint8_t> bytes, Surface& out) {
  out.release();
  if (bytes.size() < kCgdHeaderBytes) return false;
  uint64_t pixelBytes = littleEndianWord(bytes, 2);
  uint64_t width = littleEndianWord(bytes, 3);
  uint64_t height = littleEndianWord(bytes, 4);
  if (pixelBytes != width * height * 4 || pixelBytes > bytes.size() - kCgdHeaderBytes) {
    return false;
  }
  if (!out.create(static_cast<int32_t>(width), static_cast<int32_t>(height))) return false;
  std::memcpy(out.row(0), bytes.data() + kCgdHeaderBytes, pixelBytes);
  return true;
}

int loadImage(Surface& surface, std::string_view fileName, const ImageCodec& codec) {
  surface.release();
  std::optional<std::string> file = readPlainFile(fileName);
  if (!file) return kImageUnreadable;
  std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(file->data()), file->size());
  std::string_view extension = extensionOf(fileName);
  // Refused before decoding: a header of a few bytes can declare gigabytes of pixels.
  std::optional<Size> size = declaredPictureSize(bytes, extension);
  if (size && !pictureSizeAllowed(size->width, size->height)) {
    writeErrorLogf("Picture too large: %s (%d x %d)", cp932ToUtf8(fileName).c_str(), size->width,
                   size->height);
    return kImageUndecodable;
  }
  bool raw = isCgd(extension);
  bool decoded = raw ? decodeCgd(bytes, surface) : codec.decode(bytes, extension, surface);
  if (!decoded) {
    surface.release();
    return kImageUndecodable;
  }
  if (!raw) surface.clearAlphaBytes();
  surface.setAlphaChannel(raw);
  surface.setColorKeyFromPixel(0, 0);
  return kImageLoaded;
}

}  // namespace avg
