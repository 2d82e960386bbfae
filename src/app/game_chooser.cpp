#include "app/game_chooser.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

extern char** environ;

namespace avg {
namespace {

constexpr const char* kTitle = "avgplayer";
constexpr const char* kQuestion = "Which game do you want to play?";
constexpr const char* kOtherFolder = "Another folder…";

std::string withoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
    text.pop_back();
  return text;
}

// A recent game picked from the list, or a folder from the folder dialog.
GameChoice ask(const std::vector<std::string>& list, const std::vector<std::string>& folder,
               const ProgramRunner& run) {
  if (!list.empty()) {
    std::optional<std::string> picked = run(list);
    if (!picked) return {GameChoice::Outcome::Cancelled, {}};
    std::string line = withoutLineEnd(*picked);
    if (line != kOtherFolder) return {GameChoice::Outcome::Chosen, line};
  }
  std::optional<std::string> chosen = run(folder);
  if (!chosen || withoutLineEnd(*chosen).empty()) return {GameChoice::Outcome::Cancelled, {}};
  return {GameChoice::Outcome::Chosen, withoutLineEnd(*chosen)};
}

}  // namespace

std::optional<std::string> runProgram(const std::vector<std::string>& argv) {
  int out[2];
  if (::pipe(out) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<char*> args;
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t child = 0;
  int spawned = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  std::string text;
  char buffer[4096];
  for (ssize_t count; spawned == 0 && (count = ::read(out[0], buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<size_t>(count));
  ::close(out[0]);
  int status = 0;
  if (spawned != 0 || ::waitpid(child, &status, 0) != child) return std::nullopt;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return text;
}

bool programOnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0) return true;
  }
  return false;
}

GameChoice chooseGameDirectory(const std::vector<std::string>& recent, const ProgramFinder& has,
                               const ProgramRunner& run) {
  std::vector<std::string> list;
  if (has("zenity")) {
    if (!recent.empty()) {
      list = {"zenity", "--list", "--title", kTitle, "--text", kQuestion, "--column", "Game"};
      list.insert(list.end(), recent.begin(), recent.end());
      list.push_back(kOtherFolder);
    }
    return ask(list, {"zenity", "--file-selection", "--directory", "--title", kQuestion}, run);
  }
  if (has("kdialog")) {
    if (!recent.empty()) {
      list = {"kdialog", "--title", kTitle, "--menu", kQuestion};
      for (const std::string& game : recent)
        list.insert(list.end(), {game, game});
      list.insert(list.end(), {kOtherFolder, kOtherFolder});
    }
    const char* home = std::getenv("HOME");
    return ask(list, {"kdialog", "--title", kTitle, "--getexistingdirectory", home ? home : "/"},
               run);
  }
  return {};
}

}  // namespace avg
