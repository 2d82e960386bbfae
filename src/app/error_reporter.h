#pragma once
#include <optional>
#include <string_view>

#include "platform/message_box.h"
#include "script/error_reports.h"

namespace avg {

// The error channel on the platform's message boxes and the file "Err.log" in the current
// directory.
class ErrorReporter : public ErrorReports {
 public:
  explicit ErrorReporter(MessageBoxes& boxes) : boxes_(boxes) {}
  void report(std::string_view message, std::optional<std::string_view> detail) override;

 private:
  MessageBoxes& boxes_;
};

}  // namespace avg
