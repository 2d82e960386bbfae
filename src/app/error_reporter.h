#pragma once
#include <optional>
#include <string_view>

#include "platform/message_box.h"

namespace avg {

// The player's own error channel: appends "message" + "detail" + CR LF to "Err.log" and
// shows a box with the message as text and the detail (or "ERROR!!") as caption. Both are
// UTF-8: callers convert game text first.
class ErrorReporter {
 public:
  explicit ErrorReporter(MessageBoxes& boxes) : boxes_(boxes) {}
  void report(std::string_view message, std::optional<std::string_view> detail = std::nullopt);

 private:
  MessageBoxes& boxes_;
};

}  // namespace avg
