#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace avg::test {

// The exit code and standard error of one run of the real avgplayer binary.
struct PlayerRun {
  int exitCode = -1;
  std::string stderrText;
};

// A path as one single-quoted shell word.
inline std::string quoted(const std::filesystem::path& path) {
  return "'" + path.string() + "'";
}

// Runs avgplayer with `arguments` (shell words, quoted by the caller where needed).
PlayerRun runPlayer(const std::string& arguments);

// Runs avgplayer on the game in `dir`/game with `environment` settings and `options`, output
// discarded; returns the shell's status. A windowed player takes the one-instance lock, so
// each run gets a lock of its own in `dir` and tests can run side by side.
int runGameIn(const std::filesystem::path& dir, const std::string& environment,
              const std::string& options);

// Runs a shell command; its exit code, or -1 when it did not exit.
int shell(const std::string& command);

// Builds the bundled demo into `dir` with its own build script; its exit code.
int buildDemo(const std::filesystem::path& dir);

// The "name = value" of every "### LogCheck ###" line of an ErrorLog.txt, in order.
std::vector<std::string> logChecks(const std::string& log);

}  // namespace avg::test
