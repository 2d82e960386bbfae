#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace avg {

// Runs a program (argv[0] looked up in PATH) and returns what it printed on stdout, or nullopt
// when it could not be started or exited non-zero (a dialog cancelled).
using ProgramRunner = std::function<std::optional<std::string>(const std::vector<std::string>&)>;
std::optional<std::string> runProgram(const std::vector<std::string>& argv);

// Whether a program of that name is on PATH.
using ProgramFinder = std::function<bool(const std::string&)>;
bool programOnPath(const std::string& name);

// What asking for a game directory came to.
struct GameChoice {
  enum class Outcome { Chosen, Cancelled, NoDialog } outcome = Outcome::NoDialog;
  std::string directory;
};

// Asks the person at the desktop which game to play with the desktop's dialogs: zenity (a
// list of the `recent` games first, when there are any) or kdialog. The chosen line or
// folder is taken as printed, without its line end.
GameChoice chooseGameDirectory(const std::vector<std::string>& recent,
                               const ProgramFinder& has = programOnPath,
                               const ProgramRunner& run = runProgram);

}  // namespace avg
