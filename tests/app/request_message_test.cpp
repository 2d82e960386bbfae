// Requests from other programs: the frame on the wire and the socket that carries it.
#include "app/request_message.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>

#include "app/request_socket.h"
#include "support/bytes.h"
#include "support/game_dir.h"

namespace avg {
namespace {

std::string header(uint32_t code, uint32_t length) {
  return test::littleEndian32(code) + test::littleEndian32(length);
}

TEST(RequestMessage, FramesAreDecodedOrRefusedWhole) {
  using namespace std::string_literals;
  struct Case {
    const char* what;
    std::string frame;
    std::optional<uint32_t> code;  // nullopt: refused
    std::string fileName = {};
  };
  const Case cases[] = {
      {"save", header(10001, 8) + "a\\b.sav\0"s, 10001, "a\\b.sav"},
      {"load, CP932 name", header(10002, 8) + "\x83\x5A\x81\x5B.sv\0"s, 10002,
       "\x83\x5A\x81\x5B.sv"},
      {"empty name", header(10001, 1) + "\0"s, 10001, ""},
      {"longest data", header(10001, 4096) + std::string(4095, 'n') + "\0"s, 10001,
       std::string(4095, 'n')},
      {"other code", header(10003, 2) + "a\0"s, std::nullopt},
      {"no data", header(10001, 0), std::nullopt},
      {"oversize", header(10001, 4097) + std::string(4096, 'n') + "\0"s, std::nullopt},
      {"truncated data", header(10001, 4) + "ab\0"s, std::nullopt},
      {"truncated header", header(10001, 2).substr(0, 6), std::nullopt},
      {"trailing bytes", header(10001, 2) + "a\0b"s, std::nullopt},
      {"no terminating zero", header(10001, 2) + "ab", std::nullopt},
      {"zero inside the name", header(10001, 4) + "a\0b\0"s, std::nullopt},
  };
  for (const Case& c : cases) {
    std::optional<PlatformEvent> event = decodeRequest(c.frame);
    ASSERT_EQ(event.has_value(), c.code.has_value()) << c.what;
    if (!event) continue;
    EXPECT_EQ(event->type, PlatformEvent::Type::Request) << c.what;
    EXPECT_EQ(event->code, *c.code) << c.what;
    EXPECT_EQ(event->path, c.fileName) << c.what;
    EXPECT_EQ(encodeRequest(*c.code, c.fileName), c.frame) << c.what;
  }
}

TEST(RequestMessage, FrameLengthIsKnownFromTheHeader) {
  EXPECT_EQ(requestFrameBytes(""), 8u);
  EXPECT_EQ(requestFrameBytes(header(10001, 5).substr(0, 7)), 8u);
  EXPECT_EQ(requestFrameBytes(header(10001, 5)), 13u);
  EXPECT_EQ(requestFrameBytes(header(7, 4096)), 4104u);
  EXPECT_EQ(requestFrameBytes(header(10001, 4097)), std::nullopt);
  EXPECT_EQ(requestFrameBytes(header(10001, 0xFFFFFFFF)), std::nullopt);
}

sockaddr_un addressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof(address.sun_path) - 1);
  return address;
}

// What a player killed while listening leaves behind: a socket file nobody listens on.
void leaveStaleSocket(const std::string& path) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = addressOf(path);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ::listen(fd, 1);
  ::close(fd);
}

// A client that sends what the test tells it, when it tells it.
class RawClient {
 public:
  explicit RawClient(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
    sockaddr_un address = addressOf(path);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  }
  ~RawClient() { ::close(fd_); }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;
  bool connected() const { return connected_; }
  void send(const std::string& bytes) const {
    ASSERT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }
  // Ends the stream; the listener sees its end.
  void hangUp() const { ::shutdown(fd_, SHUT_WR); }

 private:
  int fd_;
  bool connected_ = false;
};

class RequestSocketTest : public testing::Test {
 protected:
  std::vector<PlatformEvent> poll() {
    std::vector<PlatformEvent> events;
    listener_->poll(events);
    return events;
  }

  test::TempGameDir dir_;
  std::string path_ = (dir_.path() / "player.sock").string();
  std::unique_ptr<RequestListener> listener_;
};

TEST_F(RequestSocketTest, ReplacesAStaleFileKeepsItPrivateAndRemovesItAtTheEnd) {
  leaveStaleSocket(path_);
  ASSERT_TRUE(std::filesystem::is_socket(path_));
  EXPECT_FALSE(sendRequest(path_, 10001, "a"));
  listener_ = RequestListener::listen(path_);
  ASSERT_TRUE(listener_);
  struct stat status {};
  ASSERT_EQ(::stat(path_.c_str(), &status), 0);
  EXPECT_TRUE(S_ISSOCK(status.st_mode));
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  EXPECT_TRUE(sendRequest(path_, 10002, "Save/s1.sav"));
  std::vector<PlatformEvent> events = poll();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].code, 10002u);
  EXPECT_EQ(events[0].path, "Save/s1.sav");
  listener_.reset();
  EXPECT_FALSE(std::filesystem::exists(path_));
  EXPECT_FALSE(sendRequest(path_, 10001, "a"));
  EXPECT_FALSE(RequestListener::listen(std::string(200, 'x')));  // beyond a socket path
}

TEST_F(RequestSocketTest, SlowSilentAndBrokenClientsNeverBlockNorDeliverHalfRequests) {
  listener_ = RequestListener::listen(path_);
  ASSERT_TRUE(listener_);
  const std::string frame = encodeRequest(10001, "slow.sav");
  RawClient slow(path_), silent(path_), truncated(path_), refused(path_);
  ASSERT_TRUE(slow.connected() && silent.connected() && truncated.connected() &&
              refused.connected());
  slow.send(frame.substr(0, 5));
  truncated.send(frame.substr(0, 10));
  refused.send(encodeRequest(10003, "other.sav"));
  EXPECT_TRUE(poll().empty());
  slow.send(frame.substr(5, 6));
  truncated.hangUp();
  EXPECT_TRUE(poll().empty());
  slow.send(frame.substr(11) + "more");  // bytes after the frame are never read
  EXPECT_TRUE(sendRequest(path_, 10002, "next.sav"));
  std::vector<PlatformEvent> events = poll();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].path, "slow.sav");
  EXPECT_EQ(events[1].path, "next.sav");
  EXPECT_TRUE(poll().empty());
}

}  // namespace
}  // namespace avg
