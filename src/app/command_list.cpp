#include "app/command_list.h"

#include "app/save_commands.h"
#include "base/error_log.h"
#include "input/commands/families.h"
#include "media/commands/families.h"
#include "script/command_table.h"
#include "script/commands/families.h"
#include "script/exec.h"
#include "stage/commands/families.h"

namespace avg {
namespace {

// VID_: video playback is not built yet. The command moves on without effect, so that games
// using it keep running; the first use in a run is logged.
Outcome notYetAvailable(Exec& x) {
  if (x.engine.firstNotice(x.command.code)) {
    writeErrorLogf("%.4s: not supported yet, the command is ignored", x.text(0).c_str());
  }
  return x.next();
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
  registerSaveCommands(table);
  table.add("VID_", notYetAvailable, "LIST LOAD file:str@videos | LIST CLE_ | PLAY name:str");
}

}  // namespace avg
