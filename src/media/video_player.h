#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "base/surface.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/video.h"
#include "script/engine.h"

namespace avg {

// What a film needs of the application while it plays in place of the frame loop.
class FilmHost {
 public:
  virtual ~FilmHost() = default;
  virtual Clock& clock() = 0;
  // Handles the window's messages as one frame pass does; false once the program is to end.
  virtual bool pumpFilmPass() = 0;
  // The input frame start (pointer and pads) and end (clearing the pass's events).
  virtual void beginInputFrame() = 0;
  virtual void endInputFrame() = 0;
  virtual Surface& backSurface() = 0;
  virtual void present() = 0;
  // Sleeps until the next frame is due at the game's frame rate.
  virtual void waitFrame() = 0;
  virtual void resetFrameTimer() = 0;
};

// The devices a film plays on. `films` is null on a platform that plays none.
struct FilmDevices {
  FilmHost& host;
  FilmDecoder* films;
  SoundDevice& sound;
};

// Films driven by VID_: names from the video list, played to their end or until a mouse or
// pad button skips them. Every script thread waits meanwhile.
class VideoPlayer : public EngineCompanion {
 public:
  // Films shorter than this play whole; longer ones stop this much before their end.
  static constexpr uint32_t kTailCutMs = 1000;
  static constexpr uint32_t kStartSleepMs = 100;

  // The video list is read from plain files, else from the engine's archives.
  VideoPlayer(ScriptEngine& engine, FilmDevices devices) : engine_(engine), devices_(devices) {}

  // LIST LOAD file (replacing the list) and LIST CLE_.
  void readList(const std::string& file);
  void clearList() { list_.clear(); }
  // PLAY name: returns once the film is over; at once when it is not listed, cannot be
  // opened or video is disabled.
  void play(const std::string& name);
  void setEnabled(bool enabled) { enabled_ = enabled; }
  bool enabled() const { return enabled_; }

 private:
  // The film's sound track as a music stream at the music volume; null when music is off or
  // the track is missing or undecodable (both logged).
  std::unique_ptr<MusicStream> openSound(const Film& film, const std::string& path);
  // The loop of passes until the film's end, a skip or the end of the program.
  void runFilm(Film& film, uint32_t lengthMs, uint32_t startMs);
  bool skipRequested();

  ScriptEngine& engine_;
  FilmDevices devices_;
  std::map<std::string, std::string> list_;
  bool enabled_ = true;
};

}  // namespace avg
