#include "base/error_log.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <vector>

namespace avg {
namespace {

std::string& logPath() {
  static std::string path = "ErrorLog.txt";
  return path;
}

}  // namespace

void setErrorLogDirectory(std::string directory) {
  logPath() = directory.empty() ? "ErrorLog.txt" : directory + "/ErrorLog.txt";
}

void writeErrorLog(std::string_view message) {
  FILE* file = std::fopen(logPath().c_str(), "ab");
  if (!file) return;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%m/%d/%y %H:%M:%S", &local);
  std::fprintf(file, "%s : %.*s\n", stamp, static_cast<int>(message.size()), message.data());
  std::fclose(file);
}

void writeErrorLogf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::vector<char> text(length > 0 ? length + 1 : 1, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size(), format, args);
  va_end(args);
  writeErrorLog(std::string_view(text.data(), length > 0 ? length : 0));
}

}  // namespace avg
