#include "script/whole_file.h"

#include <cstdio>

#include "base/game_path.h"
#include "script/archive.h"

namespace avg {

std::optional<std::string> readPlainFile(const std::string& name) {
  std::optional<std::string> path = findGameFile(name);
  if (!path) return std::nullopt;
  FILE* file = std::fopen(path->c_str(), "rb");
  if (!file) return std::nullopt;
  std::string content;
  char buffer[65536];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    content.append(buffer, count);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return content;
}

std::optional<std::string> ReadWholeFile(const std::string& name, const ArchiveSet& archives) {
  if (std::optional<std::string> content = readPlainFile(name)) return content;
  return archives.read(name);
}

}  // namespace avg
