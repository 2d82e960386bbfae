#pragma once
#include <cstdint>
#include <string>

#include "input/ini_file.h"
#include "script/engine.h"

namespace avg {

// The player's settings file, in the game directory.
inline constexpr const char* kConfigFileName = "config.ini";

// The keys read when the game starts, before the engine exists.
struct StartOptions {
  int32_t escConfirm = 1;
  int32_t frameRate = 60;
  int32_t frameWait = 1;
  int32_t frameSkip = 1;
};
StartOptions readStartOptions(const IniFile& file);

// Settings whose subsystems keep them until the game ends; the music, video and font values
// wait here for the subsystems and the writer that use them.
struct PlayerSettings : EngineCompanion {
  bool musicEnabled = true;
  int32_t musicDevice = 1;
  bool videoDisabled = false;
  std::string fontName;
};

// The sound keys as the file gives them, for the application to apply to the music player,
// the sound channels and the mixer, in that order.
struct SoundConfig {
  int32_t musicDevice = 1;
  int32_t musicVolume = 0;
  bool mixerControl = true;
  int32_t soundDisable = 0;
  int32_t soundVolume = 0;
  int32_t voiceDisable = 0;
  int32_t voiceVolume = 0;
};

// Reads the settings once the engine exists: stores what the player keeps in PlayerSettings,
// sets the variables that mirror the file and returns the sound keys. `fullScreen` is the
// display mode start-up ended in.
SoundConfig readSettings(const IniFile& file, ScriptEngine& engine, bool fullScreen);

// Whether the effects and voice channels are on as the game leaves them.
struct ChannelSwitches {
  bool effects = true;
  bool voice = true;
};

// Writes the settings back from the variables and channel switches as the game leaves them.
void writeSettings(IniFile& file, ScriptEngine& engine, ChannelSwitches channels);

}  // namespace avg
