#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace avg {

// A volume in hundredths of a decibel: 0 is full volume, -10000 silence.
constexpr int32_t kSilentAttenuation = -10000;

// Linear gain of an attenuation: 10^(a / 2000), exactly 0 at -10000 and below.
float attenuationToGain(int32_t attenuation);

// One whole sound held by the sound device. Without loaded data it ignores Play, Stop and
// SetVolume. Positions are milliseconds from the start of the sound.
class Sound {
 public:
  virtual ~Sound() = default;
  // Decodes the file whole; false (with a log entry) when no reader accepts it.
  virtual bool load(const std::string& file) = 0;
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

// The output device all sounds are mixed into.
class SoundDevice {
 public:
  virtual ~SoundDevice() = default;
  virtual std::unique_ptr<Sound> createSound() = 0;
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
  virtual std::unique_ptr<AudioStream> openStream(const std::string& file, uint32_t rate) = 0;
};

// Largest decoded sound accepted, in bytes of mixer data; larger files are refused with a
// log entry instead of exhausting memory.
constexpr uint64_t kMaxSoundBytes = 256ull << 20;

// Decodes a whole file through `decoder`; null when it cannot be opened or its mixer data
// would exceed `maxBytes`.
std::shared_ptr<const SoundData> decodeWholeSound(AudioDecoder& decoder, const std::string& file,
                                                  uint32_t rate,
                                                  uint64_t maxBytes = kMaxSoundBytes);

}  // namespace avg
