#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace avg {

// Volumes are attenuations in hundredths of a decibel (audio/attenuation.h).
// Sound files reach the device as bytes that the caller read, with the file's name for log
// entries; no bytes means the file could not be read, which the readers log as such.

// One whole sound held by the sound device. Without loaded data it ignores Play, Stop and
// SetVolume. Positions are milliseconds from the start of the sound.
class Sound {
 public:
  virtual ~Sound() = default;
  // Decodes the file whole; false (with a log entry) when no reader accepts it.
  virtual bool load(std::optional<std::string> bytes, const std::string& name) = 0;
  // Plays from the start, restarting the sound when it plays; clears the pause count.
  virtual void play() = 0;
  // Fades out over 25 ms in the mixer and returns at once: afterwards the sound is not
  // playing, its position is the start and its volume is what it was.
  virtual void stop() = 0;
  // Nested pauses: only the last Resume plays on from the kept position.
  virtual void pause() = 0;
  virtual void resume() = 0;
  virtual bool isPlay() const = 0;
  virtual bool isLoopPlay() const = 0;
  virtual void setLoopPlay(bool loop) = 0;
  // -1 without data.
  virtual int32_t currentPosMs() const = 0;
  virtual void setCurrentPosMs(int32_t ms) = 0;
  virtual void setVolume(int32_t attenuation) = 0;
  virtual int32_t volume() const = 0;
};

// A long piece (music) played while it is decoded: a worker thread decodes ahead into a
// bounded buffer, so that the piece starts at once and never sits whole in memory.
class MusicStream {
 public:
  virtual ~MusicStream() = default;
  // Plays from the start; with `loop` the end is followed by the start without a gap.
  virtual void play(bool loop) = 0;
  // Stops and rewinds to the start.
  virtual void stop() = 0;
  virtual void pause() = 0;
  // Plays on from where it paused, in the mode it was started with; nothing at the end.
  virtual void resume() = 0;
  virtual bool isPlaying() const = 0;
  virtual void setVolume(int32_t attenuation) = 0;
};

// The output device all sounds are mixed into.
class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  virtual std::unique_ptr<Sound> createSound() = 0;
  // Opens a music file by its path on this system; null when no decoder reads it.
  virtual std::unique_ptr<MusicStream> openMusic(const std::string& path) = 0;
  // Called once per frame pass on the main thread: device loss and recovery.
  virtual void pump() {}
};

// Audio converted for the mixer: interleaved float stereo frames at the mixer's rate.
class AudioStream {
 public:
  virtual ~AudioStream() = default;
  // Delivers up to `frames` frames; fewer only at the end (never when looping).
  virtual size_t read(float* out, size_t frames) = 0;
  // When set, the end of the source rewinds it and reading goes on.
  virtual void setLoop(bool loop) = 0;
  virtual void rewind() = 0;
  // The length in frames as far as known before decoding (0 when unknown).
  virtual uint64_t frameCountEstimate() const = 0;
};

// Whole decoded sounds: interleaved float stereo at the mixer's rate.
struct SoundData {
  std::vector<float> samples;
  size_t frames() const { return samples.size() / 2; }
};

// Turns game sound files into audio for the mixer (WAVE, compressed WAVE, MP3).
class AudioDecoder {
 public:
  virtual ~AudioDecoder() = default;
  // Null when no reader accepts the file; the readers log why.
  virtual std::unique_ptr<AudioStream> openStream(std::optional<std::string> bytes,
                                                  const std::string& name, uint32_t rate) = 0;
  // A music file by its path, read from the file as it is decoded. Every audio format the
  // decoder knows is accepted. Null, quietly, when it cannot be decoded (always, unless the
  // decoder plays music).
  virtual std::unique_ptr<AudioStream> openMusicStream(const std::string& path, uint32_t rate) {
    return nullptr;
  }
};

}  // namespace avg
