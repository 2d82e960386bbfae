#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>

namespace avg {

InstanceLock::InstanceLock(InstanceLock&& other) noexcept : fd_(other.fd_) {
  other.fd_ = -1;
}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
  std::swap(fd_, other.fd_);
  return *this;
}

InstanceLock::~InstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<InstanceLock> InstanceLock::acquire(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return InstanceLock(-1);
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) return InstanceLock(fd);
  bool heldElsewhere = errno == EWOULDBLOCK;
  ::close(fd);
  if (heldElsewhere) return std::nullopt;
  return InstanceLock(-1);
}

std::string playerInstanceLockPath() {
  constexpr const char* kName = "MUTEX_AVG_SCRIPT_PLAYER";
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/" + kName;
  return std::string("/tmp/") + kName + "-" + std::to_string(::getuid());
}

}  // namespace avg
