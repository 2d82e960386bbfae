// Control flow: jumps to labels, calls and returns, relative jumps, conditional skips,
// continuing in another script, and posting the quit request.
#include "base/text_encoding.h"
#include "script/app_control.h"
#include "script/command_table.h"
#include "script/commands/families.h"
#include "script/error_reports.h"
#include "script/exec.h"

namespace avg {
namespace {

constexpr uint32_t kEscape = 27;

// Jumps past a label line of the running script. A missing label is reported and ends the
// thread, so the command is not repeated without end.
Outcome jumpToLabel(Exec& x) {
  const std::string& label = x.text(1);
  int32_t index = x.thread.file->findLabel(label);
  if (index < 0) {
    x.engine.services().errors.report("指定されたラベルは存在しません", cp932ToUtf8(label));
    return Outcome::End;
  }
  x.thread.index = index + 1;
  return Outcome::Continue;
}

// GOTO label.
Outcome jump(Exec& x) {
  return jumpToLabel(x);
}

// CALL label: pushes the return index, then jumps.
Outcome call(Exec& x) {
  x.thread.stack.push_back(x.thread.index + 1);
  return jumpToLabel(x);
}

// EXIT: returns to the index on top of the value stack; ends the thread when it is empty.
Outcome exitCall(Exec& x) {
  if (x.thread.stack.empty()) return Outcome::End;
  x.thread.index = x.thread.stack.back();
  x.thread.stack.pop_back();
  return Outcome::Continue;
}

// JUMP n, SW__ n: moves n commands (1 when n is 0).
Outcome jumpBy(Exec& x) {
  int32_t n = x.intValue(1);
  x.thread.index = intops::add(x.thread.index, n == 0 ? 1 : n);
  return Outcome::Continue;
}

// IF__ v: runs the next command only when v is non-zero.
Outcome ifTrue(Exec& x) {
  x.thread.index += x.intValue(1) != 0 ? 1 : 2;
  return Outcome::Continue;
}

// IF!_ v: runs the next command only when v is zero.
Outcome ifFalse(Exec& x) {
  x.thread.index += x.intValue(1) == 0 ? 1 : 2;
  return Outcome::Continue;
}

// CONT file: replaces the running script by another file and restarts at its first command.
Outcome continueIn(Exec& x) {
  const std::string name = x.stringValue(1);  // copied: the command is replaced below
  ScriptThread& thread = x.thread;
  x.engine.endThreadsOf(*thread.file, thread.id);
  thread.stack.clear();
  thread.index = 0;
  bool compiled = x.engine.compileInto(*thread.file, name);
  AppControl& app = x.engine.services().app;
  app.yieldTimeSlice();
  app.resetFrameTimer();
  return compiled ? Outcome::Continue : Outcome::End;
}

// POST QUIT: sends Esc to the main window, which asks whether to quit.
Outcome post(Exec& x) {
  if (x.keyword(1) == fourCC("QUIT")) x.engine.services().app.postCharacter(kEscape);
  return x.next();
}

// EXT_: does nothing.
Outcome nothing(Exec& x) {
  return x.next();
}

bool specializeGoto(const ScriptCommand& command, const ScriptFile& file, Instruction& in) {
  if (command.words.size() < 2) return false;
  int32_t label = file.findLabel(command.words[1].text);
  if (label < 0) return false;
  in.op = Op::Jump;
  in.target = label + 1;
  return true;
}

// Binds the primitive to an integer cell in word 1.
template <Op op>
bool specializeOnValue(const ScriptCommand& command, const ScriptFile&, Instruction& in) {
  if (command.words.size() < 2 || command.words[1].ref.kind != RefKind::Int) return false;
  in.op = op;
  in.a = static_cast<const int32_t*>(command.words[1].ref.cell);
  return true;
}

}  // namespace

void registerControlCommands(CommandTable& table) {
  table.add("GOTO", jump, "label:text@label", specializeGoto);
  table.add("CALL", call, "label:text@label");
  table.add("EXIT", exitCall, "");
  table.add("JUMP", jumpBy, "n:int", specializeOnValue<Op::JumpBy>);
  table.add("SW__", jumpBy, "n:int", specializeOnValue<Op::JumpBy>);
  table.add("IF__", ifTrue, "value:int", specializeOnValue<Op::SkipIfZero>);
  table.add("IF!_", ifFalse, "value:int", specializeOnValue<Op::SkipIfNonZero>);
  table.add("CONT", continueIn, "file:str@script");
  table.add("POST", post, "QUIT");
  table.add("EXT_", nothing, "[any:text...]", specializeAs<Op::Nop>);
}

}  // namespace avg
