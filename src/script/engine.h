#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "script/archive.h"
#include "script/flag_set.h"
#include "script/script_file.h"
#include "script/variable_store.h"

namespace avg {

class AppControl;
class CommandTable;
class ErrorReports;
class MessageBoxes;

// A cooperative script thread: a position in a script, a wait counter and a value stack.
struct ScriptThread {
  int32_t id = 0;
  ScriptFile* file = nullptr;
  int32_t index = 0;
  uint32_t waitCounter = 0;
  std::vector<int32_t> stack;
};

// The three key switches that GLOB sets and the window hooks read.
struct KeySwitches {
  int32_t quickKeys = 0;  // F5 quick save, F6 quick load
  int32_t screenKey = 1;  // F7 full screen / window
  int32_t configKey = 0;  // F4 requests the settings screen
};

// A subsystem that lives with the engine (sound channels, display list, input, ...): owned
// by it, found by type, destroyed with it in reverse order of attachment, and told when each
// pass starts and ends and when the scripts skip animations ahead.
class EngineCompanion {
 public:
  virtual ~EngineCompanion() = default;
  // Before the threads of a pass run (input update, animation step).
  virtual void beforeThreads() {}
  // After the threads of a pass ran (clearing the pass's input events).
  virtual void afterThreads() {}
  // Running animations jump `frames` frames ahead at once (FPS_ PASS).
  virtual void skipAnimations(int32_t /*frames*/) {}
};

// The services of the application that the engine and its commands use.
struct EngineServices {
  AppControl& app;
  MessageBoxes& messageBoxes;
  ErrorReports& errors;
  uint32_t randomSeed = 0;
  // Fills the command table: the rooms above the engine bring their command families.
  void (*registerCommands)(CommandTable& table);
  // Where the files the game writes go and are read back from.
  GameFiles files{};
};

// The one script engine: loaded scripts by slot, threads by id, the variable store, literal
// pools and built-in cells. It owns everything the scripts create.
class ScriptEngine {
 public:
  explicit ScriptEngine(EngineServices services);
  ~ScriptEngine();
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;

  // Loads `name` into `slot` (ending the threads of the script there before) and starts
  // thread `id` at its first command. False when the file cannot be compiled.
  bool loadScript(int32_t slot, int32_t id, const std::string& name);
  bool endThread(int32_t id);
  bool endSlot(int32_t slot);
  // Rebuilding the state of a saved game.
  ScriptFile* restoreScript(int32_t slot, const std::string& name);
  // A thread kept by unloadAll takes over the thread of its id, keeping its object.
  ScriptThread* restoreThread(int32_t id, int32_t slot, int32_t index);
  // Unloads every script and ends every thread but `keepId`, which stays without a script
  // (it runs again only once restoreThread gives it one).
  void unloadAll(std::optional<int32_t> keepId);

  // One pass: every thread gets one turn in ascending id. Returns the threads left.
  size_t runThreads();
  // Tells every companion to skip its animations `frames` frames ahead.
  void skipAnimations(int32_t frames);
  // Runs one thread until it yields (true) or ends (false).
  bool runThread(ScriptThread& thread) { return execute(&thread, nullptr); }
  // The dispatcher's entry point for each Op, for the loader to store in instructions.
  const void* const* primitiveLabels();

  // Building blocks of the thread and process commands.
  ScriptFile& scriptAt(int32_t slot);
  ScriptThread& startThread(int32_t id, ScriptFile& file, int32_t index);
  void endThreadsOf(ScriptFile& file, std::optional<int32_t> exceptId = std::nullopt);
  void moveThread(ScriptThread& thread, ScriptFile& to);
  bool compileInto(ScriptFile& file, const std::string& name);
  void endAllThreadsExcept(int32_t id);

  const std::map<int32_t, ScriptThread>& threads() const { return threads_; }
  const std::map<int32_t, std::unique_ptr<ScriptFile>>& scripts() const { return scripts_; }

  VariableStore& variables() { return variables_; }
  LiteralPool& literals() { return literals_; }
  int32_t& builtin(BuiltinCell cell) { return builtins_[static_cast<size_t>(cell)]; }
  KeySwitches& keySwitches() { return keySwitches_; }
  PersistentFlagSet& readFlags() { return readFlags_; }
  PersistentFlagSet& globalFlags() { return globalFlags_; }
  const GameFiles& files() const { return services_.files; }
  // The archives that the scripts registered: game files are read from them when there is
  // no plain file.
  ArchiveSet& archives() { return archives_; }
  const CommandTable& commands() const { return *commands_; }
  EngineServices& services() { return services_; }

  // Attaches a companion; one per type.
  template <class T>
  T& attach(std::unique_ptr<T> companion) {
    T& attached = *companion;
    companionsByType_[std::type_index(typeid(T))] = &attached;
    companions_.push_back(std::move(companion));
    return attached;
  }
  // The attached companion of type T; attaching every companion a command family needs is
  // the application's job, so a missing one is a programming error.
  template <class T>
  T& companion() const {
    return static_cast<T&>(*companionsByType_.at(std::type_index(typeid(T))));
  }
  template <class T>
  bool has() const {
    return companionsByType_.count(std::type_index(typeid(T))) != 0;
  }

  // The shared random generator (a 15-bit linear congruential generator).
  int32_t nextRandom();

 private:
  // Runs `thread`; with `labels`, only hands out the dispatch table instead.
  bool execute(ScriptThread* thread, const void* const** labels);
  void removeThread(std::map<int32_t, ScriptThread>::iterator it);

  EngineServices services_;
  std::unique_ptr<CommandTable> commands_;
  VariableStore variables_;
  LiteralPool literals_;
  int32_t builtins_[static_cast<size_t>(BuiltinCell::Count)] = {};
  KeySwitches keySwitches_;
  PersistentFlagSet readFlags_;
  PersistentFlagSet globalFlags_;
  ArchiveSet archives_;  // outlives the companions, which read through it
  uint32_t randomState_;
  std::map<int32_t, std::unique_ptr<ScriptFile>> scripts_;
  std::map<int32_t, ScriptThread> threads_;
  std::vector<std::unique_ptr<EngineCompanion>> companions_;
  std::unordered_map<std::type_index, EngineCompanion*> companionsByType_;
};

}  // namespace avg
