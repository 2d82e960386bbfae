#include "media/music_player.h"

#include <algorithm>

#include "audio/attenuation.h"
#include "base/game_path.h"
#include "base/text_encoding.h"
#include "media/cd_tracks.h"
#include "script/literals.h"

namespace avg {
namespace {

// The number that starts at the first decimal digit of a CD list field: "Track05" is 5; a
// field without a digit is 0.
int32_t trackNumber(const std::string& field) {
  size_t digit = field.find_first_of("0123456789");
  return digit == std::string::npos ? 0 : parseDecimalInt(field.substr(digit));
}

}  // namespace

bool MusicGraph::load(const std::string& file) {
  stream_.reset();
  atStart_ = true;
  if (std::optional<std::string> path = findGameFile(file)) stream_ = device_.openMusic(*path);
  if (!stream_) {
    errors_.report("ファイルがオープンできませんでした。", cp932ToUtf8(file));
    return false;
  }
  stream_->setVolume(volume_);
  return true;
}

void MusicGraph::run(bool loop) {
  if (!stream_) return;
  if (atStart_) {
    stream_->play(loop);
  } else {
    stream_->resume();
  }
  atStart_ = false;
}

void MusicGraph::stop() {
  if (stream_) stream_->stop();
  atStart_ = true;
}

void MusicGraph::pause() {
  if (stream_) stream_->pause();
}

void MusicGraph::setVolume(int32_t attenuation) {
  volume_ = std::clamp(attenuation, kSilentAttenuation, 0);
  if (stream_) stream_->setVolume(volume_);
}

void CdAudio::open() {
  tracks_ = findCdTracks();
  trackCount_ = tracks_.empty() ? 0 : tracks_.rbegin()->first;
  paused_ = false;
}

void CdAudio::close() {
  stop();
  stream_.reset();
  tracks_.clear();
  trackCount_ = 0;
}

bool CdAudio::select(int32_t track) {
  paused_ = false;
  selected_ = track;
  if (!selectedValid()) {
    stop();
    return false;
  }
  auto file = tracks_.find(track);
  // A track without a file (a gap in the numbering) plays as silence.
  stream_ = file == tracks_.end() ? nullptr : device_.openMusic(file->second);
  return true;
}

void CdAudio::play(bool loop) {
  if (!selectedValid()) {
    stop();
    return;
  }
  if (!stream_) return;
  if (paused_) {
    stream_->resume();
  } else {
    stream_->play(loop);
  }
  paused_ = false;
}

void CdAudio::stop() {
  paused_ = false;
  if (stream_) stream_->stop();
}

void CdAudio::pause() {
  if (paused_ || !stream_) return;
  paused_ = true;
  stream_->pause();
}

void MusicPlayer::play(const std::string& name) {
  if (!enabled_ || !prepare(name)) return;
  currentName_ = name;
  state_ = kPlaying;
  start();
}

void MusicPlayer::resume() {
  if (!enabled_) return;
  state_ = kPlaying;
  start();
}

void MusicPlayer::load(const std::string& name) {
  if (!prepare(name)) return;
  currentName_ = name;
  if (state_ == kPlaying) start();
}

bool MusicPlayer::prepare(const std::string& name) {
  if (onGraph()) {
    auto it = graphList_.find(name);
    if (it == graphList_.end()) {
      graph_.stop();
      return false;
    }
    graph_.load(it->second);
    return true;
  }
  auto it = cdList_.find(name);
  if (it == cdList_.end()) {
    cd_.stop();
    return false;
  }
  cd_.select(it->second);
  return true;
}

void MusicPlayer::start() {
  if (onGraph()) {
    graph_.run(loop_ != 0);
  } else {
    cd_.play(loop_ != 0);
  }
}

void MusicPlayer::stopActive() {
  if (onGraph()) {
    graph_.stop();
  } else {
    cd_.stop();
  }
}

void MusicPlayer::stop() {
  state_ = kStopped;
  stopActive();
}

void MusicPlayer::pause() {
  state_ = kPaused;
  if (onGraph()) {
    graph_.pause();
  } else {
    cd_.pause();
  }
}

void MusicPlayer::setDevice(int32_t device) {
  if (device == 1 && device_ == 1) return;
  state_ = kStopped;
  stopActive();
  if (device_ == 2) cd_.close();
  device_ = device;
  if (device_ == 2) cd_.open();
}

void MusicPlayer::readList(const std::string& file, bool replace) {
  if (replace) clearLists();
  listFile_ = file;
  TableRows rows;
  if (!readTable(file, archives_, rows)) return;
  for (const TableRow& row : rows) {
    if (row.size() < 2) continue;
    if (onGraph()) {
      graphList_[row[0]] = row[1];
    } else {
      cdList_[row[0]] = trackNumber(row[1]);
    }
  }
  currentName_.clear();
  state_ = kStopped;
}

void MusicPlayer::clearLists() {
  graphList_.clear();
  cdList_.clear();
}

void MusicPlayer::setVolume(int32_t volume, VariableStore& variables) {
  graph_.setVolume(attenuationFromVolume(volume));
  variables.intVariable("Volume-Music") = volume;
}

int32_t MusicPlayer::scriptVolume() const {
  return volumeFromAttenuation(graph_.volume());
}

void MusicPlayer::applySettings(const MusicSettings& settings, VariableStore& variables) {
  enabled_ = settings.device == 1 || settings.device == 2;
  if (enabled_) setDevice(settings.device);
  bool volumeValid = settings.volume >= 0 && settings.volume <= 100;
  setVolume(volumeValid ? settings.volume : 0, variables);
}

void MusicPlayer::stopAll() {
  graph_.stop();
  cd_.close();
}

TableRow MusicPlayer::saveRecord() const {
  return {listFile_, currentName_, std::to_string(state_)};
}

void MusicPlayer::writeSaveSection(SaveWriter& out) const {
  out.row().field("#MUSIC");
  out.row().fields(saveRecord());
}

void MusicPlayer::restoreRecord(const TableRow& record) {
  auto field = [&](size_t i) { return i < record.size() ? record[i] : std::string(); };
  stop();
  clearLists();
  readList(field(0), false);
  if (!field(1).empty()) load(field(1));
  if (record.size() > 2 && parseDecimalInt(record[2]) == kPlaying) resume();
}

}  // namespace avg
