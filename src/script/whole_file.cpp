#include "script/whole_file.h"

#include "base/game_files.h"
#include "base/game_path.h"
#include "script/archive.h"

namespace avg {

std::optional<std::string> ReadWholeFile(const std::string& name, const ArchiveSet& archives) {
  if (std::optional<std::string> content = readPlainFile(name)) return content;
  return archives.read(name);
}

std::optional<std::string> ReadWholeFile(const std::string& name, const ArchiveSet& archives,
                                         const GameFiles& files) {
  if (std::optional<std::string> content = files.read(name)) return content;
  return archives.read(name);
}

}  // namespace avg
