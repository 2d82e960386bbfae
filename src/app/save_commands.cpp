// SAVE (short and long form, INFO GET_) and LOAD.
#include "app/save_commands.h"

#include "app/save_game.h"
#include "script/command_table.h"
#include "script/exec.h"

namespace avg {
namespace {

// Where a game saved by the long form resumes: after the label (GOTO), at this command
// plus the offset (JUMP), or at this command when neither applies.
int32_t resumeIndex(Exec& x) {
  int32_t here = x.thread.index;
  if (x.keyword(2) == fourCC("GOTO")) {
    int32_t label = x.thread.file->findLabel(x.text(3));
    return label < 0 ? here : label + 1;
  }
  if (x.keyword(2) == fourCC("JUMP")) return here + x.intValue(3);
  return here;
}

// SAVE SAVE file confirm quick-only, or SAVE SAVE GOTO|JUMP target file confirm quick-only.
Outcome saveGameCommand(Exec& x) {
  constexpr size_t kLongForm = 7;
  size_t k = x.wordCount() < kLongForm ? 2 : 4;
  int32_t resume = x.wordCount() < kLongForm ? x.thread.index + 1 : resumeIndex(x);
  int32_t after = x.thread.index + 1;
  if (x.intValue(k + 2) != 0 && x.engine.keySwitches().quickKeys == 0) return x.next();
  if (x.intValue(k + 1) != 0 && !confirmedByPlayer(x.engine, "セーブしてもよろしいですか？"))
    return x.next();
  // The file records this thread at its resume position.
  x.thread.index = resume;
  saveGameAndReport(x.engine, x.stringValue(k));
  x.thread.index = after;
  return Outcome::Continue;
}

// SAVE INFO GET_ file ok date scene: what a save screen shows, without loading.
Outcome saveInfo(Exec& x) {
  std::optional<SaveHeader> header = readSaveHeader(x.engine, x.stringValue(3));
  x.intSlot(4) = header ? 1 : 0;
  if (header) {
    x.stringSlot(5) = header->date;
    x.stringSlot(6) = header->scene;
  }
  return x.next();
}

Outcome save(Exec& x) {
  if (x.keyword(1) == fourCC("SAVE")) return saveGameCommand(x);
  if (x.keyword(1) == fourCC("INFO") && x.keyword(2) == fourCC("GET_")) return saveInfo(x);
  return x.next();
}

// LOAD file confirm keep-running: the thread goes on in the next frame, as the saved thread
// of its id when the file has one; it ends when the file holds no thread of its id, or
// on a failure unless keep-running is set.
Outcome load(Exec& x) {
  std::string path = x.stringValue(1);
  bool confirm = x.intValue(2) != 0;
  bool keepRunning = x.intValue(3) != 0;
  int32_t id = x.thread.id;
  ++x.thread.index;
  if (confirm && !confirmedByPlayer(x.engine, "ロードしてもよろしいですか？"))
    return Outcome::Yield;
  // A load unloads the running script: `x` is not used after it.
  ScriptEngine& engine = x.engine;
  if (loadGame(engine, path, id) != LoadResult::Loaded)
    return keepRunning ? Outcome::Yield : Outcome::End;
  auto thread = engine.threads().find(id);
  return thread != engine.threads().end() && thread->second.file ? Outcome::Yield : Outcome::End;
}

}  // namespace

void registerSaveCommands(CommandTable& table) {
  table.add("SAVE", save,
            "SAVE file:str confirm:int quick:int | "
            "SAVE GOTO label:text@label file:str confirm:int quick:int | "
            "SAVE JUMP offset:int file:str confirm:int quick:int | "
            "INFO GET_ file:str ok:int& date:str& scene:str&");
  table.add("LOAD", load, "file:str confirm:int keep:int");
}

}  // namespace avg
