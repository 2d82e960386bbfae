#pragma once
#include <cstdint>
#include <string>

#include "input/ini_file.h"
#include "script/engine.h"

namespace avg {

class SoundChannels;

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

// Settings whose subsystems keep them until the game ends; the music, mixer, video and font
// values wait here for the subsystems that use them.
struct PlayerSettings : EngineCompanion {
  bool musicEnabled = true;
  int32_t musicDevice = 1;
  bool mixerControl = true;
  bool videoDisabled = false;
  std::string fontName;
};

// Reads the settings once the engine and its channels exist: applies the sound settings,
// stores the rest in PlayerSettings and sets the variables that mirror the file.
// `fullScreen` is the display mode start-up ended in.
void readSettings(const IniFile& file, ScriptEngine& engine, bool fullScreen);

// Writes the settings back from the variables and channels as the game leaves them.
void writeSettings(IniFile& file, ScriptEngine& engine);

}  // namespace avg
