#pragma once
#include <optional>
#include <string_view>

namespace avg {

// The player's own error channel, provided by the application: each report appends
// "message" + "detail" + CR LF to "Err.log" and shows a box with the message as text and the
// detail (or "ERROR!!") as caption. Both are UTF-8: callers convert game text first.
class ErrorReports {
 public:
  virtual ~ErrorReports() = default;
  virtual void report(std::string_view message,
                      std::optional<std::string_view> detail = std::nullopt) = 0;
};

}  // namespace avg
