#pragma once
#include <optional>
#include <string_view>

#include "base/game_files.h"
#include "platform/message_box.h"
#include "script/error_reports.h"

namespace avg {

// The error channel on the platform's message boxes and the game file "Err.log".
class ErrorReporter : public ErrorReports {
 public:
  ErrorReporter(MessageBoxes& boxes, const GameFiles& files) : boxes_(boxes), files_(files) {}
  void report(std::string_view message, std::optional<std::string_view> detail) override;

 private:
  MessageBoxes& boxes_;
  const GameFiles& files_;
};

}  // namespace avg
