#include "audio/mixer.h"
#include "audio/attenuation.h"
#include "audio/whole_sound.h"

#include <algorithm>
#include <utility>

#include "base/error_log.h"
#include "base/text_encoding.h"

namespace avg {
namespace {

constexpr size_t kMusicChunkFrames = 2048;

// Adds up to `frames` frames of `voice` to `out` from its cursor, with gainAt(i) for the
// i-th frame of this call, wrapping when it loops. False when the sound ended (the cursor is
// then back at the start).
template <class GainAt>
bool mixVoice(Mixer::Voice& voice, float* out, size_t frames, GainAt gainAt) {
  size_t length = voice.data->frames();
  size_t done = 0;
  while (done < frames && voice.cursor < length) {
    size_t n = std::min(frames - done, length - voice.cursor);
    const float* in = voice.data->samples.data() + voice.cursor * 2;
    float* to = out + done * 2;
    for (size_t i = 0; i < n; ++i) {
      float gain = gainAt(done + i);
      to[2 * i] += in[2 * i] * gain;
      to[2 * i + 1] += in[2 * i + 1] * gain;
    }
    voice.cursor += n;
    done += n;
    if (voice.cursor == length && voice.loop) voice.cursor = 0;
  }
  if (voice.cursor < length) return true;
  voice.cursor = 0;
  return false;
}

}  // namespace

void Mixer::mix(float* out, size_t frames) {
  std::fill(out, out + frames * 2, 0.0f);
  std::lock_guard lock(mutex_);
  for (Voice* voice : voices_) {
    if (!voice->playing || !voice->data) continue;
    float gain = voice->gain;
    if (!mixVoice(*voice, out, frames, [gain](size_t) { return gain; })) voice->playing = false;
  }
  std::erase_if(tails_, [&](FadeTail& tail) { return !mixTail(tail, out, frames); });
  for (MixerMusic* music : music_)
    music->mixInto(out, frames, waitForMusic_);
}

bool Mixer::mixTail(FadeTail& tail, float* out, size_t frames) {
  size_t fadeFrames = static_cast<size_t>(rate_) * kFadeMs / 1000;
  size_t left = fadeFrames - tail.elapsed;
  size_t n = std::min(frames, left);
  float from = static_cast<float>(tail.attenuation);
  float slope = (from - kSilentAttenuation) / static_cast<float>(fadeFrames);
  size_t start = tail.elapsed;
  bool more = mixVoice(tail.voice, out, n, [&](size_t i) {
    return attenuationToGain(static_cast<int32_t>(from - static_cast<float>(start + i) * slope));
  });
  tail.elapsed += n;
  return more && tail.elapsed < fadeFrames;
}

void Mixer::add(Voice& voice) {
  voices_.push_back(&voice);
}

void Mixer::remove(Voice& voice) {
  std::erase(voices_, &voice);
}

void Mixer::add(MixerMusic& music) {
  music_.push_back(&music);
}

void Mixer::remove(MixerMusic& music) {
  std::erase(music_, &music);
}

void Mixer::fadeOut(const Voice& voice, int32_t attenuation) {
  tails_.push_back(FadeTail{voice, attenuation, 0});
}

MixerSound::MixerSound(std::shared_ptr<Mixer> mixer, std::shared_ptr<AudioDecoder> decoder)
    : mixer_(std::move(mixer)), decoder_(std::move(decoder)) {
  std::lock_guard lock(mixer_->mutex());
  mixer_->add(voice_);
}

MixerSound::~MixerSound() {
  std::lock_guard lock(mixer_->mutex());
  fadeOutIfPlaying();
  mixer_->remove(voice_);
}

void MixerSound::fadeOutIfPlaying() {
  if (voice_.playing) mixer_->fadeOut(voice_, volume_);
}

bool MixerSound::load(std::optional<std::string> bytes, const std::string& name) {
  {
    std::lock_guard lock(mixer_->mutex());
    fadeOutIfPlaying();
    voice_ = Mixer::Voice{};
    volume_ = 0;
  }
  std::shared_ptr<const SoundData> data =
      decodeWholeSound(*decoder_, std::move(bytes), name, mixer_->rate());
  if (!data) {
    writeErrorLog("CSound::Load " + cp932ToUtf8(name) + "のファイル読み込み時のエラー");
    return false;
  }
  std::lock_guard lock(mixer_->mutex());
  voice_.data = std::move(data);
  return true;
}

void MixerSound::play() {
  std::lock_guard lock(mixer_->mutex());
  pauseCount_ = 0;
  if (!voice_.data) return;
  fadeOutIfPlaying();
  voice_.cursor = 0;
  voice_.loop = loop_;
  voice_.playing = true;
}

void MixerSound::stop() {
  std::lock_guard lock(mixer_->mutex());
  if (!voice_.playing) return;
  mixer_->fadeOut(voice_, volume_);
  voice_.playing = false;
  voice_.cursor = 0;
}

void MixerSound::pause() {
  std::lock_guard lock(mixer_->mutex());
  if (pauseCount_ > 0) ++pauseCount_;
  if (voice_.playing) {
    voice_.playing = false;
    pauseCount_ = 1;
  }
}

void MixerSound::resume() {
  std::lock_guard lock(mixer_->mutex());
  if (pauseCount_ == 0 || --pauseCount_ > 0 || !voice_.data) return;
  voice_.loop = loop_;
  voice_.playing = true;
}

bool MixerSound::isPlay() const {
  std::lock_guard lock(mixer_->mutex());
  return voice_.playing;
}

int32_t MixerSound::currentPosMs() const {
  std::lock_guard lock(mixer_->mutex());
  if (!voice_.data) return -1;
  return static_cast<int32_t>(static_cast<uint64_t>(voice_.cursor) * 1000 / mixer_->rate());
}

void MixerSound::setCurrentPosMs(int32_t ms) {
  std::lock_guard lock(mixer_->mutex());
  if (!voice_.data) return;
  uint64_t frame = static_cast<uint64_t>(std::max(ms, 0)) * mixer_->rate() / 1000;
  voice_.cursor = static_cast<size_t>(std::min<uint64_t>(frame, voice_.data->frames()));
}

void MixerSound::setVolume(int32_t attenuation) {
  std::lock_guard lock(mixer_->mutex());
  if (!voice_.data) return;
  volume_ = std::clamp(attenuation, kSilentAttenuation, 0);
  voice_.gain = attenuationToGain(volume_);
}

MixerMusic::MixerMusic(std::shared_ptr<Mixer> mixer, std::unique_ptr<AudioStream> stream)
    : mixer_(std::move(mixer)), stream_(std::move(stream)) {
  // Room for a chunk beside whatever the mixer waits for, at any rate.
  ringFrames_ = std::max<size_t>(mixer_->rate() / 2, 4 * kMusicChunkFrames);
  ring_.resize(ringFrames_ * 2);
  chunk_.resize(kMusicChunkFrames * 2);
  worker_ = std::thread([this] { decodeAhead(); });
  std::lock_guard lock(mixer_->mutex());
  mixer_->add(*this);
}

MixerMusic::~MixerMusic() {
  {
    std::lock_guard lock(mixer_->mutex());
    mixer_->remove(*this);
  }
  {
    std::lock_guard lock(ringMutex_);
    quit_ = true;
  }
  ringChanged_.notify_all();
  worker_.join();
}

void MixerMusic::decodeAhead() {
  std::unique_lock lock(ringMutex_);
  for (;;) {
    ringChanged_.wait(lock, [this] {
      return quit_ || rewindPending_ || (!ended_ && filled_ + kMusicChunkFrames <= ringFrames_);
    });
    if (quit_) return;
    uint64_t generation = generation_;
    bool rewind = std::exchange(rewindPending_, false);
    bool loop = loop_;
    lock.unlock();
    if (rewind) stream_->rewind();
    stream_->setLoop(loop);
    size_t got = stream_->read(chunk_.data(), kMusicChunkFrames);
    lock.lock();
    if (generation != generation_) continue;
    for (size_t i = 0; i < got; ++i) {
      size_t at = (readFrame_ + filled_ + i) % ringFrames_;
      ring_[2 * at] = chunk_[2 * i];
      ring_[2 * at + 1] = chunk_[2 * i + 1];
    }
    filled_ += got;
    if (got < kMusicChunkFrames) ended_ = true;
    ringChanged_.notify_all();
  }
}

void MixerMusic::restart(bool loop) {
  {
    std::lock_guard lock(ringMutex_);
    ++generation_;
    rewindPending_ = true;
    loop_ = loop;
    ended_ = false;
    consumed_ = false;
    readFrame_ = filled_ = 0;
  }
  ringChanged_.notify_all();
}

size_t MixerMusic::take(float* out, size_t frames, bool waitForData) {
  std::unique_lock lock(ringMutex_);
  if (waitForData) ringChanged_.wait(lock, [&] { return filled_ >= frames || ended_; });
  size_t n = std::min(frames, filled_);
  for (size_t i = 0; i < n; ++i) {
    size_t at = (readFrame_ + i) % ringFrames_;
    out[2 * i] = ring_[2 * at];
    out[2 * i + 1] = ring_[2 * at + 1];
  }
  readFrame_ = (readFrame_ + n) % ringFrames_;
  filled_ -= n;
  consumed_ = consumed_ || n > 0;
  lock.unlock();
  ringChanged_.notify_all();
  return n;
}

bool MixerMusic::finished() {
  std::lock_guard lock(ringMutex_);
  return ended_ && filled_ == 0;
}

void MixerMusic::mixInto(float* out, size_t frames, bool waitForData) {
  if (!playing_) return;
  scratch_.resize(kMusicChunkFrames * 2);
  for (size_t done = 0; done < frames;) {
    size_t want = std::min(frames - done, kMusicChunkFrames);
    size_t got = take(scratch_.data(), want, waitForData);
    for (size_t i = 0; i < got * 2; ++i)
      out[done * 2 + i] += scratch_[i] * gain_;
    done += got;
    if (got < want) break;  // the end, or (on a live device) decoding fell behind
  }
  if (finished()) playing_ = false;
}

void MixerMusic::play(bool loop) {
  bool fresh;
  {
    std::lock_guard lock(ringMutex_);
    fresh = !consumed_ && !ended_ && !rewindPending_;
    if (fresh) loop_ = loop;
  }
  // A piece that was only prepared plays what is already decoded.
  if (!fresh) restart(loop);
  std::lock_guard lock(mixer_->mutex());
  playing_ = true;
}

void MixerMusic::stop() {
  {
    std::lock_guard lock(mixer_->mutex());
    playing_ = false;
  }
  restart(false);
}

void MixerMusic::pause() {
  std::lock_guard lock(mixer_->mutex());
  playing_ = false;
}

void MixerMusic::resume() {
  if (finished()) return;
  std::lock_guard lock(mixer_->mutex());
  playing_ = true;
}

bool MixerMusic::isPlaying() const {
  std::lock_guard lock(mixer_->mutex());
  return playing_;
}

void MixerMusic::setVolume(int32_t attenuation) {
  std::lock_guard lock(mixer_->mutex());
  gain_ = attenuationToGain(attenuation);
}

std::unique_ptr<MusicStream> openMixerMusic(const std::shared_ptr<Mixer>& mixer,
                                            AudioDecoder& decoder, const std::string& path) {
  std::unique_ptr<AudioStream> stream = decoder.openMusicStream(path, mixer->rate());
  if (!stream) return nullptr;
  return std::make_unique<MixerMusic>(mixer, std::move(stream));
}

}  // namespace avg
