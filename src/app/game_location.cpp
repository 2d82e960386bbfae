#include "app/game_location.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "base/atomic_file.h"
#include "base/game_path.h"

namespace avg {
namespace {

// FNV-1a: short, stable across runs and builds, enough to tell two games of one name apart.
uint32_t pathHash(const std::string& text) {
  uint32_t hash = 2166136261u;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 16777619u;
  }
  return hash;
}

bool isBelow(const std::filesystem::path& path, const std::filesystem::path& root) {
  return !root.empty() &&
         std::mismatch(root.begin(), root.end(), path.begin(), path.end()).first == root.end();
}

}  // namespace

std::filesystem::path xdgDirectory(const char* variable, const char* homeRelative) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home ? home : "/") / homeRelative;
}

std::filesystem::path redirectedWriteDirectory(const std::filesystem::path& gameDir,
                                               const std::filesystem::path& dataHome) {
  std::filesystem::path dir = gameDir.lexically_normal();
  if (!dir.has_filename()) dir = dir.parent_path();
  char hash[16];
  std::snprintf(hash, sizeof hash, "%08x", pathHash(dir.string()));
  std::string name = dir.filename().empty() ? "game" : dir.filename().string();
  return dataHome / "avgplayer" / "games" / (name + "-" + hash);
}

std::string writeDirectoryFor(const std::filesystem::path& gameDir, const std::string& dataDir,
                              const std::filesystem::path& installedData) {
  if (!dataDir.empty()) return std::filesystem::absolute(dataDir).lexically_normal().string();
  std::error_code error;
  std::filesystem::path dir = std::filesystem::weakly_canonical(gameDir, error);
  if (error) dir = std::filesystem::absolute(gameDir);
  std::filesystem::path installed = std::filesystem::weakly_canonical(installedData, error);
  if (::access(dir.c_str(), W_OK) == 0 && (error || !isBelow(dir, installed))) return {};
  return redirectedWriteDirectory(dir, xdgDirectory("XDG_DATA_HOME", ".local/share")).string();
}

std::vector<std::string> readRecentGames(const std::filesystem::path& file) {
  std::vector<std::string> games;
  std::istringstream lines(readRegularFile(file.string()).value_or(""));
  for (std::string line; std::getline(lines, line) && games.size() < kMaxRecentGames;) {
    if (!line.empty() && std::find(games.begin(), games.end(), line) == games.end())
      games.push_back(line);
  }
  return games;
}

bool rememberGame(const std::filesystem::path& file, const std::string& gameDir) {
  std::vector<std::string> games = readRecentGames(file);
  std::erase(games, gameDir);
  games.insert(games.begin(), gameDir);
  if (games.size() > kMaxRecentGames) games.resize(kMaxRecentGames);
  std::string text;
  for (const std::string& game : games)
    text += game + "\n";
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);
  return replaceFileAtomically(file.string(), text);
}

}  // namespace avg
