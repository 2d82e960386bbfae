#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace avg {

// Maps a file name as a game writes it (CP932 bytes, '\' separators, any letter case, as on
// the original's file system) to an existing path on this system. Tries the name as given,
// then its UTF-8 form, each with separators turned to '/' and, when not found as written,
// matched component by component ignoring ASCII letter case.
std::optional<std::string> findGameFile(std::string_view gameName);
// The same below the directory `root` instead of the current directory ("" for it).
std::optional<std::string> findGameFileIn(const std::string& root, std::string_view gameName);

// The path to create a file under: the existing directory part resolved as above, the last
// component as written (converted to '/' separators).
std::string gameOutputPath(std::string_view gameName);
std::string gameOutputPathIn(const std::string& root, std::string_view gameName);

// Larger plain files are not read (no game data file comes near it).
constexpr uint64_t kMaxWholeFileBytes = 256ull << 20;

// Reads the game file `name` (found as above) whole; nullopt when there is none, or it is not
// a regular file, or it is larger than kMaxWholeFileBytes.
std::optional<std::string> readPlainFile(std::string_view name);
// Reads the file at `path` whole, under the same conditions.
std::optional<std::string> readRegularFile(const std::string& path);

}  // namespace avg
