#pragma once

namespace avg {

class CommandTable;

// The command families of sound and music, one registration function each.
void registerSoundCommands(CommandTable& table);
void registerMusicCommands(CommandTable& table);
void registerVolumeCommands(CommandTable& table);

}  // namespace avg
