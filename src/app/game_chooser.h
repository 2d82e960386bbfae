#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
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

// Asks for a folder with the XDG desktop portal's file chooser (over D-Bus, through gdbus);
// nullopt when there is no portal to ask.
using FolderPortal = std::function<std::optional<GameChoice>()>;
std::optional<GameChoice> askDesktopPortal();

// The portal's answer to the request `requestPath` when `line` (a line of `gdbus monitor`)
// carries it: the first folder chosen, or Cancelled; nullopt for any other line.
std::optional<GameChoice> portalResponse(std::string_view line, std::string_view requestPath);

// Asks the person at the desktop which game to play: the `recent` games first in a list
// (zenity or kdialog, when there are any), then a folder from the desktop portal, else from
// zenity or kdialog. The chosen line or folder is taken as printed, without its line end.
GameChoice chooseGameDirectory(const std::vector<std::string>& recent,
                               const ProgramFinder& has = programOnPath,
                               const ProgramRunner& run = runProgram,
                               const FolderPortal& portal = askDesktopPortal);

}  // namespace avg
