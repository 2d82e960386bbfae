#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/text_sink.h"
#include "stage/message_text_observer.h"

namespace avg {

// Turns the message windows' changes into complete lines for a text sink. A window's text is
// complete when the window is cleared or has not changed for kQuietPasses frame passes; it
// is sent once, and only when the reader could see it: at the end of some pass its window
// was visible and showed its live text, not a log page. A line equal to the one sent last is
// not sent again (the same text drawn twice, as a shadow in a second window, is one line).
class TextEvents : public MessageTextObserver {
 public:
  static constexpr uint32_t kQuietPasses = 10;
  // Whether window `number` shows its live text to the reader now.
  using LiveTextShown = std::function<bool(int32_t number)>;

  TextEvents(TextSink& sink, LiveTextShown shown);

  // Frame pass `frame` begins: what completes from now on was completed in it.
  void startPass(uint64_t frame) { frame_ = frame; }
  // The pass's commands have run: notes what the reader sees and sends what has settled.
  void endPass();

  void textAdded(int32_t window, std::string_view text) override;
  void lineBroken(int32_t window) override;
  void textCleared(int32_t window) override;

 private:
  struct Line {
    std::string text;  // UTF-8
    uint32_t quietPasses = 0;
    bool seen = false;
    bool sent = false;
  };
  void complete(int32_t window, Line& line);

  TextSink& sink_;
  LiveTextShown shown_;
  std::map<int32_t, Line> lines_;
  std::string lastSent_;
  uint64_t frame_ = 0;
};

}  // namespace avg
