// System commands: waiting, yielding, the wait counter, frame rate, threads and processes.
#include "script/app_control.h"
#include "script/command_table.h"
#include "script/commands/families.h"
#include "script/exec.h"

namespace avg {
namespace {

// WAIT: while the wait counter is above 0, count it down and wait here a frame.
Outcome wait(Exec& x) {
  if (x.thread.waitCounter > 0) {
    --x.thread.waitCounter;
    return Outcome::Yield;
  }
  return x.next();
}

// SET_ frames: sets the wait counter; a negative count waits no frame.
Outcome setWaitCounter(Exec& x) {
  x.thread.waitCounter = static_cast<uint32_t>(std::max(0, x.intValue(1)));
  return x.next();
}

// GET_ dst: reads the wait counter.
Outcome getWaitCounter(Exec& x) {
  x.intSlot(1) = static_cast<int32_t>(x.thread.waitCounter);
  return x.next();
}

// CLOS: ends the running thread.
Outcome closeThread(Exec&) {
  return Outcome::End;
}

// QUIT: asks the application to close and ends every thread.
Outcome quit(Exec& x) {
  x.engine.services().app.requestClose();
  x.engine.endAllThreadsExcept(x.thread.id);
  return Outcome::End;
}

// FPS_ SET_ rate | RSET | PASS ticks: frame rate control; PASS skips animations ahead.
Outcome frameRate(Exec& x) {
  switch (x.keyword(1)) {
    case fourCC("SET_"):
      x.engine.services().app.setFrameRate(x.intValue(2));
      break;
    case fourCC("RSET"):
      x.engine.services().app.resetFrameTimer();
      break;
    case fourCC("PASS"):
      x.engine.skipAnimations(x.intValue(2));
      break;
  }
  return x.next();
}

// THRE ADD_ id label: starts thread id at a label of this script (a jump when id is the
// running thread). THRE DEL_ id: ends thread id.
Outcome thread(Exec& x) {
  int32_t id = x.intValue(2);
  bool self = id == x.thread.id;
  switch (x.keyword(1)) {
    case fourCC("ADD_"): {
      int32_t label = x.thread.file->findLabel(x.stringValue(3));
      if (self) {
        if (label < 0) return Outcome::End;
        x.thread.index = label + 1;
        return Outcome::Continue;
      }
      if (label >= 0) x.engine.startThread(id, *x.thread.file, label + 1);
      break;
    }
    case fourCC("DEL_"):
      if (self) return Outcome::End;
      x.engine.endThread(id);
      break;
  }
  return x.next();
}

// PROC ADD_ slot id file: loads a script into a slot and starts a thread in it, with the
// four cases of own or other slot and own or other thread.
Outcome startProcess(Exec& x) {
  ScriptEngine& engine = x.engine;
  ScriptThread& running = x.thread;
  const int32_t slot = x.intValue(2);
  const int32_t id = x.intValue(3);
  const std::string name = x.stringValue(4);  // copied: the command may be recompiled away
  ScriptFile& own = *running.file;
  const bool ownSlot = slot == own.slot;
  const bool ownId = id == running.id;
  if (ownSlot) {
    engine.endThreadsOf(own, running.id);
    if (ownId) running.stack.clear();
    running.index = 0;
    if (!engine.compileInto(own, name)) return Outcome::End;
    if (ownId) return Outcome::Continue;
    engine.startThread(id, own, 0);
    return Outcome::End;
  }
  if (ownId) {
    auto existing = engine.scripts().find(slot);
    if (existing != engine.scripts().end()) engine.endThreadsOf(*existing->second);
    ScriptFile& target = engine.scriptAt(slot);
    if (!engine.compileInto(target, name)) {
      if (target.threads.empty()) engine.endSlot(slot);
      return Outcome::End;
    }
    engine.moveThread(running, target);
    running.stack.clear();
    running.index = 0;
    return Outcome::Continue;
  }
  engine.loadScript(slot, id, name);
  return x.next();
}

// PROC ADD_ ... | DEL_ slot: processes (script slots).
Outcome process(Exec& x) {
  switch (x.keyword(1)) {
    case fourCC("ADD_"):
      return startProcess(x);
    case fourCC("DEL_"): {
      int32_t slot = x.intValue(2);
      if (slot == x.thread.file->slot) {
        x.engine.endThreadsOf(*x.thread.file, x.thread.id);
        return Outcome::End;
      }
      x.engine.endSlot(slot);
      break;
    }
  }
  return x.next();
}

// NEXT: yields until the next pass.
Outcome next(Exec& x) {
  x.next();
  return Outcome::Yield;
}

// VOID, BRK_: does nothing (label lines become VOID).
Outcome nothing(Exec& x) {
  return x.next();
}

}  // namespace

void registerSystemCommands(CommandTable& table) {
  table.add("WAIT", wait, "");
  table.add("NEXT", next, "", specializeAs<Op::Next>);
  table.add("SET_", setWaitCounter, "frames:int");
  table.add("GET_", getWaitCounter, "dst:int&");
  table.add("VOID", nothing, "", specializeAs<Op::Nop>);
  table.add("BRK_", nothing, "", specializeAs<Op::Nop>);
  table.add("CLOS", closeThread, "");
  table.add("QUIT", quit, "");
  table.add("FPS_", frameRate, "SET_ rate:int | RSET | PASS frames:int");
  table.add("THRE", thread, "ADD_ id:int label:str@label | DEL_ id:int");
  table.add("PROC", process, "ADD_ slot:int id:int file:str@script | DEL_ slot:int");
}

}  // namespace avg
