#pragma once
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace avg::tool {

// Input the tool refuses: reported as "TOOL: message", exit code 1.
struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// Wrong arguments: reported with the usage, exit code 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string readFile(const std::filesystem::path& path);
// Replaces the file atomically, creating its directory.
void writeFile(const std::filesystem::path& path, std::string_view bytes);

using CommandRunner = int (*)(const std::string& command, std::vector<std::string> args);

// A tool's main: the usage for no arguments (exit 2) or --help anywhere (exit 0); otherwise the
// command's exit code, with failures and usage errors reported on stderr.
int runTool(const char* tool, const char* usage, int argc, char** argv, CommandRunner run);

}  // namespace avg::tool
