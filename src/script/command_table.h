#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>

#include "script/script_file.h"

namespace avg {

// Turns a command into a primitive instruction at load time when its behaviour allows
// (see Op); returns false to leave it to the handler.
using Specializer = bool (*)(const ScriptCommand& command, const ScriptFile& file,
                             Instruction& instruction);

// For commands that always compile to one argument-free primitive.
template <Op op>
bool specializeAs(const ScriptCommand&, const ScriptFile&, Instruction& instruction) {
  instruction.op = op;
  return true;
}

struct CommandDef {
  Handler handler = nullptr;
  Specializer specialize = nullptr;
  // The forms the handler takes, in the notation of command_signature.h: the command's
  // documentation, and what avgscript lint checks scripts against.
  std::string signature;
};

// Every command code the player knows, with its handler and signature.
class CommandTable {
 public:
  void add(const char (&code)[5], Handler handler, std::string signature,
           Specializer specialize = nullptr);
  const CommandDef* find(uint32_t code) const;
  const std::unordered_map<uint32_t, CommandDef>& all() const { return commands_; }

 private:
  std::unordered_map<uint32_t, CommandDef> commands_;
};

// The handler of codes that are not in the table: reports the command and ends the thread.
Outcome unknownCommand(Exec& exec);

}  // namespace avg
