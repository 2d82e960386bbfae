#include "script_text.h"

#include <cstdio>
#include <vector>

#include "base/text_encoding.h"
#include "script/table_reader.h"
#include "tool_support.h"

namespace avg {
namespace {

struct Line {
  std::string_view text;
  bool ended;  // followed by the line end
};

std::vector<Line> splitLines(std::string_view text, std::string_view end) {
  std::vector<Line> lines;
  size_t start = 0;
  for (size_t at; (at = text.find(end, start)) != std::string_view::npos; start = at + end.size())
    lines.push_back({text.substr(start, at - start), true});
  if (start < text.size()) lines.push_back({text.substr(start), false});
  return lines;
}

[[noreturn]] void fail(const std::string& name, size_t line, const std::string& message) {
  throw tool::Failure(name + ":" + std::to_string(line) + ": " + message);
}

std::string hexBytes(std::string_view bytes) {
  std::string hex;
  for (unsigned char byte : bytes) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%s%02X", hex.empty() ? "" : " ", byte);
    hex += digits;
  }
  return hex;
}

// The first character of `cp932` that does not come back from UTF-8 as it was.
std::string firstInexact(std::string_view cp932) {
  for (size_t at = 0; at < cp932.size();) {
    size_t length = isShiftJisLeadByte(cp932[at]) && at + 1 < cp932.size() ? 2 : 1;
    std::string_view character = cp932.substr(at, length);
    if (utf8ToCp932(cp932ToUtf8(character)) != character) return hexBytes(character);
    at += length;
  }
  return hexBytes(cp932);
}

// Refuses a line that would not compile back to its bytes. The round trip is checked only
// when the whole text failed it: conversions work character by character.
void checkDecompiledLine(std::string_view cp932, const std::string& name, size_t number,
                         bool wholeTextExact) {
  if (cp932.find_first_of("\r\n") != std::string_view::npos)
    fail(name, number, "a CR or LF outside a CR LF pair, which compiling would not give back");
  if (!wholeTextExact && utf8ToCp932(cp932ToUtf8(cp932)) != cp932)
    fail(name, number, "bytes that would not compile back the same: " + firstInexact(cp932));
}

}  // namespace

std::string noCp932Form(std::string_view utf8) {
  std::string_view character = utf8;
  for (size_t at = 0; at < utf8.size();) {
    size_t length = 1;
    while (at + length < utf8.size() &&
           (static_cast<unsigned char>(utf8[at + length]) & 0xC0) == 0x80)
      ++length;
    if (cp932ToUtf8(utf8ToCp932(utf8.substr(at, length))) != utf8.substr(at, length)) {
      character = utf8.substr(at, length);
      break;
    }
    at += length;
  }
  // Built by appending: GCC 12 at -O3 warns falsely about "..." + std::string here.
  std::string message = "\"";
  message += character;
  message += "\" has no CP932 form";
  return message;
}

std::string decompileTable(std::string_view bytes, const std::string& name) {
  bool scramble = isScrambled(bytes);
  std::string plain = scramble ? unscrambled(bytes) : std::string(bytes);
  std::string text = cp932ToUtf8(plain);
  bool exact = utf8ToCp932(text) == plain;
  std::vector<Line> lines = splitLines(plain, "\r\n");
  for (size_t k = 0; k < lines.size(); ++k)
    checkDecompiledLine(lines[k].text, name, k + 1, exact);
  if (!scramble && !lines.empty() && lines[0].text == kScrambledMarker)
    fail(name, 1, "the first line reads as the scrambled marker");
  std::string out = scramble ? std::string(kScrambledMarker) + "\n" : std::string();
  out.reserve(out.size() + text.size());
  for (const Line& line : splitLines(text, "\r\n")) {
    out += line.text;
    if (line.ended) out += '\n';
  }
  return out;
}

std::string compileTable(std::string_view text, const std::string& name, bool scramble) {
  if (text.starts_with(std::string(kScrambledMarker) + "\n")) {
    text.remove_prefix(kScrambledMarker.size() + 1);
    scramble = true;
  }
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  size_t number = 0;
  for (const Line& line : splitLines(text, "\n")) {
    ++number;
    std::string_view utf8 = line.text;
    if (utf8.ends_with('\r')) utf8.remove_suffix(1);  // a text saved with CR LF
    std::string cp932 = utf8ToCp932(utf8);
    if (cp932ToUtf8(cp932) != utf8) fail(name, number, noCp932Form(utf8));
    out += cp932;
    if (line.ended) out += "\r\n";
  }
  return scramble ? scrambled(out) : out;
}

}  // namespace avg
