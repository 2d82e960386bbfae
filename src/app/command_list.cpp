#include "app/command_list.h"

#include "app/save_commands.h"
#include "input/commands/families.h"
#include "media/commands/families.h"
#include "script/command_table.h"
#include "script/commands/families.h"
#include "stage/commands/families.h"

namespace avg {

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
  registerVideoCommands(table);
  registerObject2DCommands(table);
  registerSpriteCommands(table);
  registerScreenCommands(table);
  registerTextCommands(table);
  registerMenuCommands(table);
  registerPadCommands(table);
  registerSaveCommands(table);
}

}  // namespace avg
