#pragma once
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/player_app.h"
#include "platform/headless/headless_platform.h"
#include "support/fake_services.h"

namespace avg::test {

// A fresh temporary directory made current for the life of the object.
class TempGameDir {
 public:
  TempGameDir();
  ~TempGameDir();
  TempGameDir(const TempGameDir&) = delete;
  TempGameDir& operator=(const TempGameDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes bytes to a file below the directory, creating parent directories.
  void write(const std::string& name, const std::string& bytes) const;
  std::string read(const std::string& name) const;

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// Joins lines with CR LF, as game tables are written.
std::string crlf(const std::vector<std::string>& lines);

// A script line that appends `text` to the string variable "trace", to record the order in
// which commands ran.
inline std::string mark(const std::string& text) {
  return "CALS,+___,$s__trace,$s__trace,%s__" + text;
}

// Makes the services of each headless platform a fixture runs on.
using ServicesMaker = std::function<HeadlessServices()>;

// A headless player on a temporary game directory: write the scripts, run, inspect. It runs
// on the fake services unless given others.
class PlayerFixture {
 public:
  explicit PlayerFixture(std::vector<ScriptedEvent> events = {},
                         ServicesMaker makeServices = makeFakeServices);

  TempGameDir& dir() { return dir_; }
  // Where the runs from now on send the game's text.
  void setTextOut(TextSink* sink) { textOut_ = sink; }
  // Writes "autoexec.eve" from lines and runs until the scripts end (or maxPasses).
  void runScript(const std::vector<std::string>& lines, uint64_t maxPasses = 10000);
  void run(uint64_t maxPasses = 10000);

  PlayerApp& app() { return *app_; }
  Platform& platform() { return platform_; }
  ScriptEngine& engine() { return app_->engine(); }
  int32_t intVar(const std::string& name);
  // "name=value" of each integer variable named in the space-separated `names`, by spaces.
  std::string intVars(const std::string& names);
  float floatVar(const std::string& name);
  std::string stringVar(const std::string& name);
  // Everything the headless message boxes printed.
  std::string boxes() const { return log_.str(); }
  std::string errorLog() const;
  // The caption the player gave its window.
  std::string caption() const;

 private:
  TempGameDir dir_;
  std::ostringstream log_;
  Platform platform_;
  std::unique_ptr<PlayerApp> app_;
  std::vector<ScriptedEvent> events_;
  ServicesMaker makeServices_;
  TextSink* textOut_ = nullptr;
};

}  // namespace avg::test
