#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace avg {

class ArchiveSet;

using TableRow = std::vector<std::string>;
using TableRows = std::vector<TableRow>;

// Magic of a complement-scrambled table: the bytes BC B0 BB BA, then every byte XOR 0xFF.
constexpr uint32_t kScrambleMagic = 0xBABBB0BC;

bool isScrambled(std::string_view table);
// The scrambled form of a plain table, and the plain form of a scrambled one.
std::string scrambled(std::string_view plain);
std::string unscrambled(std::string_view table);

// Includes nested deeper than this are skipped, which also ends include cycles.
constexpr int kMaxIncludeDepth = 32;
// What one top-level read may include in all: once past any of these, further includes are
// skipped (with one line in the error log) and the rows read so far are kept.
constexpr size_t kMaxIncludedFiles = 16384;
constexpr size_t kMaxIncludedBytes = size_t{64} << 20;
constexpr size_t kMaxTableRows = 4'000'000;

// Where rows came from, for tools that point at lines: the files read (the top-level file
// first, then each include as it is read), each row's file and 1-based line, and the includes
// that could not be read.
struct TableOrigins {
  struct Place {
    uint32_t file = 0;  // index into files
    uint32_t line = 0;
    bool operator==(const Place&) const = default;
  };
  struct MissingInclude {
    Place at;
    std::string name;
  };
  std::vector<std::string> files;
  std::vector<Place> rows;
  std::vector<MissingInclude> missingIncludes;
};

// Reads a table file whole (plain file or member of `archives`) and appends its rows; false
// when the file cannot be read. Included tables are read the same way. With `origins`, the
// origin of every appended row is appended there too.
bool readTable(const std::string& name, const ArchiveSet& archives, TableRows& rows,
               TableOrigins* origins = nullptr);

// Parses a table already in memory and appends its rows; false only for an empty buffer.
bool parseTable(std::string_view buffer, const ArchiveSet& archives, TableRows& rows);

// Parses save text the same way, except that ";" and "~" are plain bytes: save text holds
// data only, no comments and no includes. False only for an empty buffer.
bool parseSaveTable(std::string_view buffer, TableRows& rows);

}  // namespace avg
