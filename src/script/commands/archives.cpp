// ARC_: the packed archives that whole-file reads search.
#include "script/archive.h"
#include "script/command_table.h"
#include "script/commands/families.h"
#include "script/exec.h"

namespace avg {
namespace {

// ARC_ ADD_ file | CLE_: registers an archive file, or unregisters them all.
Outcome archives(Exec& x) {
  switch (x.keyword(1)) {
    case fourCC("ADD_"):
      x.engine.archives().add(x.stringValue(2));
      break;
    case fourCC("CLE_"):
      x.engine.archives().clear();
      break;
  }
  return x.next();
}

}  // namespace

void registerArchiveCommands(CommandTable& table) {
  table.add("ARC_", archives, "ADD_ file:str@archive | CLE_");
}

}  // namespace avg
