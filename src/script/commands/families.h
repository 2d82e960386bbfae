#pragma once

namespace avg {

class CommandTable;

// One registration function per command family.
void registerSystemCommands(CommandTable& table);
void registerControlCommands(CommandTable& table);
void registerVariableCommands(CommandTable& table);
void registerGlobalCommands(CommandTable& table);
void registerCalculationCommands(CommandTable& table);
void registerConversionCommands(CommandTable& table);
void registerDebugCommands(CommandTable& table);
void registerArchiveCommands(CommandTable& table);
void registerSoundCommands(CommandTable& table);
void registerMusicCommands(CommandTable& table);
void registerVolumeCommands(CommandTable& table);
void registerObject2DCommands(CommandTable& table);
void registerSpriteCommands(CommandTable& table);
void registerScreenCommands(CommandTable& table);
void registerTextCommands(CommandTable& table);
void registerMenuCommands(CommandTable& table);
void registerPadCommands(CommandTable& table);

}  // namespace avg
