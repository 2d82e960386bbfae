#include "input/ini_file.h"

#include <fstream>
#include <initializer_list>
#include <sstream>

#include "base/atomic_file.h"
#include "base/text_encoding.h"

namespace avg {
namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view trim(std::string_view text) {
  size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

char asciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII letters match in either case; the trail byte of a Shift-JIS pair matches exactly.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (isShiftJisLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (asciiLower(a[i]) != asciiLower(b[i])) {
      return false;
    }
  }
  return true;
}

// The name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
  std::string_view text = trim(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  size_t close = text.rfind(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(text.substr(1, close - 1));
}

struct KeyLine {
  std::string_view name;
  std::string_view value;
};

// The parts of a "name=value" line; comment lines and lines without a name are no keys.
std::optional<KeyLine> keyLine(std::string_view line) {
  std::string_view text = trim(line);
  if (text.empty() || text.front() == ';' || text.front() == '[') return std::nullopt;
  size_t equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  std::string_view name = trim(text.substr(0, equals));
  if (name.empty()) return std::nullopt;
  return KeyLine{name, trim(text.substr(equals + 1))};
}

std::string_view unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Cuts to at most `limit` bytes without splitting a two-byte character.
std::string_view cutTo(std::string_view text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = 0;
  while (end < limit) {
    size_t width = isShiftJisLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  return text.substr(0, end);
}

// Appends the parts into one new string. Built this way rather than with operator+ on
// literals, whose inlined copies GCC 12 misreads as overlapping at -O3.
std::string joined(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view part : parts)
    out += part;
  return out;
}

}  // namespace

int32_t parseProfileInt(std::string_view text) {
  text = trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10u + static_cast<uint32_t>(c - '0');
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}

IniFile::IniFile(std::string_view bytes) : exists_(true) {
  size_t start = 0;
  while (start < bytes.size()) {
    size_t newline = bytes.find('\n', start);
    size_t end = newline == std::string_view::npos ? bytes.size() : newline;
    std::string_view text = bytes.substr(start, end - start);
    std::string_view lineBreak;
    if (newline != std::string_view::npos) {
      bool crlf = !text.empty() && text.back() == '\r';
      if (crlf) text.remove_suffix(1);
      lineBreak = crlf ? "\r\n" : "\n";
    }
    lines_.push_back(Line{std::string(text), std::string(lineBreak)});
    start = end + 1;
  }
}

IniFile IniFile::load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return IniFile();
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return IniFile(bytes.str());
}

std::optional<IniFile::KeyPosition> IniFile::findKey(std::string_view section,
                                                     std::string_view key) const {
  bool inSection = false;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (std::optional<std::string_view> name = sectionName(lines_[i].text)) {
      inSection = sameName(*name, section);
    } else if (inSection) {
      std::optional<KeyLine> parts = keyLine(lines_[i].text);
      if (parts && sameName(parts->name, key)) return KeyPosition{i, parts->name};
    }
  }
  return std::nullopt;
}

std::optional<size_t> IniFile::sectionEnd(std::string_view section) const {
  std::optional<size_t> end;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (std::optional<std::string_view> name = sectionName(lines_[i].text)) {
      if (end) return end;
      if (sameName(*name, section)) end = i + 1;
    } else if (end && keyLine(lines_[i].text)) {
      end = i + 1;
    }
  }
  return end;
}

std::optional<std::string> IniFile::string(std::string_view section, std::string_view key) const {
  std::optional<KeyPosition> position = findKey(section, key);
  if (!position) return std::nullopt;
  std::string_view value = unquote(keyLine(lines_[position->line].text)->value);
  return std::string(cutTo(value, kMaxString));
}

std::string IniFile::string(std::string_view section, std::string_view key,
                            std::string_view fallback) const {
  return string(section, key).value_or(std::string(fallback));
}

int32_t IniFile::integer(std::string_view section, std::string_view key, int32_t fallback) const {
  std::optional<std::string> value = string(section, key);
  if (!value || value->empty()) return fallback;
  return parseProfileInt(*value);
}

void IniFile::insertLine(size_t index, std::string text) {
  std::string lineBreak = "\r\n";
  for (const Line& line : lines_) {
    if (!line.lineBreak.empty()) {
      lineBreak = line.lineBreak;
      break;
    }
  }
  if (index > 0 && lines_[index - 1].lineBreak.empty()) lines_[index - 1].lineBreak = lineBreak;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index),
                Line{std::move(text), lineBreak});
}

void IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
  if (std::optional<KeyPosition> position = findKey(section, key)) {
    Line& line = lines_[position->line];
    if (keyLine(line.text)->value == value) return;
    line.text = joined({position->name, "=", value});
  } else if (std::optional<size_t> end = sectionEnd(section)) {
    insertLine(*end, joined({key, "=", value}));
  } else {
    insertLine(lines_.size(), joined({"[", section, "]"}));
    insertLine(lines_.size(), joined({key, "=", value}));
  }
}

void IniFile::set(std::string_view section, std::string_view key, int32_t value) {
  set(section, key, std::to_string(value));
}

std::string IniFile::bytes() const {
  std::string out;
  for (const Line& line : lines_) {
    out += line.text;
    out += line.lineBreak;
  }
  return out;
}

bool IniFile::save(const std::string& path) const {
  return replaceFileAtomically(path, bytes());
}

}  // namespace avg
