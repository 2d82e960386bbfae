#pragma once
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace avg {

// A packed archive: an 8-byte magic, the index as a packed block, then one packed block per
// member. The unpacked index is a 32-bit count and that many 268-byte records: a name of up
// to 260 bytes ended by a zero byte, the member's offset from the end of the index and the
// size of its block.
namespace archive_format {
constexpr char kMagic[8] = {'\xBE', '\xAD', '\xBC', '\xB7', '\xB6', '\xA9', '\xBA', '\xFF'};
constexpr size_t kNameSize = 260;
constexpr size_t kRecordSize = kNameSize + 8;
}  // namespace archive_format

struct ArchiveMember {
  uint64_t offset = 0;  // from the start of the file
  uint32_t size = 0;    // of the member's packed block
};
using ArchiveIndex = std::map<std::string, ArchiveMember>;

// Reads the index of an open archive file; nullopt when the magic is wrong, the index is
// not a valid packed block, or a record is cut short or points outside the file. A name
// that fills all 260 bytes is taken whole; a name listed twice keeps its later record.
std::optional<ArchiveIndex> readArchiveIndex(std::FILE* file);

// Reads and unpacks one member; nullopt when its block cannot be read or is invalid.
std::optional<std::string> readArchiveMember(std::FILE* file, const ArchiveMember& member);

// A member's packed block under its name, for building archives.
struct PackedMember {
  std::string name;
  std::string block;
};
// The bytes of an archive holding `members` in the given order. Names must be shorter than
// 260 bytes.
std::string buildArchive(const std::vector<PackedMember>& members);

// The registered archives, searched in ascending byte order of their file names. Each
// archive's file stays open while it is registered. The script engine owns the set that its
// scripts register archives in.
class ArchiveSet {
 public:
  // Registers (or registers again) an archive file. False when it cannot be opened or is not
  // a valid archive; a file that opens stays registered in that case, with no members.
  bool add(const std::string& fileName);
  // Registers an archive already open (a file or a stream over memory) under `fileName`,
  // taking the stream over; the same results as above.
  bool add(const std::string& fileName, std::FILE* file);
  void clear() { archives_.clear(); }
  // The content of the member `name` of the first archive listing it; nullopt when none
  // does or when that member's block is invalid.
  std::optional<std::string> read(const std::string& name) const;

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  struct Archive {
    std::unique_ptr<std::FILE, FileCloser> file;
    ArchiveIndex members;
  };
  std::map<std::string, Archive> archives_;
};

}  // namespace avg
