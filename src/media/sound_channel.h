#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/audio.h"
#include "script/engine.h"
#include "script/save_text.h"
#include "script/table_reader.h"

namespace avg {

// A named sound of a set: its file and, while loaded, its sound.
struct SoundEntry {
  std::string file;
  std::unique_ptr<Sound> sound;
};

// The named sounds of a set file.
struct SoundSet {
  std::string name;
  std::map<std::string, SoundEntry> entries;
  bool active = false;
  int32_t autoRelease = 0;
};

// One sound channel (effects or voice): a sound set, an enable switch and a volume.
class SoundChannel {
 public:
  // Sets and sounds are read from plain files, else from `archives`.
  SoundChannel(SoundDevice& device, const ArchiveSet& archives, std::string volumeVariable)
      : device_(device), archives_(archives), volumeVariable_(std::move(volumeVariable)) {}

  // Replaces the set by the sounds of a set file; nothing when it is the current set.
  void load(const std::string& setName);
  // Loads every sound now, replacing loaded ones.
  void activate();
  // Releases every loaded sound.
  void sleep();
  void setAuto(int32_t value);
  // Plays a named sound from its start; loops when `loopValue` is -1.
  void play(const std::string& name, int32_t loopValue);
  void stop(const std::string& name);
  void stopAll();
  // Removes every entry and empties the set name.
  void clear();

  // The script volume 0-100 as attenuation; the mirror variable receives v unclamped.
  void setVolume(int32_t volume, VariableStore& variables);
  int32_t scriptVolume() const;
  int32_t attenuation() const { return attenuation_; }
  bool enabled() const { return enabled_; }
  // Disabling stops every sound first.
  void setEnabled(bool enabled);

  const SoundSet& set() const { return set_; }

  // The save record: the row after the section header (set name, active, auto, then the
  // names of the looping sounds that play, only when active or auto is set).
  TableRow saveRecord() const;
  void restoreRecord(const TableRow& record);
  // Appends the save file's sound section: its header row "#SOUND" and the record.
  void writeSaveSection(SaveWriter& out) const;

 private:
  Sound& loadSound(SoundEntry& entry);
  void releaseAll();

  SoundDevice& device_;
  const ArchiveSet& archives_;
  std::string volumeVariable_;
  SoundSet set_;
  bool enabled_ = true;
  int32_t attenuation_ = 0;
};

// Start values of the two channels; the defaults are those of a game without config.ini.
struct SoundSettings {
  int32_t soundDisable = 0;
  int32_t soundVolume = 0;
  int32_t voiceDisable = 0;
  int32_t voiceVolume = 0;
};

// The effects and voice channels, living with the engine.
class SoundChannels : public EngineCompanion {
 public:
  SoundChannels(SoundDevice& device, const ArchiveSet& archives)
      : effects(device, archives, "Volume-Sound"), voice(device, archives, "Volume-Voice") {}

  // Applies the settings read at start, in the order of the configuration file's reader.
  void applySettings(const SoundSettings& settings, VariableStore& variables);

  SoundChannel effects;
  SoundChannel voice;
};

}  // namespace avg
