#include "support/player_run.h"

#include <sys/wait.h>

#include <cstdlib>

#include "support/game_dir.h"

namespace avg::test {

PlayerRun runPlayer(const std::string& arguments) {
  TempGameDir scratch;
  std::string errFile = (scratch.path() / "stderr.txt").string();
  std::string command = std::string(AVGPLAYER_BINARY) + " " + arguments + " 2>" + errFile;
  int status = std::system(command.c_str());
  PlayerRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.stderrText = scratch.read("stderr.txt");
  return run;
}

int runGameIn(const std::filesystem::path& dir, const std::string& environment,
              const std::string& options) {
  std::string command = "XDG_RUNTIME_DIR=" + dir.string() + " " + environment + " " +
                        AVGPLAYER_BINARY + " " + options + " " + (dir / "game").string() +
                        " >/dev/null 2>&1";
  return std::system(command.c_str());
}

}  // namespace avg::test
