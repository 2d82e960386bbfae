#pragma once
#include <string>
#include <string_view>

namespace avg {

// The platform error log "ErrorLog.txt" in the current directory. Each entry is one line
// "MM/DD/YY HH:MM:SS : message"; entries never interrupt the program. `message` is UTF-8.
void writeErrorLog(std::string_view message);

// Moves the log into `directory` ("" for the current directory). Every room and back-end logs
// through the one function above, so the log's place is the process's, like its current
// directory: the player sets it once at start, before anything is logged or any thread runs.
void setErrorLogDirectory(std::string directory);

// printf-style entry; the formatted text is taken as UTF-8.
void writeErrorLogf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace avg
