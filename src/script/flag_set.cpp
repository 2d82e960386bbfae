#include "script/flag_set.h"

#include <filesystem>
#include <optional>

#include "base/atomic_file.h"
#include "save/packed_block.h"
#include "script/whole_file.h"

namespace avg {
namespace {

// Each name as a 32-bit little-endian length, its bytes and a zero byte.
std::string serialise(const std::set<std::string>& names) {
  size_t size = 0;
  for (const std::string& name : names)
    size += name.size() + 5;
  std::string raw;
  raw.reserve(size);
  for (const std::string& name : names) {
    appendLE32(raw, static_cast<uint32_t>(name.size()));
    raw += name;
    raw += '\0';
  }
  return raw;
}

// Reads entries until the content ends; an entry cut short ends the reading.
void parse(std::string_view raw, std::set<std::string>& names) {
  while (raw.size() >= 4) {
    uint32_t length = readLE32(raw.data());
    raw.remove_prefix(4);
    if (length > raw.size()) return;
    names.insert(std::string(raw.substr(0, length)));
    raw.remove_prefix(std::min<size_t>(raw.size(), size_t{length} + 1));
  }
}

void createDirectoriesOf(const std::string& path) {
  std::filesystem::path directory = std::filesystem::path(path).parent_path();
  std::error_code ignored;
  if (!directory.empty()) std::filesystem::create_directories(directory, ignored);
}

}  // namespace

void PersistentFlagSet::set(const std::string& name) {
  if (names_.insert(name).second) save();
}

void PersistentFlagSet::clear(const std::string& name) {
  if (names_.erase(name)) save();
}

void PersistentFlagSet::load(const ArchiveSet& archives) {
  names_.clear();
  std::optional<std::string> file = ReadWholeFile(path_, archives, files_);
  if (!file) {
    createDirectoriesOf(files_.outputPath(path_));
    return;
  }
  if (std::optional<std::string> raw = unpackBlock(*file)) parse(*raw, names_);
}

void PersistentFlagSet::save() const {
  if (path_.empty()) return;
  replaceFileAtomically(files_.outputPath(path_),
                        packBlock(serialise(names_), PackRequest::CompressInverted));
}

}  // namespace avg
