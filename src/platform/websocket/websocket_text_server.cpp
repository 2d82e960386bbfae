#include "platform/websocket/websocket_text_server.h"

#include <libwebsockets.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/error_log.h"
#include "base/library_leaks.h"

namespace avg {
namespace {

// Messages kept for clients that are behind; a client further behind skips to the oldest.
constexpr size_t kKeptMessages = 64;

// Where a client stands: the number of the next message to send it.
struct Session {
  uint64_t next;
};

class WebSocketTextServer : public TextSink {
 public:
  explicit WebSocketTextServer(uint16_t port);
  ~WebSocketTextServer() override;
  bool listening() const { return context_ != nullptr; }
  void send(const TextEvent& event) override;

 private:
  static int callback(lws* wsi, lws_callback_reasons reason, void* user, void* in, size_t len);
  int serve(lws* wsi, lws_callback_reasons reason, Session* session);
  // The message numbered `number` or the oldest kept after it; false when there is none.
  bool messageFor(Session& session, std::string& out);

  // The protocol list outlives the context, which keeps a pointer to it.
  lws_protocols protocols_[2] = {
      {"text", &WebSocketTextServer::callback, sizeof(Session), 0, 0, nullptr, 0},
      {nullptr, nullptr, 0, 0, 0, nullptr, 0}};
  lws_context* context_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stopping_ = false;
  std::mutex mutex_;
  std::deque<std::string> messages_;  // the last ones, up to kKeptMessages
  uint64_t sent_ = 0;                 // the number of messages ever sent
};

WebSocketTextServer::WebSocketTextServer(uint16_t port) {
  lws_set_log_level(0, nullptr);
  lws_context_creation_info info{};
  info.port = port;
  info.iface = "127.0.0.1";
  info.protocols = protocols_;
  info.user = this;
  info.options = LWS_SERVER_OPTION_DISABLE_IPV6;
  context_ = ignoringLibraryLeaks([&info] { return lws_create_context(&info); });
  if (!context_) return;
  thread_ = std::thread([this] {
    while (!stopping_)
      lws_service(context_, 0);
  });
}

WebSocketTextServer::~WebSocketTextServer() {
  if (!context_) return;
  stopping_ = true;
  lws_cancel_service(context_);
  thread_.join();
  lws_context_destroy(context_);
}

void WebSocketTextServer::send(const TextEvent& event) {
  {
    std::lock_guard lock(mutex_);
    messages_.push_back(event.text);
    if (messages_.size() > kKeptMessages) messages_.pop_front();
    ++sent_;
  }
  // Wakes the service thread, which asks every client for a chance to write.
  lws_cancel_service(context_);
}

bool WebSocketTextServer::messageFor(Session& session, std::string& out) {
  std::lock_guard lock(mutex_);
  const uint64_t oldest = sent_ - messages_.size();
  if (session.next < oldest) session.next = oldest;
  if (session.next >= sent_) return false;
  out = messages_[session.next - oldest];
  ++session.next;
  return true;
}

int WebSocketTextServer::callback(lws* wsi, lws_callback_reasons reason, void* user, void* in,
                                  size_t len) {
  auto* server = static_cast<WebSocketTextServer*>(lws_context_user(lws_get_context(wsi)));
  return server->serve(wsi, reason, static_cast<Session*>(user));
}

int WebSocketTextServer::serve(lws* wsi, lws_callback_reasons reason, Session* session) {
  switch (reason) {
    case LWS_CALLBACK_ESTABLISHED: {
      std::lock_guard lock(mutex_);
      session->next = sent_ == 0 ? 0 : sent_ - 1;
      if (sent_ != 0) lws_callback_on_writable(wsi);
      break;
    }
    case LWS_CALLBACK_EVENT_WAIT_CANCELLED:
      lws_callback_on_writable_all_protocol(lws_get_context(wsi), &protocols_[0]);
      break;
    case LWS_CALLBACK_SERVER_WRITEABLE: {
      std::string text;
      if (!messageFor(*session, text)) break;
      std::vector<unsigned char> buffer(LWS_PRE + text.size());
      std::copy(text.begin(), text.end(), buffer.begin() + LWS_PRE);
      if (lws_write(wsi, buffer.data() + LWS_PRE, text.size(), LWS_WRITE_TEXT) <
          static_cast<int>(text.size())) {
        return -1;
      }
      // One message per writable call; more wait for the next one.
      lws_callback_on_writable(wsi);
      break;
    }
    default:
      break;
  }
  return 0;
}

}  // namespace

std::unique_ptr<TextSink> startWebSocketTextServer(uint16_t port) {
  auto server = std::make_unique<WebSocketTextServer>(port);
  if (server->listening()) return server;
  writeErrorLog("--text-socket: port " + std::to_string(port) +
                " on 127.0.0.1 cannot be had, the game's text is not served");
  return nullptr;
}

}  // namespace avg
