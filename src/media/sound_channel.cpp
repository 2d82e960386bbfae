#include "media/sound_channel.h"

#include "audio/attenuation.h"
#include "script/literals.h"
#include "script/whole_file.h"

namespace avg {
namespace {

constexpr int32_t kLoopForever = -1;

bool isOn(const TableRow& record, size_t field) {
  return field < record.size() && parseDecimalInt(record[field]) != 0;
}

}  // namespace

Sound& SoundChannel::loadSound(SoundEntry& entry) {
  entry.sound = device_.createSound();
  entry.sound->load(ReadWholeFile(entry.file, archives_), entry.file);
  return *entry.sound;
}

void SoundChannel::releaseAll() {
  for (auto& [name, entry] : set_.entries)
    entry.sound.reset();
}

void SoundChannel::load(const std::string& setName) {
  if (setName == set_.name) return;
  set_.entries.clear();
  set_.name = setName;
  TableRows rows;
  readTable(setName, archives_, rows);
  for (const TableRow& row : rows) {
    if (row.empty()) continue;
    SoundEntry& entry = set_.entries[row[0]];
    entry.sound.reset();
    entry.file = row.size() > 1 ? row[1] : std::string();
    if (set_.active && !entry.file.empty()) loadSound(entry);
  }
}

void SoundChannel::activate() {
  set_.active = true;
  for (auto& [name, entry] : set_.entries) {
    entry.sound.reset();
    if (!entry.file.empty()) loadSound(entry);
  }
}

void SoundChannel::sleep() {
  set_.active = false;
  releaseAll();
}

void SoundChannel::setAuto(int32_t value) {
  set_.autoRelease = value;
  if (!set_.active) releaseAll();
}

void SoundChannel::play(const std::string& name, int32_t loopValue) {
  if (!enabled_) return;
  auto it = set_.entries.find(name);
  if (it == set_.entries.end()) return;
  SoundEntry& entry = it->second;
  if (!entry.sound && entry.file.empty()) return;
  Sound& sound = entry.sound ? *entry.sound : loadSound(entry);
  sound.setVolume(attenuation_);
  sound.setLoopPlay(loopValue == kLoopForever);
  sound.play();
}

void SoundChannel::stop(const std::string& name) {
  auto it = set_.entries.find(name);
  if (it != set_.entries.end() && it->second.sound) it->second.sound->stop();
}

void SoundChannel::stopAll() {
  for (auto& [name, entry] : set_.entries) {
    if (entry.sound) entry.sound->stop();
  }
}

void SoundChannel::clear() {
  set_.entries.clear();
  set_.name.clear();
}

void SoundChannel::setVolume(int32_t volume, VariableStore& variables) {
  attenuation_ = attenuationFromVolume(volume);
  variables.intVariable(volumeVariable_) = volume;
}

int32_t SoundChannel::scriptVolume() const {
  return volumeFromAttenuation(attenuation_);
}

void SoundChannel::setEnabled(bool enabled) {
  if (!enabled) stopAll();
  enabled_ = enabled;
}

TableRow SoundChannel::saveRecord() const {
  TableRow record{set_.name, set_.active ? "1" : "0", set_.autoRelease != 0 ? "1" : "0"};
  if (!set_.active && set_.autoRelease == 0) return record;
  for (const auto& [name, entry] : set_.entries) {
    if (entry.sound && entry.sound->isLoopPlay() && entry.sound->isPlay()) record.push_back(name);
  }
  return record;
}

void SoundChannel::writeSaveSection(SaveWriter& out) const {
  out.row().field("#SOUND");
  out.row().fields(saveRecord());
}

void SoundChannel::restoreRecord(const TableRow& record) {
  stopAll();
  if (isOn(record, 1)) activate();
  if (isOn(record, 2)) setAuto(1);
  load(record.empty() ? std::string() : record[0]);
  if (!enabled_) return;
  for (size_t i = 3; i < record.size(); ++i)
    play(record[i], kLoopForever);
}

void SoundChannels::applySettings(const SoundSettings& settings, VariableStore& variables) {
  if (settings.soundDisable != 0) effects.setEnabled(false);
  bool soundVolumeValid = settings.soundVolume >= 0 && settings.soundVolume <= 100;
  effects.setVolume(soundVolumeValid ? settings.soundVolume : 0, variables);
  if (settings.voiceDisable >= 1 && settings.voiceDisable <= 100) voice.setEnabled(false);
  voice.setVolume(settings.voiceVolume, variables);
}

}  // namespace avg
