#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace avg {

// An initialisation file ("[section]" lines, then "key=value" lines) kept as its raw lines,
// so that writing a key changes only that key's line and every other byte stays as it was.
// Section and key names compare without regard to ASCII letter case; the first section of a
// name that holds the key answers. Lines that are neither sections nor keys are kept.
class IniFile {
 public:
  // The longest string a reader takes, as the 260-byte buffers of the game's readers.
  static constexpr size_t kMaxString = 259;

  IniFile() = default;
  explicit IniFile(std::string_view bytes);
  // Reads the file at `path`; an unreadable file reads as empty (exists() false).
  static IniFile load(const std::string& path);

  bool exists() const { return exists_; }
  // The value with its surrounding blanks and one pair of matching quotes removed, cut to
  // kMaxString bytes; nullopt when the key is missing.
  std::optional<std::string> string(std::string_view section, std::string_view key) const;
  std::string string(std::string_view section, std::string_view key,
                     std::string_view fallback) const;
  // An optional sign and decimal digits, the rest ignored (wrapping at 32 bits); a missing
  // key or an empty value gives the fallback, any other text 0.
  int32_t integer(std::string_view section, std::string_view key, int32_t fallback) const;

  // Sets a key: rewrites its line, or adds it at the end of its section, or adds the
  // section at the end of the file.
  void set(std::string_view section, std::string_view key, std::string_view value);
  void set(std::string_view section, std::string_view key, int32_t value);
  std::string bytes() const;
  // Replaces the file at `path` in one step; false when it could not be written.
  bool save(const std::string& path) const;

 private:
  struct Line {
    std::string text;       // without its line break
    std::string lineBreak;  // "\r\n", "\n" or "" for a last line without one
  };
  struct KeyPosition {
    size_t line;
    std::string_view name;
  };
  std::optional<KeyPosition> findKey(std::string_view section, std::string_view key) const;
  // The index after the last key line of the first section named `section`.
  std::optional<size_t> sectionEnd(std::string_view section) const;
  void insertLine(size_t index, std::string text);

  std::vector<Line> lines_;
  bool exists_ = false;
};

// Parses an integer value as the file's integer readers do: blanks, an optional sign, then
// decimal digits up to the first other character, accumulated with 32-bit wrap-around.
int32_t parseProfileInt(std::string_view text);

}  // namespace avg
