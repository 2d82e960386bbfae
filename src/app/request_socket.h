#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/window.h"

namespace avg {

// The windowed player's end of the requests from other programs: a Unix domain socket,
// one request (see request_message.h) per connection. Polling accepts and reads without
// blocking, so a slow or silent client never holds up the frame loop; refused and
// unfinished requests are dropped with their connection.
class RequestListener : public EventSource {
 public:
  // Listens at `path` with mode 0600, replacing whatever a crashed player left there: the
  // caller holds the instance lock, so no live player owns it. Null when the socket cannot
  // be made. Call it before other threads start: it changes the umask for a moment.
  static std::unique_ptr<RequestListener> listen(const std::string& path);
  // Closes the socket and removes its file.
  ~RequestListener() override;

  void poll(std::vector<PlatformEvent>& out) override;

 private:
  struct Client {
    int fd;
    std::string bytes;
  };
  RequestListener(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  void acceptClients();
  // Reads what `client` has sent; true once it is done with, its request appended or not.
  bool readClient(Client& client, std::vector<PlatformEvent>& out);

  int fd_;
  std::string path_;
  std::vector<Client> clients_;
};

// Sends one request to the player listening at `path`; false when none takes it.
bool sendRequest(const std::string& path, uint32_t code, std::string_view fileName);

// The player's request socket: the instance lock's path with ".sock" appended.
std::string playerRequestSocketPath();

}  // namespace avg
