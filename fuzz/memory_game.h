#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "script/archive.h"

namespace avg::fuzz {

// A game's files in memory, served as the members of one archive. A fuzz input names its
// files with lines "~~~ NAME" (LF-ended); the bytes before the first such line are the file
// `firstName`. Plain files of the working directory are still found first, so the targets
// run in an empty one.
class MemoryGame {
 public:
  MemoryGame(std::string_view input, const std::string& firstName);
  ~MemoryGame() = default;
  MemoryGame(const MemoryGame&) = delete;
  MemoryGame& operator=(const MemoryGame&) = delete;

  const ArchiveSet& archives() const { return archives_; }
  // Registers the same archive in another set (one the code under test owns).
  void addTo(ArchiveSet& set) const;

 private:
  std::string image_;  // the archive bytes, read through a stream over them
  ArchiveSet archives_;
};

// Splits an input into its first byte (a choice for the target) and the rest.
inline uint8_t takeByte(std::string_view& input) {
  if (input.empty()) return 0;
  uint8_t value = static_cast<uint8_t>(input[0]);
  input.remove_prefix(1);
  return value;
}

}  // namespace avg::fuzz
