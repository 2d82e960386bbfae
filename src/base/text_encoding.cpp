#include "base/text_encoding.h"

#include <iconv.h>

#include <cerrno>

namespace avg {
namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

// Converts with iconv, replacing each byte that cannot be converted. `skipLength` gives how
// many input bytes an unconvertible sequence takes.
std::string convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement, size_t (*skipLength)(std::string_view)) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(input);
  std::string out;
  out.reserve(input.size() * 3 / 2 + 4);
  char buffer[256];
  size_t pos = 0;
  while (pos < input.size()) {
    char* in = const_cast<char*>(input.data() + pos);
    size_t inLeft = input.size() - pos;
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    int error = errno;
    out.append(buffer, outPtr - buffer);
    pos = input.size() - inLeft;
    if (result != static_cast<size_t>(-1)) break;
    if (error == E2BIG) continue;
    // EILSEQ or EINVAL (truncated sequence at the end): replace and move on.
    out.append(replacement);
    pos += skipLength(input.substr(pos));
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return out;
}

size_t skipOneByte(std::string_view) {
  return 1;
}

size_t skipUtf8Character(std::string_view text) {
  size_t length = 1;
  while (length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
    ++length;
  }
  return length;
}

}  // namespace

std::string cp932ToUtf8(std::string_view cp932) {
  return convert("UTF-8", "CP932", cp932, kReplacementUtf8, skipOneByte);
}

std::string utf8ToCp932(std::string_view utf8) {
  return convert("CP932", "UTF-8", utf8, "?", skipUtf8Character);
}

std::u32string utf8ToCodepoints(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
      code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out.push_back(code);
    i += length;
  }
  return out;
}

std::u32string cp932ToCodepoints(std::string_view cp932) {
  return utf8ToCodepoints(cp932ToUtf8(cp932));
}

}  // namespace avg
