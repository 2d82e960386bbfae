#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace avg {
namespace {

std::string directoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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
mode_t modeFor(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return info.st_mode & 07777;
  return 0644;
}

// Makes the rename itself durable.
void syncDirectory(const std::string& directory) {
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool replaceFileAtomically(const std::string& path, std::string_view bytes) {
  if (path.empty() || path.back() == '/') return false;
  const std::string directory = directoryOf(path);
  std::string temporary = path + ".tmp-XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  bool written = ::fchmod(fd, modeFor(path)) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
  written = ::close(fd) == 0 && written;
  if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  syncDirectory(directory);
  return true;
}

}  // namespace avg
