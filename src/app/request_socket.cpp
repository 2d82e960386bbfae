#include "app/request_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <optional>

#include "app/instance_lock.h"
#include "app/request_message.h"

namespace avg {
namespace {

// Connections held at once; a newer one pushes out the oldest, so silent clients cannot
// pile up.
constexpr size_t kMaxClients = 8;

std::optional<sockaddr_un> socketAddress(const std::string& path) {
  sockaddr_un address{};
  if (path.empty() || path.size() >= sizeof(address.sun_path)) return std::nullopt;
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, path.size());
  return address;
}

const sockaddr* generic(const sockaddr_un& address) {
  return reinterpret_cast<const sockaddr*>(&address);
}

bool sendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

}  // namespace

std::unique_ptr<RequestListener> RequestListener::listen(const std::string& path) {
  std::optional<sockaddr_un> address = socketAddress(path);
  if (!address) return nullptr;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  ::unlink(path.c_str());
  // The socket file takes its mode from the umask: 0177 leaves 0600, from the start.
  const mode_t umask = ::umask(0177);
  const bool bound = ::bind(fd, generic(*address), sizeof(*address)) == 0;
  ::umask(umask);
  if (!bound) {
    ::close(fd);
    return nullptr;
  }
  std::unique_ptr<RequestListener> listener(new RequestListener(fd, path));
  if (::listen(fd, static_cast<int>(kMaxClients)) != 0) return nullptr;
  return listener;
}

RequestListener::~RequestListener() {
  for (const Client& client : clients_)
    ::close(client.fd);
  ::close(fd_);
  ::unlink(path_.c_str());
}

void RequestListener::poll(std::vector<PlatformEvent>& out) {
  acceptClients();
  for (size_t i = 0; i < clients_.size();) {
    if (readClient(clients_[i], out)) {
      ::close(clients_[i].fd);
      clients_.erase(clients_.begin() + static_cast<ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

// Asked first whether anyone waits: a refused accept still makes and drops a socket in the
// kernel, every pass.
void RequestListener::acceptClients() {
  pollfd listening{fd_, POLLIN, 0};
  if (::poll(&listening, 1, 0) <= 0) return;
  for (size_t accepted = 0; accepted < kMaxClients; ++accepted) {
    int fd = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    if (clients_.size() == kMaxClients) {
      ::close(clients_.front().fd);
      clients_.erase(clients_.begin());
    }
    clients_.push_back({fd, {}});
  }
}

bool RequestListener::readClient(Client& client, std::vector<PlatformEvent>& out) {
  char buffer[kRequestHeaderBytes + kMaxRequestData];
  for (;;) {
    // Reads no further than the frame, which tells its own length.
    std::optional<size_t> wanted = requestFrameBytes(client.bytes);
    if (!wanted) return true;
    if (client.bytes.size() == *wanted) {
      if (std::optional<PlatformEvent> event = decodeRequest(client.bytes)) {
        out.push_back(std::move(*event));
      }
      return true;
    }
    ssize_t got = ::recv(client.fd, buffer, *wanted - client.bytes.size(), 0);
    if (got > 0) {
      client.bytes.append(buffer, static_cast<size_t>(got));
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      // The end of the stream before a whole frame, or nothing more for now.
      return got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
    }
  }
}

bool sendRequest(const std::string& path, uint32_t code, std::string_view fileName) {
  std::optional<sockaddr_un> address = socketAddress(path);
  if (!address) return false;
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool sent = ::connect(fd, generic(*address), sizeof(*address)) == 0 &&
              sendAll(fd, encodeRequest(code, fileName));
  ::close(fd);
  return sent;
}

std::string playerRequestSocketPath() {
  return playerInstanceLockPath() + ".sock";
}

}  // namespace avg
