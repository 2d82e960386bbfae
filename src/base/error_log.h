#pragma once
#include <string_view>

namespace avg {

// The platform error log "ErrorLog.txt" in the current directory. Each entry is one line
// "MM/DD/YY HH:MM:SS : message"; entries never interrupt the program. `message` is UTF-8.
void writeErrorLog(std::string_view message);

// printf-style entry; the formatted text is taken as UTF-8.
void writeErrorLogf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace avg
