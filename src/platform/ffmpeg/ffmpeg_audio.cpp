#include "platform/ffmpeg/ffmpeg_audio.h"

#include <algorithm>
#include <vector>

extern "C" {
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace avg {
namespace {

constexpr size_t kChunkFrames = 4096;
constexpr int kResampleFilterSize = 16;

// A reader's PCM as float stereo at the mixer's rate. Mono is converted as mono and then
// doubled, so that both sides carry the samples at full level.
class ResamplingStream : public AudioStream {
 public:
  ResamplingStream(std::unique_ptr<PcmReader> reader, uint32_t rate)
      : reader_(std::move(reader)), rate_(rate) {}
  ~ResamplingStream() override { swr_free(&swr_); }
  ResamplingStream(const ResamplingStream&) = delete;
  ResamplingStream& operator=(const ResamplingStream&) = delete;

  // False for PCM sample sizes other than 8, 16, 24 and 32 bits.
  bool open();

  size_t read(float* out, size_t frames) override;
  void setLoop(bool loop) override { reader_->setLoop(loop); }
  void rewind() override;
  uint64_t frameCountEstimate() const override {
    const WaveFormat& format = reader_->format();
    return reader_->pcmSize() / inFrameBytes_ * rate_ / format.samplesPerSec;
  }

 private:
  // Converts the next chunk of the reader into out_; false once everything was delivered.
  bool refill();
  // The next source frames as samples that libswresample reads (24-bit widened to 32).
  size_t readSource();

  std::unique_ptr<PcmReader> reader_;
  uint32_t rate_;
  SwrContext* swr_ = nullptr;
  size_t inFrameBytes_ = 0;
  size_t inSampleBytes_ = 0;
  int outChannels_ = 2;
  std::vector<uint8_t> source_;
  std::vector<uint8_t> widened_;
  std::vector<float> out_;
  size_t outFrames_ = 0;
  size_t outOffset_ = 0;
  bool drained_ = false;
};

bool ResamplingStream::open() {
  const WaveFormat& format = reader_->format();
  AVSampleFormat sampleFormat;
  switch (format.bitsPerSample) {
    case 8:
      sampleFormat = AV_SAMPLE_FMT_U8;
      break;
    case 16:
      sampleFormat = AV_SAMPLE_FMT_S16;
      break;
    case 24:
    case 32:
      sampleFormat = AV_SAMPLE_FMT_S32;
      break;
    default:
      return false;
  }
  if (format.channels == 0 || format.samplesPerSec == 0) return false;
  inSampleBytes_ = format.bitsPerSample / 8;
  inFrameBytes_ = inSampleBytes_ * format.channels;
  outChannels_ = format.channels == 1 ? 1 : 2;
  AVChannelLayout inLayout, outLayout;
  av_channel_layout_default(&inLayout, format.channels);
  av_channel_layout_default(&outLayout, outChannels_);
  if (swr_alloc_set_opts2(&swr_, &outLayout, AV_SAMPLE_FMT_FLT, static_cast<int>(rate_), &inLayout,
                          sampleFormat, static_cast<int>(format.samplesPerSec), 0, nullptr) < 0) {
    return false;
  }
  // Half the default filter length: still far beyond what effects and voices need, at half
  // the cost of a load.
  av_opt_set_int(swr_, "filter_size", kResampleFilterSize, 0);
  return swr_init(swr_) >= 0;
}

size_t ResamplingStream::readSource() {
  source_.resize(kChunkFrames * inFrameBytes_);
  size_t frames = reader_->read(source_.data(), source_.size()) / inFrameBytes_;
  if (inSampleBytes_ != 3) return frames;
  size_t samples = frames * inFrameBytes_ / 3;
  widened_.resize(samples * 4);
  for (size_t i = 0; i < samples; ++i) {
    widened_[4 * i] = 0;
    std::copy_n(&source_[3 * i], 3, &widened_[4 * i + 1]);
  }
  return frames;
}

bool ResamplingStream::refill() {
  if (drained_) return false;
  size_t inFrames = readSource();
  const uint8_t* in = inSampleBytes_ == 3 ? widened_.data() : source_.data();
  drained_ = inFrames == 0;
  int capacity = swr_get_out_samples(swr_, static_cast<int>(inFrames));
  out_.resize(static_cast<size_t>(std::max(capacity, 0)) * outChannels_);
  auto* out = reinterpret_cast<uint8_t*>(out_.data());
  int got = swr_convert(swr_, &out, capacity, drained_ ? nullptr : &in, static_cast<int>(inFrames));
  outFrames_ = static_cast<size_t>(std::max(got, 0));
  outOffset_ = 0;
  return true;
}

size_t ResamplingStream::read(float* out, size_t frames) {
  size_t done = 0;
  while (done < frames) {
    if (outOffset_ == outFrames_) {
      if (!refill()) break;
      continue;
    }
    size_t n = std::min(frames - done, outFrames_ - outOffset_);
    float* to = out + done * 2;
    if (outChannels_ == 1) {
      const float* from = out_.data() + outOffset_;
      for (size_t i = 0; i < n; ++i)
        to[2 * i] = to[2 * i + 1] = from[i];
    } else {
      std::copy_n(out_.data() + outOffset_ * 2, n * 2, to);
    }
    outOffset_ += n;
    done += n;
  }
  return done;
}

void ResamplingStream::rewind() {
  reader_->rewind();
  swr_init(swr_);
  outFrames_ = outOffset_ = 0;
  drained_ = false;
}

}  // namespace

std::unique_ptr<AudioStream> FfmpegAudioCodec::convert(std::unique_ptr<PcmReader> reader,
                                                       uint32_t rate) {
  auto stream = std::make_unique<ResamplingStream>(std::move(reader), rate);
  if (!stream->open()) return nullptr;
  return stream;
}

}  // namespace avg
