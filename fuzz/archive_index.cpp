// Reads arbitrary bytes as an archive file: its index, then every member it lists.
#include <cstdio>

#include "script/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::FILE* file = ::fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!file) return 0;
  if (std::optional<avg::ArchiveIndex> index = avg::readArchiveIndex(file)) {
    for (const auto& [name, member] : *index)
      avg::readArchiveMember(file, member);
  }
  std::fclose(file);
  return 0;
}
