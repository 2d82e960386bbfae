#include "support/player_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <regex>

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

int shell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int buildDemo(const std::filesystem::path& dir) {
  return shell("bash '" AVG_SOURCE_DIR "/demo/make_game.sh' " + quoted(dir) + " >/dev/null 2>&1");
}

std::vector<std::string> logChecks(const std::string& log) {
  std::regex line("### LogCheck ### (.*)\n");
  std::vector<std::string> entries;
  for (std::sregex_iterator it(log.begin(), log.end(), line), end; it != end; ++it)
    entries.push_back((*it)[1]);
  return entries;
}

}  // namespace avg::test
