#include "app/game_chooser.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <sstream>

extern char** environ;

namespace avg {
namespace {

constexpr const char* kTitle = "avgplayer";
constexpr const char* kQuestion = "Which game do you want to play?";
constexpr const char* kOtherFolder = "Another folder…";
constexpr const char* kPortal = "org.freedesktop.portal.Desktop";

std::string withoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
    text.pop_back();
  return text;
}

GameChoice chosen(std::string directory) {
  return {GameChoice::Outcome::Chosen, std::move(directory)};
}

GameChoice cancelled() {
  return {GameChoice::Outcome::Cancelled, {}};
}

// A child process whose stdout is the read end `out`; its complaints (no session bus, a
// toolkit's warnings) are not the player's to show.
struct Child {
  pid_t pid = 0;
  int out = -1;
};

std::optional<Child> spawnReading(const std::vector<std::string>& argv) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args;
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  Child child;
  int spawned = posix_spawnp(&child.pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  if (spawned != 0) {
    ::close(pipeEnds[0]);
    return std::nullopt;
  }
  child.out = pipeEnds[0];
  return child;
}

// Reads one line (without its end) from `fd`; false at the end of the stream.
bool readLine(int fd, std::string& line) {
  line.clear();
  char c;
  while (::read(fd, &c, 1) == 1) {
    if (c == '\n') return true;
    line += c;
  }
  return !line.empty();
}

std::string percentDecoded(std::string_view text) {
  std::string decoded;
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned byte = 0;
    if (text[i] == '%' && i + 2 < text.size() &&
        std::from_chars(&text[i + 1], &text[i + 3], byte, 16).ptr == &text[i + 3]) {
      decoded += static_cast<char>(byte);
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

// A recent game picked from the list, or a folder from the portal or the folder dialog.
GameChoice ask(const std::vector<std::string>& list, const std::vector<std::string>& folder,
               const ProgramRunner& run, const FolderPortal& portal) {
  if (!list.empty()) {
    std::optional<std::string> picked = run(list);
    if (!picked) return cancelled();
    std::string line = withoutLineEnd(*picked);
    if (line != kOtherFolder) return chosen(line);
  }
  if (std::optional<GameChoice> answer = portal()) return *answer;
  if (folder.empty()) return {};
  std::optional<std::string> answer = run(folder);
  if (!answer || withoutLineEnd(*answer).empty()) return cancelled();
  return chosen(withoutLineEnd(*answer));
}

}  // namespace

std::optional<std::string> runProgram(const std::vector<std::string>& argv) {
  std::optional<Child> child = spawnReading(argv);
  if (!child) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (ssize_t count; (count = ::read(child->out, buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<size_t>(count));
  ::close(child->out);
  int status = 0;
  if (::waitpid(child->pid, &status, 0) != child->pid) return std::nullopt;
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

std::optional<GameChoice> portalResponse(std::string_view line, std::string_view requestPath) {
  if (!line.starts_with(requestPath) || line.substr(requestPath.size(), 1) != ":" ||
      line.find(".Response (uint32 ") == std::string_view::npos) {
    return std::nullopt;
  }
  size_t code = line.find("uint32 ") + 7;
  if (line.substr(code, 2) != "0,") return cancelled();
  constexpr std::string_view kScheme = "'file://";
  size_t uri = line.find(kScheme);
  if (uri == std::string_view::npos) return cancelled();
  size_t start = uri + kScheme.size();
  size_t end = line.find('\'', start);
  if (end == std::string_view::npos) return cancelled();
  return chosen(percentDecoded(line.substr(start, end - start)));
}

// The portal answers a request with a Response signal on a request object that the call
// returns: the monitor listens before the call is made, so the answer cannot be missed.
std::optional<GameChoice> askDesktopPortal() {
  if (!programOnPath("gdbus")) return std::nullopt;
  std::optional<Child> monitor = spawnReading({"gdbus", "monitor", "--session", "--dest", kPortal});
  if (!monitor) return std::nullopt;
  const std::string options =
      "{'directory': <true>, 'handle_token': <'avgplayer" + std::to_string(::getpid()) + "'>}";
  std::optional<std::string> reply =
      runProgram({"gdbus", "call", "--session", "--dest", kPortal, "--object-path",
                  "/org/freedesktop/portal/desktop", "--method",
                  "org.freedesktop.portal.FileChooser.OpenFile", "", kQuestion, options});
  std::optional<GameChoice> answer;
  size_t open = reply ? reply->find('\'') : std::string::npos;
  size_t close = reply ? reply->find('\'', open + 1) : std::string::npos;
  if (close != std::string::npos) {
    const std::string request = reply->substr(open + 1, close - open - 1);
    for (std::string line; !answer && readLine(monitor->out, line);)
      answer = portalResponse(line, request);
  }
  ::kill(monitor->pid, SIGTERM);
  ::close(monitor->out);
  ::waitpid(monitor->pid, nullptr, 0);
  return answer;
}

GameChoice chooseGameDirectory(const std::vector<std::string>& recent, const ProgramFinder& has,
                               const ProgramRunner& run, const FolderPortal& portal) {
  std::vector<std::string> list;
  std::vector<std::string> folder;
  if (has("zenity")) {
    list = {"zenity", "--list", "--title", kTitle, "--text", kQuestion, "--column", "Game"};
    list.insert(list.end(), recent.begin(), recent.end());
    list.push_back(kOtherFolder);
    folder = {"zenity", "--file-selection", "--directory", "--title", kQuestion};
  } else if (has("kdialog")) {
    list = {"kdialog", "--title", kTitle, "--menu", kQuestion};
    for (const std::string& game : recent)
      list.insert(list.end(), {game, game});
    list.insert(list.end(), {kOtherFolder, kOtherFolder});
    const char* home = std::getenv("HOME");
    folder = {"kdialog", "--title", kTitle, "--getexistingdirectory", home ? home : "/"};
  }
  if (recent.empty()) list.clear();
  return ask(list, folder, run, portal);
}

}  // namespace avg
