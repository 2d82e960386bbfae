#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/audio.h"
#include "script/engine.h"
#include "script/error_reports.h"
#include "script/save_text.h"
#include "script/table_reader.h"

namespace avg {

// The music file player (device 1): one piece at a time, streamed from its file.
class MusicGraph {
 public:
  MusicGraph(SoundDevice& device, ErrorReports& errors) : device_(device), errors_(errors) {}

  // Replaces the piece by `file` (a game file name); false, with a report, when it cannot
  // be played. The piece is then unloaded and running it does nothing.
  bool load(const std::string& file);
  // From the start after a load or stop, else on from where it paused.
  void run(bool loop);
  // Stops and returns to the start.
  void stop();
  void pause();
  void release() { stream_.reset(); }
  // Kept for the pieces loaded later as well.
  void setVolume(int32_t attenuation);
  int32_t volume() const { return volume_; }
  bool isPlaying() const { return stream_ && stream_->isPlaying(); }

 private:
  SoundDevice& device_;
  ErrorReports& errors_;
  std::unique_ptr<MusicStream> stream_;
  bool atStart_ = true;
  int32_t volume_ = 0;
};

// The audio CD (device 2), played from ripped track files; always at full volume.
class CdAudio {
 public:
  explicit CdAudio(SoundDevice& device) : device_(device) {}

  // Finds the track files; without any the disc simply has no tracks.
  void open();
  void close();
  int32_t trackCount() const { return trackCount_; }
  // False (and the CD stops) for a track outside 1 to the number of tracks.
  bool select(int32_t track);
  // The selected track from its start, or on from where it was paused.
  void play(bool loop);
  void stop();
  // Keeps the position for the next play and holds the track there.
  void pause();
  bool isPlaying() const { return stream_ && stream_->isPlaying(); }

 private:
  bool selectedValid() const { return selected_ >= 1 && selected_ <= trackCount_; }

  SoundDevice& device_;
  std::map<int32_t, std::string> tracks_;
  int32_t trackCount_ = 0;
  int32_t selected_ = 0;
  bool paused_ = false;
  std::unique_ptr<MusicStream> stream_;
};

// Start values of the music; the defaults are those of a game without config.ini.
struct MusicSettings {
  int32_t device = 1;
  int32_t volume = 0;
};

// Background music driven by MUSI: named pieces from music lists, played by the file
// player (device 1) or the CD (device 2).
class MusicPlayer : public EngineCompanion {
 public:
  static constexpr int32_t kPlaying = 0;
  static constexpr int32_t kStopped = 1;
  static constexpr int32_t kPaused = 2;

  // Music lists are read from plain files, else from `archives`; pieces only from plain files.
  MusicPlayer(SoundDevice& device, ErrorReports& errors, const ArchiveSet& archives)
      : graph_(device, errors), cd_(device), archives_(archives) {}

  // MUSI PLAY name / PLAY / LOAD name / STOP / PAUS / LOOP n / MODE n.
  void play(const std::string& name);
  void resume();
  void load(const std::string& name);
  void stop();
  void pause();
  void setLoop(int32_t loop) { loop_ = loop; }
  void setDevice(int32_t device);
  // LIST LOAD (replace) and LIST ADD_: rows go to the list of the device chosen now.
  void readList(const std::string& file, bool replace);
  void clearLists();
  // SET_ VOL_ v: the music attenuation, applied at once; "Volume-Music" becomes v.
  void setVolume(int32_t volume, VariableStore& variables);
  int32_t scriptVolume() const;
  int32_t attenuation() const { return graph_.volume(); }
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  // The settings read at start, in the order of the configuration file's reader.
  void applySettings(const MusicSettings& settings, VariableStore& variables);
  // The end of the run: both back ends stop and the CD closes.
  void stopAll();

  // The save record: list file, current name and state.
  TableRow saveRecord() const;
  void restoreRecord(const TableRow& record);
  // Appends the save file's music section: its header row "#MUSIC" and the record.
  void writeSaveSection(SaveWriter& out) const;

  int32_t state() const { return state_; }
  int32_t device() const { return device_; }
  int32_t loop() const { return loop_; }
  const std::string& currentName() const { return currentName_; }
  const std::string& listFile() const { return listFile_; }
  bool isPlaying() const { return onGraph() ? graph_.isPlaying() : cd_.isPlaying(); }
  const CdAudio& cd() const { return cd_; }

 private:
  bool onGraph() const { return device_ == 1; }
  // Makes `name` current on the active back end; false (the back end stopped) when it is
  // not listed.
  bool prepare(const std::string& name);
  void start();
  void stopActive();

  MusicGraph graph_;
  CdAudio cd_;
  const ArchiveSet& archives_;
  std::map<std::string, std::string> graphList_;
  std::map<std::string, int32_t> cdList_;
  std::string listFile_;
  std::string currentName_;
  int32_t loop_ = 1;
  int32_t state_ = kStopped;
  int32_t device_ = 1;
  bool enabled_ = true;
};

}  // namespace avg
