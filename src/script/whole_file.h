#pragma once
#include <optional>
#include <string>

namespace avg {

class ArchiveSet;
class GameFiles;

// Reads a game data file whole: the plain file when it exists, else a member of `archives`.
// The content is returned as is; std::string keeps a zero byte after it for readers that
// stop there. Nothing is reported on failure.
std::optional<std::string> ReadWholeFile(const std::string& name, const ArchiveSet& archives);
// The same for a file the game may have written: the plain file is looked up through `files`.
std::optional<std::string> ReadWholeFile(const std::string& name, const ArchiveSet& archives,
                                         const GameFiles& files);

}  // namespace avg
