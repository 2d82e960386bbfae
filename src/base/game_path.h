#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace avg {

// Maps a file name as a game writes it (CP932 bytes, '\' separators, any letter case, as on
// the original's file system) to an existing path on this system. Tries the name as given,
// then its UTF-8 form, each with separators turned to '/' and, when not found as written,
// matched component by component ignoring ASCII letter case.
std::optional<std::string> findGameFile(std::string_view gameName);

// The path to create a file under: the existing directory part resolved as above, the last
// component as written (converted to '/' separators).
std::string gameOutputPath(std::string_view gameName);

}  // namespace avg
