#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace avg {

// The base directory named by the XDG variable `variable` (XDG_DATA_HOME, XDG_STATE_HOME),
// else $HOME/`homeRelative`, the XDG base directory default.
std::filesystem::path xdgDirectory(const char* variable, const char* homeRelative);

// Where the writes of the game in `gameDir` (an absolute path) go when it cannot take them:
// `dataHome`/avgplayer/games/<its name>-<a short hash of its path>, one directory per game.
std::filesystem::path redirectedWriteDirectory(const std::filesystem::path& gameDir,
                                               const std::filesystem::path& dataHome);

// The directory the game's writes go to, empty for the game directory itself: `dataDir`
// when given, else the redirected one when `gameDir` cannot be written or is installed data
// (below `installedData`, which the package owns whoever runs the player).
std::string writeDirectoryFor(const std::filesystem::path& gameDir, const std::string& dataDir,
                              const std::filesystem::path& installedData);

// The games played last, most recent first, one absolute path a line in `file`.
std::vector<std::string> readRecentGames(const std::filesystem::path& file);
// Puts `gameDir` first in that list, keeping at most kMaxRecentGames; false when the file
// cannot be written.
constexpr size_t kMaxRecentGames = 8;
bool rememberGame(const std::filesystem::path& file, const std::string& gameDir);

}  // namespace avg
