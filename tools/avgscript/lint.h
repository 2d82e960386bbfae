#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace avg {

class CommandTable;

// One thing lint found, at a line of a game file. File name and message are CP932, as the
// game writes them.
struct LintFinding {
  std::string file;
  uint32_t line = 0;
  bool error = true;  // else a warning
  std::string message;
};

// Checks the scripts of the game in the current directory as the player would load them:
// `scripts` and every script they start by a literal name, each with its includes, against
// the signatures of `commands`; then the files they name by literal strings (in the game
// directory or in the archives that literal ARC_ commands register) and the variables read
// but never written. Findings come in the order found: script by script, line by line,
// then missing files, then variables.
std::vector<LintFinding> lintGame(const CommandTable& commands,
                                  const std::vector<std::string>& scripts);

// "FILE:LINE: error|warning: MESSAGE" in UTF-8, with `directory` before the file name.
std::string formatFinding(const LintFinding& finding, const std::string& directory);

}  // namespace avg
