#include "base/game_files.h"

#include <filesystem>

#include "base/game_path.h"

namespace avg {

std::optional<std::string> GameFiles::find(std::string_view name) const {
  if (!writeDirectory_.empty()) {
    if (std::optional<std::string> written = findGameFileIn(writeDirectory_, name)) return written;
  }
  return findGameFile(name);
}

std::optional<std::string> GameFiles::read(std::string_view name) const {
  if (!writeDirectory_.empty()) {
    if (std::optional<std::string> path = findGameFileIn(writeDirectory_, name)) {
      if (std::optional<std::string> content = readRegularFile(*path)) return content;
    }
  }
  return readPlainFile(name);
}

std::string GameFiles::outputPath(std::string_view name) const {
  if (writeDirectory_.empty()) return gameOutputPath(name);
  std::string path = gameOutputPathIn(writeDirectory_, name);
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  return path;
}

}  // namespace avg
