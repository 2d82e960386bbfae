#include "lint.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <set>

#include "base/game_path.h"
#include "base/text_encoding.h"
#include "script/archive.h"
#include "script/command_signature.h"
#include "script/command_table.h"
#include "script/field_tag.h"
#include "script/table_reader.h"
#include "script/values.h"
#include "script/whole_file.h"

namespace avg {
namespace {

struct Place {
  std::string file;
  uint32_t line = 0;
};

using Labels = std::map<std::string, Place>;

// A file that a script names by a literal string.
struct FileUse {
  Place at;
  std::string name;
  ArgRole role;
};

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The player's own variables, which it sets from config.ini, the menu bar and the display.
bool isSystemVariable(const std::string& field) {
  std::string_view name = std::string_view(field).substr(4);
  return fieldTagOf(field) == FieldTag::IntVariable &&
         (name.starts_with("Flag-") || name.starts_with("Volume-") || name == "Talk-Wait");
}

bool isVariableRead(ArgType type) {
  return type == ArgType::Int || type == ArgType::Float || type == ArgType::String;
}

bool isVariableWrite(ArgType type) {
  return type == ArgType::IntVariable || type == ArgType::FloatVariable ||
         type == ArgType::StringVariable;
}

bool allDigits(const std::string& text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](unsigned char c) { return std::isdigit(c) != 0; });
}

// What messages call a file of each role, and the files it lists.
struct RoleNoun {
  ArgRole role;
  const char* file;
  const char* listed;
};

constexpr RoleNoun kNouns[] = {{ArgRole::Script, "script", ""},
                               {ArgRole::Sprites, "sprite file", "picture"},
                               {ArgRole::Sounds, "sound list", "sound"},
                               {ArgRole::MusicList, "music list", "music"},
                               {ArgRole::VideoList, "video list", "video"},
                               {ArgRole::Archive, "archive", ""}};

const RoleNoun& nounOf(ArgRole role) {
  return *std::find_if(std::begin(kNouns), std::end(kNouns),
                       [role](const RoleNoun& noun) { return noun.role == role; });
}

class GameLint {
 public:
  GameLint(const CommandTable& commands, ArchiveSet& archives, const RowVisitor& visit)
      : commands_(commands), archives_(archives), visit_(visit) {}

  std::vector<LintFinding> run(const std::vector<std::string>& scripts) {
    for (const std::string& name : scripts)
      queueScript(name);
    while (!pending_.empty()) {
      std::string name = std::move(pending_.front());
      pending_.pop_front();
      lintScript(name);
    }
    for (const FileUse& use : files_)
      checkFile(use);
    reportUnwrittenVariables();
    return std::move(findings_);
  }

 private:
  void report(const Place& at, bool error, std::string message) {
    findings_.push_back({at.file, at.line, error, std::move(message)});
  }

  // Scripts are told apart by the file they resolve to, so that names written in another
  // letter case or encoding are read once.
  void queueScript(const std::string& name) {
    if (queued_.insert(lowered(findGameFile(name).value_or(name))).second) pending_.push_back(name);
  }

  void lintScript(const std::string& name) {
    TableRows rows;
    TableOrigins origins;
    if (!readTable(name, archives_, rows, &origins)) return;  // reported where it is named
    size_t first = findings_.size();
    auto placeOf = [&](const TableOrigins::Place& place) {
      return Place{origins.files[place.file], place.line};
    };
    reportMissingIncludes(origins);
    Labels labels;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (!rows[i][0].starts_with('#')) continue;
      auto [it, added] = labels.emplace(rows[i][0].substr(1), placeOf(origins.rows[i]));
      if (!added) {
        report(placeOf(origins.rows[i]), true,
               "duplicate label " + it->first + " (first at line " +
                   std::to_string(it->second.line) + " of " + it->second.file + ")");
      }
    }
    for (size_t i = 0; i < rows.size(); ++i) {
      if (!rows[i][0].starts_with('#'))
        checkRow(rows[i], placeOf(origins.rows[i]), labels, origins.files);
    }
    sortByLine(first, origins.files);
  }

  void reportMissingIncludes(const TableOrigins& origins) {
    for (const TableOrigins::MissingInclude& missing : origins.missingIncludes) {
      report({origins.files[missing.at.file], missing.at.line}, true,
             "include " + missing.name + " not found");
    }
  }

  // Orders the findings from `first` on by file (in the order read) and line.
  void sortByLine(size_t first, const std::vector<std::string>& files) {
    auto key = [&](const LintFinding& finding) {
      return std::pair(std::find(files.begin(), files.end(), finding.file) - files.begin(),
                       finding.line);
    };
    std::stable_sort(findings_.begin() + static_cast<ptrdiff_t>(first), findings_.end(),
                     [&](const LintFinding& a, const LintFinding& b) { return key(a) < key(b); });
  }

  const std::vector<SignatureForm>& formsOf(uint32_t code, const CommandDef& def) {
    auto it = forms_.find(code);
    if (it == forms_.end()) it = forms_.emplace(code, parseSignature(def.signature)).first;
    return it->second;
  }

  void checkRow(const TableRow& row, const Place& at, const Labels& labels,
                const std::vector<std::string>& scriptFiles) {
    const CommandDef* def = commands_.find(fourCCOf(row[0]));
    if (!def) {
      report(at, true, "unknown command " + row[0]);
      return;
    }
    CommandCheck check = checkCommand(formsOf(fourCCOf(row[0]), *def), row);
    for (std::string& error : check.errors)
      report(at, true, std::move(error));
    if (!check.form || !check.countFits) return;
    if (visit_) visit_({row, *check.form, at.file, at.line, scriptFiles});
    if (check.form->words.empty()) return;
    const std::vector<SignatureWord>& expected = check.form->words;
    for (size_t k = 1; k < row.size(); ++k)
      noteWord(expected[std::min(k, expected.size()) - 1], row[k], at, labels);
  }

  // Follows what one argument names or uses: labels, files, variables.
  void noteWord(const SignatureWord& expected, const std::string& word, const Place& at,
                const Labels& labels) {
    if (expected.keyword || !fitsType(expected.type, word)) return;
    FieldTag tag = fieldTagOf(word);
    if (isVariableWrite(expected.type) && tag != FieldTag::Builtin) written_.insert(word);
    bool variable = isWritable(tag) && tag != FieldTag::Builtin;
    if (isVariableRead(expected.type) && variable && read_.insert(word).second)
      readOrder_.push_back({word, at});
    if (expected.role == ArgRole::None) return;
    bool literal = tag == FieldTag::StringLiteral;
    if (expected.type != ArgType::Text && !literal) return;  // known only when it runs
    std::string name = literal ? word.substr(4) : word;
    if (expected.role == ArgRole::Label) {
      if (!labels.contains(name)) report(at, true, "label " + name + " does not exist");
      return;
    }
    if (expected.role == ArgRole::Script) queueScript(name);
    if (expected.role == ArgRole::Archive) archives_.add(name);
    files_.push_back({at, name, expected.role});
  }

  void checkFile(const FileUse& use) {
    // Archives and pictures are read as plain files only, the rest from archives as well.
    bool found = use.role == ArgRole::Archive ? findGameFile(use.name).has_value()
                                              : ReadWholeFile(use.name, archives_).has_value();
    if (!found) {
      report(use.at, true, std::string(nounOf(use.role).file) + " " + use.name + " not found");
    } else if (use.role != ArgRole::Script && use.role != ArgRole::Archive &&
               checkedLists_.insert(lowered(use.name)).second) {
      checkListedFiles(use);
    }
  }

  // The files that a sprite file, sound list, music list or video list names in field 1.
  void checkListedFiles(const FileUse& use) {
    TableRows rows;
    TableOrigins origins;
    readTable(use.name, archives_, rows, &origins);
    reportMissingIncludes(origins);
    bool sprites = use.role == ArgRole::Sprites;
    for (size_t i = 0; i < rows.size(); ++i) {
      const TableRow& row = rows[i];
      bool header = row[0].starts_with('#');
      // Music lists for CD audio name track numbers; sprite headers name animations.
      if (row.size() < 2 || row[1].empty() || header || allDigits(row[1])) continue;
      bool found =
          sprites ? findGameFile(row[1]).has_value() : ReadWholeFile(row[1], archives_).has_value();
      if (!found) {
        Place at{origins.files[origins.rows[i].file], origins.rows[i].line};
        report(at, true, std::string(nounOf(use.role).listed) + " " + row[1] + " not found");
      }
    }
  }

  void reportUnwrittenVariables() {
    for (const auto& [name, at] : readOrder_) {
      if (!written_.contains(name) && !isSystemVariable(name))
        report(at, false, name + " is read but never written");
    }
  }

  const CommandTable& commands_;
  ArchiveSet& archives_;
  const RowVisitor& visit_;
  std::map<uint32_t, std::vector<SignatureForm>> forms_;
  std::deque<std::string> pending_;
  std::set<std::string> queued_;
  std::vector<FileUse> files_;
  std::set<std::string> checkedLists_;
  std::set<std::string> read_;
  std::vector<std::pair<std::string, Place>> readOrder_;
  std::set<std::string> written_;
  std::vector<LintFinding> findings_;
};

}  // namespace

std::vector<LintFinding> lintGame(const CommandTable& commands,
                                  const std::vector<std::string>& scripts, ArchiveSet& archives,
                                  const RowVisitor& visit) {
  return GameLint(commands, archives, visit).run(scripts);
}

std::string formatFinding(const LintFinding& finding, const std::string& directory) {
  std::string file = cp932ToUtf8(finding.file);
  std::replace(file.begin(), file.end(), '\\', '/');
  std::string line = directory + file + ":" + std::to_string(finding.line) +
                     (finding.error ? ": error: " : ": warning: ") + cp932ToUtf8(finding.message);
  // One finding, one line: a CR or LF that a field holds is shown as a blank.
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return line;
}

}  // namespace avg
