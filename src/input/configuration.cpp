#include "input/configuration.h"

#include <algorithm>
#include <cstdio>

#include "script/int_ops.h"

namespace avg {
namespace {

// "ＭＳ ゴシック" in CP932.
constexpr const char* kDefaultFont = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";
constexpr int32_t kCharacterVoices = 5;
constexpr int32_t kMinFrameRate = 60;
constexpr int32_t kMaxFrameRate = 120;

int32_t within(int32_t value, int32_t low, int32_t high, int32_t otherwise) {
  return value >= low && value <= high ? value : otherwise;
}

std::string characterVoiceKey(int32_t n) {
  char name[16];
  std::snprintf(name, sizeof name, "Flag-Char%02dCV", n);
  return name;
}

// Keeps the music switch and device for the writer, and returns every sound key for the
// application to apply.
SoundConfig readSoundSettings(const IniFile& file, PlayerSettings& settings) {
  SoundConfig sound{.musicDevice = file.integer("MUSIC", "DEVICE", 1),
                    .musicVolume = file.integer("MUSIC", "VOLUME", 0),
                    .mixerControl = file.integer("VOLUME", "CONTROL", 1) != 0,
                    .soundDisable = file.integer("SOUND", "DISABLE", 0),
                    .soundVolume = file.integer("SOUND", "VOLUME", 0),
                    .voiceDisable = file.integer("VOICE", "DISABLE", 0),
                    .voiceVolume = file.integer("VOICE", "VOLUME", 0)};
  settings.musicEnabled = sound.musicDevice == 1 || sound.musicDevice == 2;
  if (settings.musicEnabled) settings.musicDevice = sound.musicDevice;
  return sound;
}

}  // namespace

StartOptions readStartOptions(const IniFile& file) {
  return StartOptions{.escConfirm = file.integer("OPTION", "ESC", 1),
                      .frameRate = file.integer("FRAME", "RATE", 60),
                      .frameWait = file.integer("FRAME", "WAIT", 1),
                      .frameSkip = file.integer("FRAME", "SKIP", 1)};
}

SoundConfig readSettings(const IniFile& file, ScriptEngine& engine, bool fullScreen) {
  VariableStore& variables = engine.variables();
  auto& settings = engine.companion<PlayerSettings>();
  SoundConfig sound = readSoundSettings(file, settings);
  for (int32_t n = 0; n < kCharacterVoices; ++n) {
    std::string key = characterVoiceKey(n);
    variables.intVariable(key) = file.integer("VOICE", key, 1);
  }
  settings.videoDisabled = file.integer("VIDEO", "DISABLE", 0) != 0;
  variables.intVariable("Talk-Wait") = within(file.integer("TEXT", "WAIT", 2), 0, 2, 2);
  int32_t rate =
      within(file.integer("FRAME", "RATE", 60), kMinFrameRate, kMaxFrameRate, kMinFrameRate);
  variables.intVariable("Flag-FPS") = rate / 60 - 1;
  variables.intVariable("Flag-CtrlSkip") = within(file.integer("TEXT", "CTRL", 1), 0, 1, 1);
  settings.fontName = file.string("TEXT", "FONT", kDefaultFont);
  variables.intVariable("Flag-FullScreen") = fullScreen ? 1 : 0;
  return sound;
}

void writeSettings(IniFile& file, ScriptEngine& engine, ChannelSwitches channels) {
  VariableStore& variables = engine.variables();
  const auto& settings = engine.companion<PlayerSettings>();
  // Music and effect volumes above 100 would read back as silence next time.
  auto volume = [&](const char* name) { return std::clamp(variables.intVariable(name), 0, 100); };
  file.set("SCREEN", "FULL", variables.intVariable("Flag-FullScreen") != 0 ? 1 : 0);
  file.set("FRAME", "RATE", intops::mul(intops::add(variables.intVariable("Flag-FPS"), 1), 60));
  file.set("MUSIC", "DEVICE", settings.musicEnabled ? settings.musicDevice : 0);
  file.set("MUSIC", "VOLUME", volume("Volume-Music"));
  file.set("SOUND", "DISABLE", channels.effects ? 0 : 1);
  file.set("SOUND", "VOLUME", volume("Volume-Sound"));
  file.set("VOICE", "DISABLE", channels.voice ? 0 : 1);
  file.set("VOICE", "VOLUME", variables.intVariable("Volume-Voice"));
  for (int32_t n = 0; n < kCharacterVoices; ++n) {
    std::string key = characterVoiceKey(n);
    file.set("VOICE", key, variables.intVariable(key));
  }
  file.set("TEXT", "WAIT", variables.intVariable("Talk-Wait"));
  file.set("TEXT", "CTRL", variables.intVariable("Flag-CtrlSkip") != 0 ? 1 : 0);
}

}  // namespace avg
