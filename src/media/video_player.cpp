#include "media/video_player.h"

#include "base/error_log.h"
#include "base/game_path.h"
#include "media/music_player.h"
#include "script/table_reader.h"

namespace avg {

void VideoPlayer::readList(const std::string& file) {
  list_.clear();
  TableRows rows;
  if (!readTable(file, engine_.archives(), rows)) return;
  for (const TableRow& row : rows) {
    if (row.size() >= 2) list_[row[0]] = row[1];
  }
}

void VideoPlayer::play(const std::string& name) {
  auto listed = list_.find(name);
  if (!enabled_ || listed == list_.end()) return;
  std::optional<std::string> path = findGameFile(listed->second);
  // A platform without a film decoder opens no file at all.
  if (!path || !devices_.films) {
    writeErrorLog("CMovieAVI::Open AviFile Open Error");
    return;
  }
  std::unique_ptr<Film> film = devices_.films->open(*path);
  if (!film) return;
  uint32_t length = film->lengthMs();
  if (length > kTailCutMs) length -= kTailCutMs;
  std::unique_ptr<MusicStream> sound = openSound(*film, *path);
  FilmHost& host = devices_.host;
  const uint32_t start = host.clock().nowMs();
  if (sound) sound->play(false);
  runFilm(*film, length, start);
  if (sound) sound->stop();
  host.resetFrameTimer();
}

std::unique_ptr<MusicStream> VideoPlayer::openSound(const Film& film, const std::string& path) {
  const auto& music = engine_.companion<MusicPlayer>();
  if (!music.enabled()) return nullptr;
  std::optional<uint32_t> tag = film.soundFormatTag();
  if (!tag) {
    writeErrorLog("CMovieAVIAUDIO::OpenAudioStrema not found AudioStrema");
    return nullptr;
  }
  std::unique_ptr<MusicStream> sound = devices_.sound.openMusic(path);
  if (!sound) {
    writeErrorLogf("CMovieAVIAUDIO::InitAudio acmFormatSuggest. No such ACM? %x", *tag);
    return nullptr;
  }
  sound->setVolume(music.attenuation());
  return sound;
}

void VideoPlayer::runFilm(Film& film, uint32_t lengthMs, uint32_t startMs) {
  FilmHost& host = devices_.host;
  int64_t drawnFrame = -1;
  bool running = host.pumpFilmPass();
  host.clock().sleepMs(kStartSleepMs);
  host.resetFrameTimer();
  while (running) {
    host.beginInputFrame();
    bool skipped = skipRequested();
    host.endInputFrame();
    const uint32_t now = host.clock().nowMs() - startMs;
    if (skipped || now >= lengthMs) break;
    const int64_t frame = film.frameAt(now);
    // A pass that brings no new picture presents nothing: the last one stays shown.
    if (frame != drawnFrame) {
      drawnFrame = frame;
      if (film.decodeFrame(frame, host.backSurface())) host.present();
    }
    host.waitFrame();
    running = host.pumpFilmPass();
  }
}

bool VideoPlayer::skipRequested() {
  return engine_.builtin(BuiltinCell::MBUT) != 0 || engine_.builtin(BuiltinCell::PBUT) != 0;
}

}  // namespace avg
