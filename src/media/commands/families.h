#pragma once

namespace avg {

class CommandTable;

// The command families of sound, music and video, one registration function each.
void registerSoundCommands(CommandTable& table);
void registerMusicCommands(CommandTable& table);
void registerVolumeCommands(CommandTable& table);
void registerVideoCommands(CommandTable& table);

}  // namespace avg
