#include "base/game_path.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "base/text_encoding.h"

namespace avg {
namespace {

bool exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::string withSlashes(std::string_view name) {
  std::string path(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// Finds `component` in `directory` ignoring ASCII case; empty when there is none.
std::string matchIgnoringCase(const std::string& directory, const std::string& component) {
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (!dir) return {};
  std::string found;
  while (dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, component.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

// Resolves every component of a '/'-separated path below `root` ("" or ending in '/')
// ignoring case.
std::optional<std::string> resolveIgnoringCase(const std::string& root, const std::string& path) {
  const bool fromTop = root.empty() && path.starts_with('/');
  std::string resolved = fromTop ? std::string("/") : root;
  size_t start = fromTop ? 1 : 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string component = path.substr(start, end - start);
    if (!component.empty() && component != "." && component != "..") {
      std::string directory = resolved;
      std::string candidate = directory + component;
      if (!exists(candidate)) {
        std::string match = matchIgnoringCase(directory, component);
        if (match.empty()) return std::nullopt;
        candidate = directory + match;
      }
      resolved = candidate;
    } else if (!component.empty()) {
      resolved += component;
    }
    if (end < path.size()) resolved += '/';
    start = end + 1;
  }
  return resolved;
}

std::vector<std::string> spellings(std::string_view gameName) {
  std::vector<std::string> names{withSlashes(gameName)};
  bool ascii = std::all_of(gameName.begin(), gameName.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (!ascii) names.push_back(withSlashes(cp932ToUtf8(gameName)));
  return names;
}

}  // namespace

std::optional<std::string> findGameFileIn(const std::string& root, std::string_view gameName) {
  if (gameName.empty()) return std::nullopt;
  const std::string prefix = root.empty() ? root : root + "/";
  std::vector<std::string> names = spellings(gameName);
  for (const std::string& name : names) {
    if (exists(prefix + name)) return prefix + name;
  }
  for (const std::string& name : names) {
    if (auto resolved = resolveIgnoringCase(prefix, name)) return resolved;
  }
  return std::nullopt;
}

std::optional<std::string> findGameFile(std::string_view gameName) {
  return findGameFileIn({}, gameName);
}

std::string gameOutputPathIn(const std::string& root, std::string_view gameName) {
  std::string path = withSlashes(gameName);
  const std::string prefix = root.empty() ? root : root + "/";
  size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return prefix + path;
  if (auto directory = findGameFileIn(root, std::string_view(gameName).substr(0, slash))) {
    return *directory + path.substr(slash);
  }
  return prefix + path;
}

std::string gameOutputPath(std::string_view gameName) {
  return gameOutputPathIn({}, gameName);
}

namespace {

// Whether `file` is a regular file small enough to read whole: a device such as /dev/zero, a
// pipe or a file of gigabytes named by a script would otherwise be read without end.
bool readableWhole(FILE* file) {
  struct stat status;
  return fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode) &&
         static_cast<uint64_t>(status.st_size) <= kMaxWholeFileBytes;
}

}  // namespace

std::optional<std::string> readPlainFile(std::string_view name) {
  std::optional<std::string> path = findGameFile(name);
  return path ? readRegularFile(*path) : std::nullopt;
}

std::optional<std::string> readRegularFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  if (!readableWhole(file)) {
    std::fclose(file);
    return std::nullopt;
  }
  std::string content;
  char buffer[65536];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    content.append(buffer, count);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return content;
}

}  // namespace avg
