#include "memory_game.h"

#include <cstdio>
#include <vector>

#include "save/packed_block.h"

namespace avg::fuzz {
namespace {

constexpr std::string_view kMarker = "\n~~~ ";

std::vector<PackedMember> splitFiles(std::string_view input, const std::string& firstName) {
  std::vector<PackedMember> members;
  std::string name = firstName;
  while (true) {
    size_t marker = input.find(kMarker);
    std::string_view content = input.substr(0, marker);
    // Stored blocks: packing costs nothing, and the archive reader is fuzzed on its own.
    members.push_back({name, packBlock(content, PackRequest::StoreInverted)});
    if (marker == std::string_view::npos) break;
    input.remove_prefix(marker + kMarker.size());
    size_t end = input.find('\n');
    name = std::string(input.substr(0, end));
    if (name.size() >= archive_format::kNameSize) name.resize(archive_format::kNameSize - 1);
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  }
  return members;
}

}  // namespace

MemoryGame::MemoryGame(std::string_view input, const std::string& firstName)
    : image_(buildArchive(splitFiles(input, firstName))) {
  addTo(archives_);
}

void MemoryGame::addTo(ArchiveSet& set) const {
  std::FILE* file = ::fmemopen(const_cast<char*>(image_.data()), image_.size(), "rb");
  if (file) set.add("memory.arc", file);
}

}  // namespace avg::fuzz
