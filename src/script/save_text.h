#pragma once
#include <concepts>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "script/table_reader.h"

namespace avg {

// Save text: rows of fields joined by "," and ended by CR LF, with no quoting. A row whose
// first field starts with "#" opens a section; its second field, if any, counts records.

// Writes save text row by row into one buffer. Integers are written in decimal, floats as
// "%f" prints them, flags as "1" and "0". A row that would be an empty line (no fields, or
// one empty field) is left out.
class SaveWriter {
 public:
  // Ends the row before, if any, and starts a new one.
  SaveWriter& row();
  SaveWriter& field(std::string_view text);
  SaveWriter& field(float value);
  SaveWriter& field(std::integral auto value) { return number(static_cast<int64_t>(value)); }
  SaveWriter& fields(const TableRow& row);
  // The text, with its last row ended.
  std::string finish();

 private:
  SaveWriter& number(int64_t value);
  void separate();
  void endRow();

  std::string text_;
  size_t rowStart_ = 0;
  bool rowOpen_ = false;
  bool firstField_ = true;
};

// A number in the save text's float format ("%f").
std::string saveFloat(float value);

// Logs a value that holds a line break, which the format cannot carry.
void noteUnsavableText(std::string_view what, std::string_view value);

// The rows of one section after its header, read one at a time. It never reads past the
// next section row, whatever the header's count says.
class SaveSection {
 public:
  SaveSection(const TableRow& header, const TableRow* begin, const TableRow* end)
      : header_(&header), next_(begin), end_(end) {}
  // The record count of the header row, bounded by the rows the section holds.
  size_t count() const;
  size_t rowsLeft() const { return static_cast<size_t>(end_ - next_); }
  // The next row, or none at the end of the section.
  const TableRow* next() { return next_ == end_ ? nullptr : next_++; }
  // The next row, or an empty row at the end of the section.
  const TableRow& take();

 private:
  const TableRow* header_;
  const TableRow* next_;
  const TableRow* end_;
};

// Parsed save text with its sections indexed by name (the later of two rows of one name).
class SaveText {
 public:
  // False for empty content.
  bool parse(std::string_view content);
  std::optional<SaveSection> section(std::string_view name) const;
  // True when any of the sections that a save writes is present.
  bool hasSaveSections() const;

 private:
  TableRows rows_;
  std::map<std::string, size_t, std::less<>> sections_;  // name without "#" to row index
  std::vector<size_t> starts_;                           // every section row, ascending
};

// Field access that treats missing fields as empty text or 0.
std::string_view fieldAt(const TableRow& row, size_t k);
int32_t intAt(const TableRow& row, size_t k);
float floatAt(const TableRow& row, size_t k);
// Free text that may have held ",": the fields from `first` to the end of the row, minus
// `trailing` fields at the end, joined with ",".
std::string textAt(const TableRow& row, size_t first, size_t trailing = 0);

}  // namespace avg
