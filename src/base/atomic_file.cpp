#include "base/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <random>
#include <vector>

namespace avg {
namespace {

constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr size_t kRandomLength = 6;
constexpr int kNameAttempts = 100;

std::string directoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// "NAME.tmp-" and six random letters or digits.
std::string temporaryName(const std::string& name) {
  static constexpr std::string_view kLetters =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  std::string temporary = name + std::string(kTemporaryMark);
  for (size_t i = 0; i < kRandomLength; ++i)
    temporary += kLetters[random() % kLetters.size()];
  return temporary;
}

// Temporaries of `name` that a killed process left behind.
void removeStaleTemporaries(int directory, const std::string& name) {
  int fd = ::openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  DIR* listing = ::fdopendir(fd);
  if (!listing) {
    ::close(fd);
    return;
  }
  const std::string prefix = name + std::string(kTemporaryMark);
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(listing)) {
    std::string_view candidate = entry->d_name;
    if (candidate.size() == prefix.size() + kRandomLength && candidate.starts_with(prefix))
      stale.emplace_back(candidate);
  }
  ::closedir(listing);
  for (const std::string& file : stale)
    ::unlinkat(directory, file.c_str(), 0);
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// A replaced file keeps its permissions; a new one gets the usual ones.
mode_t modeFor(int directory, const std::string& name) {
  struct stat info {};
  if (::fstatat(directory, name.c_str(), &info, 0) == 0) return info.st_mode & 07777;
  return 0644;
}

// Gives `fd` its mode and bytes and flushes it to disk.
bool fill(int fd, mode_t mode, std::string_view bytes) {
  return ::fchmod(fd, mode) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
}

// Gives `fd` (an unnamed file) a fresh temporary name; the name, or none.
std::optional<std::string> linkUnnamed(int fd, int directory, const std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string temporary = temporaryName(name);
    if (::linkat(AT_FDCWD, self.c_str(), directory, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0)
      return temporary;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

// The bytes in an unnamed file (O_TMPFILE), named only once complete: a crash before leaves
// nothing behind. None when the file system cannot do it; else the temporary's name, or ""
// after a failure.
std::optional<std::string> writeUnnamed(int directory, const std::string& name, mode_t mode,
                                        std::string_view bytes) {
  int fd = ::openat(directory, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> temporary =
      fill(fd, mode, bytes) ? linkUnnamed(fd, directory, name) : "";
  ::close(fd);
  return temporary;
}

// The bytes in a named temporary "NAME.tmp-XXXXXX"; its name, or "" after a failure.
std::string writeNamed(int directory, const std::string& name, mode_t mode,
                       std::string_view bytes) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string temporary = temporaryName(name);
    int fd = ::openat(directory, temporary.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return "";
    bool written = fill(fd, mode, bytes);
    if (::close(fd) == 0 && written) return temporary;
    ::unlinkat(directory, temporary.c_str(), 0);
    return "";
  }
  return "";
}

}  // namespace

bool replaceFileAtomicallyAt(int directory, const std::string& name, std::string_view bytes) {
  if (name.empty() || name.find('/') != std::string::npos) return false;
  removeStaleTemporaries(directory, name);
  const mode_t mode = modeFor(directory, name);
  std::optional<std::string> temporary = writeUnnamed(directory, name, mode, bytes);
  if (!temporary) temporary = writeNamed(directory, name, mode, bytes);
  if (temporary->empty()) return false;
  if (::renameat(directory, temporary->c_str(), directory, name.c_str()) != 0) {
    ::unlinkat(directory, temporary->c_str(), 0);
    return false;
  }
  ::fsync(directory);  // makes the rename itself durable
  return true;
}

bool replaceFileAtomically(const std::string& path, std::string_view bytes) {
  if (path.empty() || path.back() == '/') return false;
  int directory = ::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory < 0) return false;
  const size_t slash = path.rfind('/');
  bool replaced = replaceFileAtomicallyAt(
      directory, slash == std::string::npos ? path : path.substr(slash + 1), bytes);
  ::close(directory);
  return replaced;
}

}  // namespace avg
