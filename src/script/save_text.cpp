#include "script/save_text.h"

#include <algorithm>
#include <charconv>

#include "base/error_log.h"
#include "script/literals.h"

namespace avg {
namespace {

// Every section a save writes, so that content holding none of them can be refused.
constexpr std::string_view kSaveSections[] = {
    "DATE",       "SCENE",      "MENU",      "PROCESS", "THREAD",  "VARIABLE_N",
    "VARIABLE_F", "VARIABLE_S", "ARRAY_N",   "ARRAY_F", "ARRAY_S", "MUSIC",
    "SOUND",      "SPRITE",     "OBJECT_2D", "TEXT",    "LOG",     "EDIT"};

bool opensSection(const TableRow& row) {
  return !row.empty() && row[0].starts_with('#');
}

// Longest "%f" text of a float: 39 digits, sign, point and six decimals.
constexpr size_t kFloatTextSize = 48;

size_t writeFloat(float value, char* out) {
  // Fixed notation with six decimals, exactly as "%f" prints the value widened to double.
  return std::to_chars(out, out + kFloatTextSize, static_cast<double>(value),
                       std::chars_format::fixed, 6)
             .ptr -
         out;
}

}  // namespace

SaveWriter& SaveWriter::row() {
  endRow();
  rowStart_ = text_.size();
  rowOpen_ = true;
  firstField_ = true;
  return *this;
}

void SaveWriter::endRow() {
  if (rowOpen_ && text_.size() > rowStart_) text_ += "\r\n";
  rowOpen_ = false;
}

void SaveWriter::separate() {
  if (!firstField_) text_ += ',';
  firstField_ = false;
}

SaveWriter& SaveWriter::field(std::string_view text) {
  separate();
  text_ += text;
  return *this;
}

SaveWriter& SaveWriter::field(float value) {
  separate();
  size_t at = text_.size();
  text_.resize(at + kFloatTextSize);
  text_.resize(at + writeFloat(value, text_.data() + at));
  return *this;
}

SaveWriter& SaveWriter::number(int64_t value) {
  separate();
  char digits[24];
  text_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  return *this;
}

SaveWriter& SaveWriter::fields(const TableRow& row) {
  for (const std::string& text : row)
    field(text);
  return *this;
}

std::string SaveWriter::finish() {
  endRow();
  return std::move(text_);
}

std::string saveFloat(float value) {
  char text[kFloatTextSize];
  return std::string(text, writeFloat(value, text));
}

void noteUnsavableText(std::string_view what, std::string_view value) {
  if (value.find_first_of("\r\n") == std::string_view::npos) return;
  writeErrorLogf("save: the line break in %.*s is lost", static_cast<int>(what.size()),
                 what.data());
}

size_t SaveSection::count() const {
  int32_t count = intAt(*header_, 1);
  return count <= 0 ? 0 : std::min(static_cast<size_t>(count), rowsLeft());
}

const TableRow& SaveSection::take() {
  static const TableRow kNoRow;
  const TableRow* row = next();
  return row ? *row : kNoRow;
}

bool SaveText::parse(std::string_view content) {
  rows_.clear();
  sections_.clear();
  starts_.clear();
  if (!parseSaveTable(content, rows_)) return false;
  for (size_t k = 0; k < rows_.size(); ++k) {
    if (!opensSection(rows_[k])) continue;
    sections_[rows_[k][0].substr(1)] = k;
    starts_.push_back(k);
  }
  return true;
}

std::optional<SaveSection> SaveText::section(std::string_view name) const {
  auto it = sections_.find(name);
  if (it == sections_.end()) return std::nullopt;
  size_t start = it->second;
  auto after = std::upper_bound(starts_.begin(), starts_.end(), start);
  size_t end = after == starts_.end() ? rows_.size() : *after;
  return SaveSection(rows_[start], rows_.data() + start + 1, rows_.data() + end);
}

bool SaveText::hasSaveSections() const {
  return std::any_of(std::begin(kSaveSections), std::end(kSaveSections),
                     [this](std::string_view name) { return sections_.count(name) != 0; });
}

std::string_view fieldAt(const TableRow& row, size_t k) {
  return k < row.size() ? std::string_view(row[k]) : std::string_view();
}

int32_t intAt(const TableRow& row, size_t k) {
  return parseDecimalInt(fieldAt(row, k));
}

float floatAt(const TableRow& row, size_t k) {
  return parseDecimalFloat(fieldAt(row, k));
}

std::string textAt(const TableRow& row, size_t first, size_t trailing) {
  std::string text;
  if (row.size() < first + trailing) return text;
  for (size_t k = first; k + trailing < row.size(); ++k) {
    if (k > first) text += ',';
    text += row[k];
  }
  return text;
}

}  // namespace avg
