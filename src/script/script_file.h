#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "script/int_ops.h"
#include "script/values.h"

namespace avg {

class ScriptEngine;
struct Exec;

// How a command ended its turn in the dispatcher.
enum class Outcome : uint8_t { Continue, Yield, End };

using Handler = Outcome (*)(Exec&);

// One field of a command: its text, its first four bytes as a keyword, and the cell it was
// bound to at load time (none for plain text).
struct ScriptArgument {
  std::string text;
  uint32_t keyword = 0;
  ValueRef ref;
};

// One row of a script. words[0] is the command name; the code is its first four bytes.
struct ScriptCommand {
  uint32_t code = 0;
  std::vector<ScriptArgument> words;
};

// Primitive operations the dispatcher runs inline. Commands whose behaviour is fixed at
// load time (integer arithmetic on integer cells, jumps to known targets, conditional skips)
// compile to these; everything else calls its family's handler.
enum class Op : uint8_t {
  End,            // past the last command: the thread ends
  Call,           // handler(exec)
  Nop,            // index + 1
  Next,           // index + 1, yield
  Jump,           // index := target
  JumpBy,         // index += *a, or + 1 when *a is 0
  SkipIfZero,     // *a == 0 ? index + 2 : index + 1
  SkipIfNonZero,  // *a != 0 ? index + 2 : index + 1
// d := f(a, b) on integer cells, one per AVG_INT_OPERATORS entry
#define AVG_INT_OP_ENUM(name, keyword, expression) name,
  AVG_INT_OPERATORS(AVG_INT_OP_ENUM)
#undef AVG_INT_OP_ENUM
// A comparison whose next command skips on its result (IF__ or IF!_ on the same cell): both
// run as one step, with the same effect on cells and index as the two commands.
#define AVG_FUSED_ENUM(name, expression) name##ThenSkipIfZero, name##ThenSkipIfNonZero,
      AVG_INT_COMPARISONS(AVG_FUSED_ENUM)
#undef AVG_FUSED_ENUM
          Count
};

// A command compiled for the dispatcher; one per command, so indexes stay command indexes.
struct Instruction {
  Op op = Op::Call;
  const void* label = nullptr;  // where the dispatcher runs `op`
  int32_t target = 0;
  int32_t* d = nullptr;
  const int32_t* a = nullptr;
  const int32_t* b = nullptr;  // points at a for unary operators
  Handler handler = nullptr;
};

// A loaded script table under its slot, with the threads that run in it.
struct ScriptFile {
  int32_t slot = 0;
  std::string name;
  std::vector<ScriptCommand> commands;
  // One instruction per command, then an End sentinel.
  std::vector<Instruction> code;
  std::map<std::string, int32_t> labels;
  std::set<int32_t> threads;
  // Cells bound by this script, kept alive while it is loaded.
  std::vector<std::shared_ptr<void>> boundCells;

  void clear();
  // The index of a label line, or -1.
  int32_t findLabel(const std::string& name) const;
};

// Compiles a table file into `file` (labels, argument bindings, instructions). On failure
// the file is left empty and false is returned.
bool compileScript(ScriptEngine& engine, ScriptFile& file, const std::string& name);

}  // namespace avg
