#include "script/whole_file.h"

#include "base/game_path.h"
#include "script/archive.h"

namespace avg {

std::optional<std::string> ReadWholeFile(const std::string& name, const ArchiveSet& archives) {
  if (std::optional<std::string> content = readPlainFile(name)) return content;
  return archives.read(name);
}

}  // namespace avg
