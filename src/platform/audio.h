#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

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

// The output device all sounds are mixed into (the mixer's, on the platform's output).
class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  virtual std::unique_ptr<Sound> createSound() = 0;
  // Opens a music file by its path on this system; null when no decoder reads it.
  virtual std::unique_ptr<MusicStream> openMusic(const std::string& path) = 0;
  // Called once per frame pass on the main thread: the output's device loss and recovery.
  virtual void pump() {}
};

// A sound card's output: a stream of interleaved float stereo frames at a fixed rate, pulled
// from a render function.
class AudioOutput {
 public:
  // Writes the next `frames` frames (two floats each) into `out`.
  using Render = std::function<void(float* out, size_t frames)>;

  virtual ~AudioOutput() = default;
  virtual uint32_t rate() const = 0;
  // True when frames are pulled on virtual time, where the output must be exact and
  // repeatable: rendering then waits for music still being decoded instead of leaving a gap.
  virtual bool virtualTime() const { return false; }
  // Pulls the frames from `render` from now on, possibly on another thread; until then the
  // output is silent.
  virtual void start(Render render) = 0;
  // Once it returns, `render` is not called any more.
  virtual void stop() = 0;
  // Called once per frame pass on the main thread: device loss and recovery.
  virtual void pump() {}
};

}  // namespace avg
