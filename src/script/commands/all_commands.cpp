#include "script/command_table.h"
#include "script/commands/families.h"
#include "script/exec.h"

namespace avg {
namespace {

// Commands of subsystems that are not built yet: they move on without effect, so that games
// using them keep running.
Outcome notYetAvailable(Exec& exec) {
  return exec.next();
}

}  // namespace

void registerAllCommands(CommandTable& table) {
  registerSystemCommands(table);
  registerControlCommands(table);
  registerVariableCommands(table);
  registerGlobalCommands(table);
  registerCalculationCommands(table);
  registerConversionCommands(table);
  registerDebugCommands(table);
  registerArchiveCommands(table);
  registerSoundCommands(table);
  registerMusicCommands(table);
  registerVolumeCommands(table);
  registerObject2DCommands(table);
  registerSpriteCommands(table);
  registerScreenCommands(table);
  registerTextCommands(table);
  registerMenuCommands(table);
  registerPadCommands(table);
  for (const char* code : {"VID_", "SAVE", "LOAD"}) {
    char name[5] = {code[0], code[1], code[2], code[3], '\0'};
    table.add(name, notYetAvailable);
  }
}

}  // namespace avg
