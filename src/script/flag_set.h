#pragma once
#include <cstdint>
#include <set>
#include <string>

#include "base/game_files.h"

namespace avg {

class ArchiveSet;

// A set of flag names kept in a file (the read-flag set and the global flag set). A change
// through set() or clear() saves the file at once; an unchanged set is not written.
class PersistentFlagSet {
 public:
  PersistentFlagSet() = default;
  // The file is read and written through `files`.
  explicit PersistentFlagSet(GameFiles files) : files_(std::move(files)) {}

  int32_t contains(const std::string& name) const { return names_.count(name) ? 1 : 0; }
  void set(const std::string& name);
  void clear(const std::string& name);
  void setPath(const std::string& path) { path_ = path; }
  const std::string& path() const { return path_; }
  // Reads the set from its file (a plain file or a member of `archives`); a missing file
  // empties it and creates its directories.
  void load(const ArchiveSet& archives);
  // Writes the set to its file; a file that cannot be written is skipped silently.
  void save() const;
  const std::set<std::string>& names() const { return names_; }

 private:
  GameFiles files_;
  std::set<std::string> names_;
  std::string path_;
};

}  // namespace avg
