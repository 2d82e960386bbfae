#include "support/png_files.h"

#include <algorithm>
#include <string_view>

namespace avg::test {
namespace {

constexpr std::string_view kSignature("\x89PNG\r\n\x1A\n", 8);
constexpr size_t kMaxStoredBlock = 65535;
constexpr uint8_t kColourTypeRgba = 6;

uint32_t crc32(std::string_view bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
      crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

uint32_t adler32(std::string_view bytes) {
  uint32_t a = 1;
  uint32_t b = 0;
  for (unsigned char byte : bytes) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

void appendBE32(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out += static_cast<char>(value >> shift);
}

uint32_t readBE32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

std::string chunk(std::string_view type, std::string_view data) {
  std::string body = std::string(type) + std::string(data);
  std::string out;
  appendBE32(out, static_cast<uint32_t>(data.size()));
  out += body;
  appendBE32(out, crc32(body));
  return out;
}

// A zlib stream of stored deflate blocks.
std::string storedZlib(const std::string& data) {
  std::string out = "\x78\x01";
  size_t at = 0;
  do {
    size_t size = std::min(data.size() - at, kMaxStoredBlock);
    bool last = at + size == data.size();
    out += static_cast<char>(last ? 1 : 0);
    for (size_t field : {size, ~size})
      out += {static_cast<char>(field), static_cast<char>(field >> 8)};
    out.append(data, at, size);
    at += size;
  } while (at < data.size());
  appendBE32(out, adler32(data));
  return out;
}

// The data of stored deflate blocks after a zlib header; false for compressed blocks.
bool readStoredZlib(std::span<const uint8_t> stream, std::string& out) {
  size_t at = 2;
  for (;;) {
    if (at + 5 > stream.size() || (stream[at] & 0x06) != 0) return false;
    bool last = stream[at] & 1;
    size_t size = stream[at + 1] | size_t{stream[at + 2]} << 8;
    at += 5;
    if (at + size > stream.size()) return false;
    out.append(reinterpret_cast<const char*>(&stream[at]), size);
    at += size;
    if (last) return true;
  }
}

// An RGBA PNG declaring width × height whose image data is `rows` (filter bytes included).
std::string pngWithRows(uint32_t width, uint32_t height, const std::string& rows) {
  std::string header;
  appendBE32(header, width);
  appendBE32(header, height);
  header += {8, kColourTypeRgba, 0, 0, 0};
  return std::string(kSignature) + chunk("IHDR", header) + chunk("IDAT", storedZlib(rows)) +
         chunk("IEND", "");
}

}  // namespace

std::string pngImage(int32_t width, int32_t height, const std::vector<uint32_t>& pixels) {
  std::string rows;
  for (int32_t y = 0; y < height; ++y) {
    rows += '\0';  // filter: none
    for (int32_t x = 0; x < width; ++x) {
      uint32_t pixel = pixels[static_cast<size_t>(y * width + x)];
      rows += {static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 8),
               static_cast<char>(pixel), static_cast<char>(pixel >> 24)};
    }
  }
  return pngWithRows(static_cast<uint32_t>(width), static_cast<uint32_t>(height), rows);
}

std::string pngDeclaring(uint32_t width, uint32_t height) {
  return pngWithRows(width, height, std::string(5, '\0'));
}

bool readPngImage(std::span<const uint8_t> bytes, Surface& out) {
  if (!std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())
           .starts_with(kSignature)) {
    return false;
  }
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> idat;
  bool ended = false;
  for (size_t at = kSignature.size(); !ended && at + 12 <= bytes.size();) {
    size_t size = readBE32(&bytes[at]);
    std::string_view type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
    if (at + 12 + size > bytes.size()) return false;
    std::span<const uint8_t> data = bytes.subspan(at + 8, size);
    if (type == "IHDR") {
      static constexpr uint8_t kRgba8[] = {8, kColourTypeRgba, 0, 0, 0};
      if (size != 13 || !std::equal(data.begin() + 8, data.end(), kRgba8)) return false;
      width = static_cast<int32_t>(readBE32(&data[0]));
      height = static_cast<int32_t>(readBE32(&data[4]));
    } else if (type == "IDAT") {
      idat.insert(idat.end(), data.begin(), data.end());
    }
    ended = type == "IEND";
    at += 12 + size;
  }
  std::string rows;
  if (!ended || width <= 0 || height <= 0 || !readStoredZlib(idat, rows)) return false;
  const size_t stride = 1 + 4 * static_cast<size_t>(width);
  if (rows.size() != stride * height) return false;
  Surface picture;
  if (!picture.create(width, height)) return false;
  for (int32_t y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const uint8_t*>(&rows[y * stride]);
    if (row[0] != 0) return false;
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* rgba = &row[1 + 4 * x];
      picture.row(y)[x] =
          uint32_t{rgba[3]} << 24 | uint32_t{rgba[0]} << 16 | uint32_t{rgba[1]} << 8 | rgba[2];
    }
  }
  out = std::move(picture);
  return true;
}

}  // namespace avg::test
