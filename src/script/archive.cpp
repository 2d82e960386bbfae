#include "script/archive.h"

#include <cstring>

#include "base/game_path.h"
#include "save/packed_block.h"

namespace avg {
namespace {

using namespace archive_format;

std::optional<uint64_t> fileSize(std::FILE* file) {
  if (::fseeko(file, 0, SEEK_END) != 0) return std::nullopt;
  off_t size = ::ftello(file);
  if (size < 0) return std::nullopt;
  return static_cast<uint64_t>(size);
}

std::optional<std::string> readAt(std::FILE* file, uint64_t offset, size_t size) {
  if (::fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) return std::nullopt;
  std::string bytes(size, '\0');
  if (std::fread(bytes.data(), 1, size, file) != size) return std::nullopt;
  return bytes;
}

std::string recordName(const char* record) {
  return std::string(record, ::strnlen(record, kNameSize));
}

// The members listed by an unpacked index whose member area starts at `area`.
std::optional<ArchiveIndex> parseIndex(std::string_view index, uint64_t area, uint64_t size) {
  if (index.size() < 4) return std::nullopt;
  const uint64_t count = readLE32(index.data());
  if (count > (index.size() - 4) / kRecordSize) return std::nullopt;
  ArchiveIndex members;
  for (uint64_t i = 0; i < count; ++i) {
    const char* record = index.data() + 4 + i * kRecordSize;
    ArchiveMember member{area + readLE32(record + kNameSize), readLE32(record + kNameSize + 4)};
    if (member.offset + member.size > size) return std::nullopt;
    members[recordName(record)] = member;
  }
  return members;
}

void appendRecord(std::string& index, const std::string& name, uint32_t offset, uint32_t size) {
  std::string field(kNameSize, '\0');
  name.copy(field.data(), kNameSize - 1);
  index += field;
  appendLE32(index, offset);
  appendLE32(index, size);
}

}  // namespace

std::optional<ArchiveIndex> readArchiveIndex(std::FILE* file) {
  std::optional<uint64_t> size = fileSize(file);
  if (!size || *size < sizeof kMagic + 4) return std::nullopt;
  std::optional<std::string> head = readAt(file, 0, sizeof kMagic + 4);
  if (!head || std::memcmp(head->data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
  const uint64_t indexSize = readLE32(head->data() + sizeof kMagic);
  if (indexSize > *size - sizeof kMagic) return std::nullopt;
  std::optional<std::string> block = readAt(file, sizeof kMagic, indexSize);
  if (!block) return std::nullopt;
  std::optional<std::string> index = unpackBlock(*block);
  if (!index) return std::nullopt;
  return parseIndex(*index, sizeof kMagic + indexSize, *size);
}

std::optional<std::string> readArchiveMember(std::FILE* file, const ArchiveMember& member) {
  std::optional<std::string> block = readAt(file, member.offset, member.size);
  if (!block) return std::nullopt;
  return unpackBlock(*block);
}

std::string buildArchive(const std::vector<PackedMember>& members) {
  std::string index;
  appendLE32(index, static_cast<uint32_t>(members.size()));
  uint64_t offset = 0;
  for (const PackedMember& member : members) {
    appendRecord(index, member.name, static_cast<uint32_t>(offset),
                 static_cast<uint32_t>(member.block.size()));
    offset += member.block.size();
  }
  std::string archive(kMagic, sizeof kMagic);
  archive += packBlock(index, PackRequest::CompressInverted);
  for (const PackedMember& member : members)
    archive += member.block;
  return archive;
}

bool ArchiveSet::add(const std::string& fileName) {
  std::optional<std::string> path = findGameFile(fileName);
  std::FILE* file = path ? std::fopen(path->c_str(), "rb") : nullptr;
  return file && add(fileName, file);
}

bool ArchiveSet::add(const std::string& fileName, std::FILE* file) {
  Archive& archive = archives_[fileName];
  archive.file.reset(file);
  std::optional<ArchiveIndex> index = readArchiveIndex(file);
  if (!index) {
    archive.file.reset();
    archive.members.clear();
    return false;
  }
  archive.members = std::move(*index);
  return true;
}

std::optional<std::string> ArchiveSet::read(const std::string& name) const {
  for (const auto& [fileName, archive] : archives_) {
    auto member = archive.members.find(name);
    if (member != archive.members.end())
      return readArchiveMember(archive.file.get(), member->second);
  }
  return std::nullopt;
}

}  // namespace avg
