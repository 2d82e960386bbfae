#pragma once
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/audio_decoder.h"
#include "audio/whole_sound.h"
#include "platform/audio.h"

namespace avg {

class MixerMusic;

// Mixes any number of sounds into interleaved float stereo at one rate. The output side
// (an audio thread or the headless frame loop) calls mix(); sounds change their voices on
// the main thread under the mixer's lock.
class Mixer {
 public:
  // What the mixer plays of one sound.
  struct Voice {
    std::shared_ptr<const SoundData> data;
    size_t cursor = 0;  // frames
    bool playing = false;
    bool loop = false;
    float gain = 1.0f;
  };

  static constexpr uint32_t kFadeMs = 25;

  // With `waitForMusic` mixing waits for music that is still being decoded instead of
  // leaving a gap: the virtual-time output of the headless player stays exact.
  explicit Mixer(uint32_t rate, bool waitForMusic = false)
      : rate_(rate), waitForMusic_(waitForMusic) {}
  uint32_t rate() const { return rate_; }
  std::mutex& mutex() { return mutex_; }

  // Writes the next `frames` frames of the mix into `out` (2 floats per frame).
  void mix(float* out, size_t frames);

  // With the lock held: registers a voice for mixing, or removes it.
  void add(Voice& voice);
  void remove(Voice& voice);
  void add(MixerMusic& music);
  void remove(MixerMusic& music);
  // With the lock held: goes on playing a copy of the voice while its attenuation falls
  // linearly from `attenuation` to silence over 25 ms.
  void fadeOut(const Voice& voice, int32_t attenuation);

 private:
  struct FadeTail {
    Voice voice;
    int32_t attenuation = 0;
    size_t elapsed = 0;  // frames since the fade began
  };
  bool mixTail(FadeTail& tail, float* out, size_t frames);

  uint32_t rate_;
  bool waitForMusic_;
  std::mutex mutex_;
  std::vector<Voice*> voices_;
  std::vector<FadeTail> tails_;
  std::vector<MixerMusic*> music_;
};

// A sound of the mixer (the sound device's `Sound`), decoded whole at load to the mixer's
// rate.
class MixerSound : public Sound {
 public:
  MixerSound(std::shared_ptr<Mixer> mixer, std::shared_ptr<AudioDecoder> decoder);
  ~MixerSound() override;
  MixerSound(const MixerSound&) = delete;
  MixerSound& operator=(const MixerSound&) = delete;

  bool load(std::optional<std::string> bytes, const std::string& name) override;
  void play() override;
  void stop() override;
  void pause() override;
  void resume() override;
  bool isPlay() const override;
  bool isLoopPlay() const override { return loop_; }
  void setLoopPlay(bool loop) override { loop_ = loop; }
  int32_t currentPosMs() const override;
  void setCurrentPosMs(int32_t ms) override;
  void setVolume(int32_t attenuation) override;
  int32_t volume() const override { return volume_; }

 private:
  // Cutting a playing sound off would click: what it was playing fades out instead, while
  // the sound itself is free at once (released, reloaded or restarted).
  void fadeOutIfPlaying();

  std::shared_ptr<Mixer> mixer_;
  std::shared_ptr<AudioDecoder> decoder_;
  Mixer::Voice voice_;
  bool loop_ = false;
  int32_t pauseCount_ = 0;
  int32_t volume_ = 0;
};

// Music on the mixer: a worker thread decodes the stream ahead into a ring of about half a
// second, which the mixer drains. Restarts are told to the worker by a generation count, so
// that a chunk decoded for an older start is dropped instead of played.
class MixerMusic : public MusicStream {
 public:
  MixerMusic(std::shared_ptr<Mixer> mixer, std::unique_ptr<AudioStream> stream);
  // Leaves the mixer, then stops and joins the worker.
  ~MixerMusic() override;
  MixerMusic(const MixerMusic&) = delete;
  MixerMusic& operator=(const MixerMusic&) = delete;

  void play(bool loop) override;
  void stop() override;
  void pause() override;
  void resume() override;
  bool isPlaying() const override;
  void setVolume(int32_t attenuation) override;

  // The mixer's side, under its lock: adds the next frames at the music's gain.
  void mixInto(float* out, size_t frames, bool waitForData);

 private:
  void decodeAhead();
  // Drops what was decoded and has the worker start again from the beginning.
  void restart(bool loop);
  // Moves up to `frames` decoded frames out of the ring.
  size_t take(float* out, size_t frames, bool waitForData);
  bool finished();

  std::shared_ptr<Mixer> mixer_;
  std::unique_ptr<AudioStream> stream_;
  // Under the mixer's lock.
  bool playing_ = false;
  float gain_ = 1.0f;
  std::vector<float> scratch_;
  // Under ringMutex_.
  std::mutex ringMutex_;
  std::condition_variable ringChanged_;
  std::vector<float> ring_;
  size_t ringFrames_ = 0;
  size_t readFrame_ = 0;
  size_t filled_ = 0;
  uint64_t generation_ = 0;
  bool rewindPending_ = false;
  bool loop_ = false;
  bool ended_ = false;
  bool consumed_ = false;
  bool quit_ = false;
  // The worker's own.
  std::vector<float> chunk_;
  std::thread worker_;
};

// Music of `path` decoded by `decoder` for `mixer`; null when it cannot be decoded.
std::unique_ptr<MusicStream> openMixerMusic(const std::shared_ptr<Mixer>& mixer,
                                            AudioDecoder& decoder, const std::string& path);

}  // namespace avg
