#include "graphics/image_loader.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "base/error_log.h"
#include "base/game_path.h"
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

std::optional<std::vector<uint8_t>> readFile(std::string_view fileName) {
  std::optional<std::string> path = findGameFile(fileName);
  if (!path) return std::nullopt;
  std::ifstream in(*path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  if (in.bad()) return std::nullopt;
  return bytes;
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
  std::optional<std::vector<uint8_t>> bytes = readFile(fileName);
  if (!bytes) return kImageUnreadable;
  std::string_view extension = extensionOf(fileName);
  // Refused before decoding: a header of a few bytes can declare gigabytes of pixels.
  std::optional<Size> size = declaredPictureSize(*bytes, extension);
  if (size && !pictureSizeAllowed(size->width, size->height)) {
    writeErrorLogf("Picture too large: %.*s (%d x %d)", static_cast<int>(fileName.size()),
                   fileName.data(), size->width, size->height);
    return kImageUndecodable;
  }
  bool raw = isCgd(extension);
  bool decoded = raw ? decodeCgd(*bytes, surface) : codec.decode(*bytes, extension, surface);
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
