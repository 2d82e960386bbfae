#include "translation.h"

#include <algorithm>
#include <optional>
#include <set>

#include "base/text_encoding.h"
#include "lint.h"
#include "script/archive.h"
#include "script/field_tag.h"
#include "script/table_reader.h"
#include "script/values.h"
#include "script/whole_file.h"
#include "script_text.h"
#include "tool_support.h"

namespace avg {
namespace {

constexpr std::string_view kLiteralTag = "%s__";

bool isWrite(ArgType type) {
  return type == ArgType::IntVariable || type == ArgType::FloatVariable ||
         type == ArgType::StringVariable;
}

// The signature word that word `k` (from 1) of a fitting row stands for.
const SignatureWord& expectedWord(const SignatureForm& form, size_t k) {
  return form.words[std::min(k, form.words.size()) - 1];
}

// MESS ADD_ shows its text; MESS SPLI cuts its text into the characters that ADD_ shows.
bool showsText(const FittingRow& row) {
  return fourCCOf(row.words[0]) == fourCC("MESS") && !row.form.words.empty() &&
         (row.form.words[0].text == "ADD_" || row.form.words[0].text == "SPLI");
}

// The string variable that a row computes from its string arguments: the only variable it
// writes, when that is a string variable.
std::optional<std::string> assignedVariable(const FittingRow& row) {
  std::optional<std::string> target;
  int writes = 0;
  for (size_t k = 1; k < row.words.size(); ++k) {
    const SignatureWord& expected = expectedWord(row.form, k);
    if (expected.keyword || !isWrite(expected.type)) continue;
    ++writes;
    if (fieldTagOf(row.words[k]) == FieldTag::StringVariable) target = row.words[k];
  }
  return writes == 1 ? target : std::nullopt;
}

// Gathers, while the walk reads the game, the string literals that may be shown and how
// string variables flow into each other; which are shown is known once all is read.
class TextCollector {
 public:
  void visit(const FittingRow& row) {
    for (const std::string& file : row.scriptFiles)
      fileOrder_.emplace(file, fileOrder_.size());
    bool shown = showsText(row);
    std::optional<std::string> target = shown ? std::nullopt : assignedVariable(row);
    if (!shown && !target) return;
    for (size_t k = 1; k < row.words.size(); ++k) {
      const SignatureWord& expected = expectedWord(row.form, k);
      if (expected.keyword || expected.type != ArgType::String) continue;
      const std::string& word = row.words[k];
      FieldTag tag = fieldTagOf(word);
      if (tag == FieldTag::StringLiteral && word.size() > kLiteralTag.size()) {
        candidates_.push_back({{row.file, row.line, k}, word.substr(4), target.value_or("")});
      } else if (tag == FieldTag::StringVariable) {
        if (shown) shownVariables_.insert(word);
        if (target) flows_.emplace(*target, word);
      }
    }
  }

  std::vector<GameText> texts() {
    spreadShown();
    std::vector<const Candidate*> kept;
    for (const Candidate& candidate : candidates_) {
      if (candidate.variable.empty() || shownVariables_.contains(candidate.variable))
        kept.push_back(&candidate);
    }
    auto key = [&](const Candidate* c) {
      return std::tuple(fileOrder_.at(c->place.file), c->place.line, c->place.word);
    };
    std::stable_sort(kept.begin(), kept.end(),
                     [&](const Candidate* a, const Candidate* b) { return key(a) < key(b); });
    std::vector<GameText> texts;
    std::map<std::string, size_t> indexOf;
    for (const Candidate* candidate : kept) {
      auto [it, added] = indexOf.emplace(candidate->text, texts.size());
      if (added) texts.push_back({candidate->text, {}});
      std::vector<TextPlace>& places = texts[it->second].places;
      // A file that two scripts include is read twice.
      if (std::find(places.begin(), places.end(), candidate->place) == places.end())
        places.push_back(candidate->place);
    }
    return texts;
  }

 private:
  struct Candidate {
    TextPlace place;
    std::string text;
    std::string variable;  // written into this variable; empty when shown directly
  };

  // A variable whose value is copied into a shown variable is shown too.
  void spreadShown() {
    for (bool grew = true; grew;) {
      grew = false;
      for (const auto& [target, source] : flows_) {
        if (shownVariables_.contains(target)) grew = shownVariables_.insert(source).second || grew;
      }
    }
  }

  std::map<std::string, size_t> fileOrder_;
  std::vector<Candidate> candidates_;
  std::set<std::string> shownVariables_;
  std::set<std::pair<std::string, std::string>> flows_;  // (target, source)
};

std::string poQuoted(std::string_view utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out + "\"";
}

[[noreturn]] void failAt(const std::string& name, size_t line, const std::string& message) {
  throw tool::Failure(name + ":" + std::to_string(line) + ": " + message);
}

// The character that a PO escape "\c" stands for; '\0' for an escape PO files do not use.
char unescaped(char c) {
  switch (c) {
    case 'n':
      return '\n';
    case 't':
      return '\t';
    case 'r':
      return '\r';
    case '\\':
    case '"':
      return c;
    default:
      return '\0';
  }
}

// The text of a quoted PO string, its escapes undone.
std::string poUnquoted(std::string_view quoted, const std::string& name, size_t line) {
  while (!quoted.empty() && (quoted.back() == ' ' || quoted.back() == '\t'))
    quoted.remove_suffix(1);
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
    failAt(name, line, "expected a quoted string");
  std::string text;
  for (size_t at = 1; at + 1 < quoted.size(); ++at) {
    char c = quoted[at];
    if (c == '\\') {
      c = at + 2 < quoted.size() ? unescaped(quoted[++at]) : '\0';
      if (c == '\0') failAt(name, line, "unknown escape in a quoted string");
    }
    text += c;
  }
  return text;
}

// One PO entry as it is read.
struct PoEntry {
  std::string id;
  std::string translation;
  bool fuzzy = false;
  bool translated = false;  // its msgstr was seen
};

// The translation that replaces a literal: CP932 text the table keeps as one word.
std::string encodedTranslation(const std::string& id, const std::string& translation) {
  std::string entry = "entry \"" + id + "\": ";
  if (translation.find_first_of(",;\r\n") != std::string::npos) {
    throw tool::Failure(entry + "a translation may not hold \",\", \";\" or a line break, " +
                        "which would end the word in the script");
  }
  std::string cp932 = utf8ToCp932(translation);
  if (cp932ToUtf8(cp932) != translation) throw tool::Failure(entry + noCp932Form(translation));
  return cp932;
}

struct Replacement {
  size_t word;
  std::string original;  // the word as the script has it
  std::string translated;
};

// `line` (no line end) with the given words replaced. The line is cut into words by the
// table reader itself, so that words end where the player's reading ends them.
std::string replacedWords(std::string line, std::vector<Replacement> replacements,
                          const std::string& file, uint32_t number) {
  TableRows rows;
  parseTable(line, ArchiveSet(), rows);
  std::sort(replacements.begin(), replacements.end(),
            [](const Replacement& a, const Replacement& b) { return a.word > b.word; });
  for (const Replacement& replacement : replacements) {
    if (rows.size() != 1 || replacement.word >= rows[0].size() ||
        rows[0][replacement.word] != replacement.original) {
      failAt(cp932ToUtf8(file), number, "the line no longer holds the text to translate");
    }
    size_t offset = 0;
    for (size_t k = 0; k < replacement.word; ++k)
      offset += rows[0][k].size() + 1;
    line.replace(offset, replacement.original.size(), replacement.translated);
  }
  return line;
}

// The lines of a table's plain text, each without its CR LF; the last one may have none.
std::vector<std::string> tableLines(std::string_view plain) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t at; (at = plain.find("\r\n", start)) != std::string_view::npos; start = at + 2)
    lines.emplace_back(plain.substr(start, at - start));
  lines.emplace_back(plain.substr(start));
  return lines;
}

std::string translatedFile(const std::string& file,
                           const std::map<uint32_t, std::vector<Replacement>>& lineEdits,
                           const ArchiveSet& archives) {
  std::optional<std::string> bytes = ReadWholeFile(file, archives);
  if (!bytes) throw tool::Failure("cannot read " + cp932ToUtf8(file));
  bool scramble = isScrambled(*bytes);
  std::vector<std::string> lines = tableLines(scramble ? unscrambled(*bytes) : *bytes);
  for (const auto& [number, replacements] : lineEdits) {
    if (number == 0 || number > lines.size())
      failAt(cp932ToUtf8(file), number, "the file has no such line");
    lines[number - 1] = replacedWords(lines[number - 1], replacements, file, number);
  }
  std::string plain;
  for (size_t k = 0; k < lines.size(); ++k)
    plain += (k == 0 ? "" : "\r\n") + lines[k];
  return scramble ? scrambled(plain) : plain;
}

}  // namespace

std::vector<GameText> gameTexts(const CommandTable& commands,
                                const std::vector<std::string>& scripts, ArchiveSet& archives) {
  TextCollector collector;
  lintGame(commands, scripts, archives, [&](const FittingRow& row) { collector.visit(row); });
  return collector.texts();
}

std::string potFile(const std::vector<GameText>& texts) {
  std::string pot =
      "msgid \"\"\n"
      "msgstr \"\"\n"
      "\"Project-Id-Version: PACKAGE VERSION\\n\"\n"
      "\"PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\\n\"\n"
      "\"Last-Translator: FULL NAME <EMAIL@ADDRESS>\\n\"\n"
      "\"Language-Team: LANGUAGE <LL@li.org>\\n\"\n"
      "\"Language: \\n\"\n"
      "\"MIME-Version: 1.0\\n\"\n"
      "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
      "\"Content-Transfer-Encoding: 8bit\\n\"\n";
  for (const GameText& text : texts) {
    pot += "\n";
    std::string previous;
    for (const TextPlace& place : text.places) {
      std::string file = cp932ToUtf8(place.file);
      std::replace(file.begin(), file.end(), '\\', '/');
      std::string reference = "#: " + file + ":" + std::to_string(place.line) + "\n";
      if (reference != previous) pot += reference;  // two literals on one line
      previous = reference;
    }
    pot += "msgid " + poQuoted(cp932ToUtf8(text.text)) + "\nmsgstr \"\"\n";
  }
  return pot;
}

std::map<std::string, std::string> readPoFile(std::string_view po, const std::string& name) {
  std::map<std::string, std::string> translations;
  PoEntry entry;
  std::string* continued = nullptr;
  auto finish = [&] {
    if (entry.translated && !entry.fuzzy && !entry.id.empty() && !entry.translation.empty())
      translations[entry.id] = entry.translation;
    entry = {};
    continued = nullptr;
  };
  size_t number = 0;
  size_t start = 0;
  while (start <= po.size()) {
    size_t end = po.find('\n', start);
    std::string_view line = po.substr(start, end == std::string_view::npos ? po.npos : end - start);
    start = end == std::string_view::npos ? po.size() + 1 : end + 1;
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);  // a PO file saved with CR LF
    bool startsEntry = line.starts_with('#') || line.starts_with("msgid ");
    if (entry.translated && startsEntry) finish();
    if (line.empty()) {
      finish();
    } else if (line.starts_with("#,")) {
      entry.fuzzy = entry.fuzzy || line.find("fuzzy") != std::string_view::npos;
    } else if (line.starts_with('#')) {
      continue;  // comments, references and old entries
    } else if (line.starts_with("msgid ")) {
      entry.id = poUnquoted(line.substr(6), name, number);
      continued = &entry.id;
    } else if (line.starts_with("msgstr ") && continued == &entry.id) {
      entry.translation = poUnquoted(line.substr(7), name, number);
      entry.translated = true;
      continued = &entry.translation;
    } else if (line.starts_with('"') && continued) {
      *continued += poUnquoted(line, name, number);
    } else {
      failAt(name, number, "expected msgid, msgstr or a quoted string");
    }
  }
  finish();
  return translations;
}

std::map<std::string, std::string> translatedScripts(
    const std::vector<GameText>& texts, const std::map<std::string, std::string>& translations,
    const ArchiveSet& archives) {
  std::map<std::string, std::map<uint32_t, std::vector<Replacement>>> edits;
  for (const GameText& text : texts) {
    std::string id = cp932ToUtf8(text.text);
    auto translation = translations.find(id);
    if (translation == translations.end() || translation->second == id) continue;
    std::string literal = std::string(kLiteralTag) + encodedTranslation(id, translation->second);
    for (const TextPlace& place : text.places) {
      edits[place.file][place.line].push_back(
          {place.word, std::string(kLiteralTag) + text.text, literal});
    }
  }
  std::map<std::string, std::string> scripts;
  for (const auto& [file, lineEdits] : edits)
    scripts[file] = translatedFile(file, lineEdits, archives);
  return scripts;
}

}  // namespace avg
