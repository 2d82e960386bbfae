#include "platform/mixer.h"

#include <algorithm>

#include "platform/error_log.h"
#include "platform/text_encoding.h"

namespace avg {
namespace {

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
  for (StreamVoice* voice : streams_) {
    if (voice->playing) mixStream(*voice, out, frames);
  }
}

void Mixer::mixStream(StreamVoice& voice, float* out, size_t frames) {
  streamBuffer_.resize(frames * 2);
  size_t got = voice.stream->read(streamBuffer_.data(), frames);
  for (size_t i = 0; i < got * 2; ++i)
    out[i] += streamBuffer_[i] * voice.gain;
  if (got < frames) voice.playing = false;
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

void Mixer::add(StreamVoice& voice) {
  streams_.push_back(&voice);
}

void Mixer::remove(StreamVoice& voice) {
  std::erase(streams_, &voice);
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

bool MixerSound::load(const std::string& file) {
  {
    std::lock_guard lock(mixer_->mutex());
    fadeOutIfPlaying();
    voice_ = Mixer::Voice{};
    volume_ = 0;
  }
  std::shared_ptr<const SoundData> data = decodeWholeSound(*decoder_, file, mixer_->rate());
  if (!data) {
    writeErrorLog("CSound::Load " + cp932ToUtf8(file) + "のファイル読み込み時のエラー");
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

MixerStream::MixerStream(std::shared_ptr<Mixer> mixer, std::unique_ptr<AudioStream> stream)
    : mixer_(std::move(mixer)) {
  voice_.stream = std::move(stream);
  std::lock_guard lock(mixer_->mutex());
  mixer_->add(voice_);
}

MixerStream::~MixerStream() {
  std::lock_guard lock(mixer_->mutex());
  mixer_->remove(voice_);
}

void MixerStream::play(bool loop) {
  std::lock_guard lock(mixer_->mutex());
  voice_.stream->rewind();
  voice_.stream->setLoop(loop);
  voice_.playing = true;
}

void MixerStream::stop() {
  std::lock_guard lock(mixer_->mutex());
  voice_.playing = false;
  voice_.stream->rewind();
}

void MixerStream::pause() {
  std::lock_guard lock(mixer_->mutex());
  voice_.playing = false;
}

void MixerStream::resume() {
  std::lock_guard lock(mixer_->mutex());
  voice_.playing = true;
}

bool MixerStream::isPlaying() const {
  std::lock_guard lock(mixer_->mutex());
  return voice_.playing;
}

void MixerStream::setVolume(int32_t attenuation) {
  std::lock_guard lock(mixer_->mutex());
  voice_.gain = attenuationToGain(attenuation);
}

}  // namespace avg
