#pragma once
#include <string>
#include <string_view>

namespace avg {

// Game text is CP932 (Shift-JIS); everything shown or logged to a person is UTF-8.
// Bytes that do not convert become U+FFFD.
std::string cp932ToUtf8(std::string_view cp932);
// Characters without a CP932 form become '?'.
std::string utf8ToCp932(std::string_view utf8);

// UTF-8 text as code points (well-formed input assumed, as from iconv or the window system).
std::u32string utf8ToCodepoints(std::string_view utf8);

// Game text (CP932) as code points; bytes that do not convert become U+FFFD.
std::u32string cp932ToCodepoints(std::string_view cp932);

// True for a byte that starts a two-byte Shift-JIS character.
constexpr bool isShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace avg
