#include "app/error_reporter.h"

#include <cstdio>
#include <string>

namespace avg {

void ErrorReporter::report(std::string_view message, std::optional<std::string_view> detail) {
  std::string text(message);
  std::string caption(detail ? *detail : "ERROR!!");
  if (FILE* log = std::fopen(files_.outputPath("Err.log").c_str(), "ab")) {
    std::string line = text + (detail ? caption : std::string()) + "\r\n";
    std::fwrite(line.data(), 1, line.size(), log);
    std::fclose(log);
  }
  boxes_.show({.caption = caption, .text = text, .icon = MessageIcon::Error});
}

}  // namespace avg
