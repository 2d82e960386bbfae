#pragma once
#include <optional>
#include <string>

namespace avg {

// A lock that only one process at a time can hold, released by the system when the process
// ends in any way, so that a crashed holder never blocks the next start.
class InstanceLock {
 public:
  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  ~InstanceLock();

  // Takes the lock on the file at `path`, creating it; nullopt while another holder has it.
  // A file that cannot be created gives an unheld lock, so the game still starts.
  static std::optional<InstanceLock> acquire(const std::string& path);
  // False for the unheld lock of a file that could not be created.
  bool held() const { return fd_ >= 0; }

 private:
  explicit InstanceLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

// The player's lock file, "MUTEX_AVG_SCRIPT_PLAYER" in the user's runtime directory
// ($XDG_RUNTIME_DIR, else the temporary directory with the user id appended).
std::string playerInstanceLockPath();

}  // namespace avg
