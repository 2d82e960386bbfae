#include "script/table_reader.h"

#include "base/byte_order.h"
#include "base/error_log.h"
#include "base/text_encoding.h"
#include "script/whole_file.h"

namespace avg {
namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

std::string complemented(std::string_view bytes) {
  std::string out(bytes);
  for (char& c : out)
    c = static_cast<char>(~c);
  return out;
}

// Undoes the complement scramble when the buffer starts with its magic.
std::string_view plainTable(std::string_view buffer, std::string& storage) {
  if (!isScrambled(buffer)) return buffer;
  storage = unscrambled(buffer);
  return storage;
}

// What one top-level read may still include. The depth limit alone bounds nesting, not work:
// a file including itself twice would be read 2^32 times.
class IncludeBudget {
 public:
  explicit IncludeBudget(const TableRows& rows) : rows_(rows), firstRow_(rows.size()) {}

  // Whether `name` of `bytes` may still be included; the first refusal writes one log line.
  bool allows(const std::string& name, size_t bytes) {
    if (exhausted_) return false;
    files_ += 1;
    bytes_ += bytes;
    exhausted_ = files_ > kMaxIncludedFiles || bytes_ > kMaxIncludedBytes ||
                 rows_.size() - firstRow_ >= kMaxTableRows;
    if (exhausted_) writeErrorLogf("Include budget exhausted at %s", cp932ToUtf8(name).c_str());
    return !exhausted_;
  }

 private:
  const TableRows& rows_;
  size_t firstRow_;
  size_t files_ = 0;
  size_t bytes_ = 0;
  bool exhausted_ = false;
};

class TableParser {
 public:
  TableParser(const ArchiveSet* archives, TableRows& rows, IncludeBudget& budget, int depth,
              TableOrigins* origins)
      : archives_(archives), rows_(rows), budget_(budget), depth_(depth), origins_(origins) {
    if (origins_) file_ = static_cast<uint32_t>(origins_->files.size() - 1);
  }

  void parse(std::string_view text) {
    size_t p = 0;
    size_t fieldStart = 0;
    while (p < text.size()) {
      char c = text[p];
      if (isShiftJisLeadByte(static_cast<unsigned char>(c))) {
        // A lead byte at the end or before CR stands alone, so the line end stays intact.
        p += (p + 1 < text.size() && text[p + 1] != kCR) ? 2 : 1;
      } else if (c == kCR && p + 1 < text.size() && text[p + 1] == kLF) {
        std::string_view field = text.substr(fieldStart, p - fieldStart);
        if (!field.empty() || !row_.empty()) finishRow(field);
        p += 2;
        fieldStart = p;
        ++line_;
      } else if (c == ',') {
        row_.emplace_back(text.substr(fieldStart, p - fieldStart));
        ++p;
        fieldStart = p;
      } else if (c == ';' && archives_) {
        std::string_view field = text.substr(fieldStart, p - fieldStart);
        if (!field.empty() || !row_.empty()) {
          row_.emplace_back(field);
          pushRow();
        }
        p = skipComment(text, p);
        fieldStart = p;
      } else {
        ++p;
      }
    }
    std::string_view field = text.substr(fieldStart, text.size() - fieldStart);
    if (!field.empty() || !row_.empty()) finishRow(field);
  }

 private:
  // Ends the row with its last field; a lone "~name" field is an include instead.
  void finishRow(std::string_view field) {
    if (archives_ && row_.empty() && !field.empty() && field[0] == '~') {
      include(std::string(field.substr(1)));
      return;
    }
    row_.emplace_back(field);
    pushRow();
  }

  void pushRow() {
    if (origins_) origins_->rows.push_back({file_, line_});
    rows_.push_back(std::move(row_));
    row_.clear();
  }

  void include(const std::string& name) {
    if (depth_ >= kMaxIncludeDepth) return;
    std::optional<std::string> content = ReadWholeFile(name, *archives_);
    if (!content && origins_) origins_->missingIncludes.push_back({{file_, line_}, name});
    if (!content || !budget_.allows(name, content->size())) return;
    if (origins_) origins_->files.push_back(name);
    std::string storage;
    TableParser(archives_, rows_, budget_, depth_ + 1, origins_)
        .parse(plainTable(*content, storage));
  }

  // Skips past the next CR (a line end) and an LF right after it.
  size_t skipComment(std::string_view text, size_t p) {
    size_t cr = text.find(kCR, p);
    if (cr == std::string_view::npos) return text.size();
    ++line_;
    p = cr + 1;
    if (p < text.size() && text[p] == kLF) ++p;
    return p;
  }

  // None for save text, which has neither comments nor includes.
  const ArchiveSet* archives_;
  TableRows& rows_;
  IncludeBudget& budget_;
  TableRow row_;
  int depth_;
  // Filled only when a tool asks where rows came from.
  TableOrigins* origins_;
  uint32_t file_ = 0;
  uint32_t line_ = 1;
};

// Parses one top-level text; without archives it is save text: no includes, no comments.
void parseTopLevel(std::string_view text, const ArchiveSet* archives, TableRows& rows,
                   TableOrigins* origins = nullptr) {
  IncludeBudget budget(rows);
  TableParser(archives, rows, budget, 0, origins).parse(text);
}

}  // namespace

bool isScrambled(std::string_view table) {
  return table.size() >= 4 && readLE32(table.data()) == kScrambleMagic;
}

std::string scrambled(std::string_view plain) {
  std::string magic;
  appendLE32(magic, kScrambleMagic);
  return magic + complemented(plain);
}

std::string unscrambled(std::string_view table) {
  return complemented(table.substr(4));
}

bool parseTable(std::string_view buffer, const ArchiveSet& archives, TableRows& rows) {
  if (buffer.empty()) return false;
  std::string storage;
  parseTopLevel(plainTable(buffer, storage), &archives, rows);
  return true;
}

bool parseSaveTable(std::string_view buffer, TableRows& rows) {
  if (buffer.empty()) return false;
  parseTopLevel(buffer, nullptr, rows);
  return true;
}

bool readTable(const std::string& name, const ArchiveSet& archives, TableRows& rows,
               TableOrigins* origins) {
  std::optional<std::string> content = ReadWholeFile(name, archives);
  if (!content) return false;
  if (origins) origins->files.push_back(name);
  std::string storage;
  parseTopLevel(plainTable(*content, storage), &archives, rows, origins);
  return true;
}

}  // namespace avg
