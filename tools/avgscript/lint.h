#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "script/command_signature.h"

namespace avg {

class ArchiveSet;
class CommandTable;

// One thing lint found, at a line of a game file. File name and message are CP932, as the
// game writes them.
struct LintFinding {
  std::string file;
  uint32_t line = 0;
  bool error = true;  // else a warning
  std::string message;
};

// A command row whose words fit one of its forms, as the walk over a game's scripts reads
// it: its file and line, and the files of the script it belongs to (the script, then its
// includes in the order read).
struct FittingRow {
  const TableRow& words;
  const SignatureForm& form;
  const std::string& file;
  uint32_t line;
  const std::vector<std::string>& scriptFiles;
};
using RowVisitor = std::function<void(const FittingRow&)>;

// Checks the scripts of the game in the current directory as the player would load them:
// `scripts` and every script they start by a literal name, each with its includes, against
// the signatures of `commands`; then the files they name by literal strings (in the game
// directory or in `archives`, where literal ARC_ commands register theirs) and the variables
// read but never written. Findings come in the order found: script by script, line by
// line, then missing files, then variables. `visit` sees every fitting row as it is read; a
// file included twice is read twice.
std::vector<LintFinding> lintGame(const CommandTable& commands,
                                  const std::vector<std::string>& scripts, ArchiveSet& archives,
                                  const RowVisitor& visit = {});

// "FILE:LINE: error|warning: MESSAGE" in UTF-8, with `directory` before the file name.
std::string formatFinding(const LintFinding& finding, const std::string& directory);

}  // namespace avg
