#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace avg {

// Where the files a game writes (saves, flag files, config.ini, the logs) go and are read back
// from. Game data is read from the game directory, the current directory. With a write
// directory, every write goes below it at the same relative path, and a read looks there first,
// so that what a run wrote wins over the game directory's copy; the game directory is then
// never written.
class GameFiles {
 public:
  GameFiles() = default;
  explicit GameFiles(std::string writeDirectory) : writeDirectory_(std::move(writeDirectory)) {}

  // Empty when writes go to the game directory.
  const std::string& writeDirectory() const { return writeDirectory_; }

  // The path to read the game file `name` from (named as findGameFile takes it); nullopt when
  // neither directory holds it.
  std::optional<std::string> find(std::string_view name) const;
  // The plain file `name` read whole (as readPlainFile reads it), the write directory first.
  std::optional<std::string> read(std::string_view name) const;
  // The path to write the game file `name` to; in a write directory, the directories on the
  // way are made.
  std::string outputPath(std::string_view name) const;

 private:
  std::string writeDirectory_;
};

}  // namespace avg
