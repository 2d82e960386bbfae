#pragma once
#include <compare>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace avg {

class ArchiveSet;
class CommandTable;

// Where a piece of game text is written: a word of a row of a script file.
struct TextPlace {
  std::string file;  // as the scripts name it (CP932)
  uint32_t line = 0;
  size_t word = 0;  // 1 for the first word after the command
  auto operator<=>(const TextPlace&) const = default;
};

// A piece of text that players read (CP932) and every place that writes it as a "%s__"
// literal, in the order of files and lines.
struct GameText {
  std::string text;
  std::vector<TextPlace> places;
};

// The text of the game in the current directory that players read, walking its scripts as
// lintGame does: the string literals that MESS ADD_ and MESS SPLI show, and those that a
// command whose only output is a string variable writes into a variable they show (directly
// or through other such variables). Ordered by first place: files in the order read, then
// lines.
std::vector<GameText> gameTexts(const CommandTable& commands,
                                const std::vector<std::string>& scripts, ArchiveSet& archives);

// A gettext template of `texts` in UTF-8, with a reference comment for each place.
std::string potFile(const std::vector<GameText>& texts);

// The translations of a PO file, msgid to msgstr in UTF-8, leaving out the header, fuzzy
// entries and empty translations. Throws tool::Failure naming `name` and the line of what it
// cannot read.
std::map<std::string, std::string> readPoFile(std::string_view po, const std::string& name);

// The scripts that `translations` change, by file name as the scripts write it: their bytes
// with exactly the translated literals replaced, in the original's format (scrambled or
// not). Throws tool::Failure naming the entry for a translation that CP932 cannot hold or
// that holds a word or row separator.
std::map<std::string, std::string> translatedScripts(
    const std::vector<GameText>& texts, const std::map<std::string, std::string>& translations,
    const ArchiveSet& archives);

}  // namespace avg
