#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio.h"

namespace avg {

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

  // A long sound decoded while it plays (music).
  struct StreamVoice {
    std::unique_ptr<AudioStream> stream;
    bool playing = false;
    float gain = 1.0f;
  };

  static constexpr uint32_t kFadeMs = 25;

  explicit Mixer(uint32_t rate) : rate_(rate) {}
  uint32_t rate() const { return rate_; }
  std::mutex& mutex() { return mutex_; }

  // Writes the next `frames` frames of the mix into `out` (2 floats per frame).
  void mix(float* out, size_t frames);

  // With the lock held: registers a voice for mixing, or removes it.
  void add(Voice& voice);
  void remove(Voice& voice);
  void add(StreamVoice& voice);
  void remove(StreamVoice& voice);
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
  void mixStream(StreamVoice& voice, float* out, size_t frames);

  uint32_t rate_;
  std::mutex mutex_;
  std::vector<Voice*> voices_;
  std::vector<FadeTail> tails_;
  std::vector<StreamVoice*> streams_;
  std::vector<float> streamBuffer_;
};

// A sound of the mixer (the sound device's `Sound`), decoded whole at load to the mixer's
// rate.
class MixerSound : public Sound {
 public:
  MixerSound(std::shared_ptr<Mixer> mixer, std::shared_ptr<AudioDecoder> decoder);
  ~MixerSound() override;
  MixerSound(const MixerSound&) = delete;
  MixerSound& operator=(const MixerSound&) = delete;

  bool load(const std::string& file) override;
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

// Plays an audio stream through the mixer, decoding it as it plays, so that long files
// (music) need not be held whole.
class MixerStream {
 public:
  MixerStream(std::shared_ptr<Mixer> mixer, std::unique_ptr<AudioStream> stream);
  ~MixerStream();
  MixerStream(const MixerStream&) = delete;
  MixerStream& operator=(const MixerStream&) = delete;

  // Plays from the start; with `loop` the end rewinds the stream and playing goes on.
  void play(bool loop);
  // Stops and rewinds.
  void stop();
  // Stops keeping the position; resume() plays on from there.
  void pause();
  void resume();
  bool isPlaying() const;
  void setVolume(int32_t attenuation);

 private:
  std::shared_ptr<Mixer> mixer_;
  Mixer::StreamVoice voice_;
};

}  // namespace avg
