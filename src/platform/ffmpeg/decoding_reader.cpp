// The decoding PCM reader: compressed sound data decoded with libavformat/libavcodec.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "base/error_log.h"
#include "platform/ffmpeg/byte_input.h"
#include "platform/ffmpeg/ffmpeg_audio.h"
#include "platform/ffmpeg/receive_frame.h"
#include "platform/ffmpeg/vorbis_reader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace avg {
namespace {

constexpr int kIoBufferSize = 4096;

// Format tags written by the outside Ogg Vorbis codec: the data chunk holds an Ogg stream.
bool isVorbisTag(uint16_t tag) {
  switch (tag) {
    case 0x674F:
    case 0x6750:
    case 0x6751:
    case 0x676F:
    case 0x6770:
    case 0x6771:
      return true;
    default:
      return false;
  }
}

bool hasDecoderFor(uint16_t tag) {
  switch (tag) {
    case 0x0002:  // Microsoft ADPCM
    case 0x0006:  // A-law
    case 0x0007:  // mu-law
    case 0x0011:  // IMA ADPCM
    case kWaveFormatMpegLayer3:
      return true;
    default:
      return isVorbisTag(tag);
  }
}

int readPacket(void* opaque, uint8_t* buffer, int size) {
  int n = static_cast<ByteInput*>(opaque)->read(buffer, size);
  return n <= 0 ? AVERROR_EOF : n;
}

int64_t seekInput(void* opaque, int64_t offset, int whence) {
  auto* input = static_cast<ByteInput*>(opaque);
  if ((whence & ~AVSEEK_FORCE) == AVSEEK_SIZE) return input->size();
  return input->seek(offset, whence & ~AVSEEK_FORCE) ? input->position() : -1;
}

uint32_t readLe(FILE* file, int bytes) {
  uint8_t buffer[4] = {};
  if (std::fread(buffer, 1, bytes, file) != static_cast<size_t>(bytes)) return 0;
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = value << 8 | buffer[i];
  return value;
}

// The data chunk of a RIFF WAVE file whose format tag is an Ogg Vorbis tag: that chunk is
// a plain Ogg stream. Other files give nothing.
std::optional<std::pair<int64_t, int64_t>> vorbisWaveData(FILE* file, int64_t fileSize) {
  char riff[12];
  if (std::fread(riff, 1, 12, file) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
      std::memcmp(riff + 8, "WAVE", 4) != 0) {
    return std::nullopt;
  }
  bool vorbis = false;
  for (int64_t at = 12; at + 8 <= fileSize;) {
    char id[4];
    if (std::fseek(file, at, SEEK_SET) != 0 || std::fread(id, 1, 4, file) != 4) break;
    int64_t size = readLe(file, 4);
    if (std::memcmp(id, "fmt ", 4) == 0)
      vorbis = isVorbisTag(static_cast<uint16_t>(readLe(file, 2)));
    if (std::memcmp(id, "data", 4) == 0) {
      if (!vorbis) break;
      return std::make_pair(at + 8, std::min(size, fileSize - at - 8));
    }
    at += 8 + size + (size & 1);
  }
  return std::nullopt;
}

class DecodingReader : public PcmReader {
 public:
  // `container` names the demuxer; null lets libavformat recognise the data.
  DecodingReader(std::unique_ptr<ByteInput> input, const char* container)
      : input_(std::move(input)), container_(container) {}
  ~DecodingReader() override { close(); }
  DecodingReader(const DecodingReader&) = delete;
  DecodingReader& operator=(const DecodingReader&) = delete;

  // Opens the demuxer and decoder over the file image; false when FFmpeg cannot.
  bool open();

  const WaveFormat& format() const override { return pcm_; }
  uint64_t pcmSize() const override { return pcmSize_; }
  void setLoop(bool loop) override { loop_ = loop; }
  void rewind() override {
    close();
    open();
  }
  size_t read(uint8_t* buffer, size_t count) override;

 private:
  void close();
  bool openInput();
  bool openCodec();
  bool openConverter();
  // Decodes the next frame into pending_; false at the end of the stream.
  bool decodeMore();
  void convertFrame();

  std::unique_ptr<ByteInput> input_;
  const char* container_;
  AVIOContext* io_ = nullptr;
  AVFormatContext* demuxer_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  SwrContext* swr_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int stream_ = -1;
  WaveFormat pcm_;
  uint64_t pcmSize_ = 0;
  std::vector<uint8_t> pending_;
  size_t pendingOffset_ = 0;
  bool loop_ = false;
};

bool DecodingReader::open() {
  pending_.clear();
  pendingOffset_ = 0;
  if (!openInput() || !openCodec() || !openConverter()) {
    close();
    return false;
  }
  return true;
}

bool DecodingReader::openInput() {
  input_->seek(0, SEEK_SET);
  auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
  io_ =
      avio_alloc_context(buffer, kIoBufferSize, 0, input_.get(), &readPacket, nullptr, &seekInput);
  demuxer_ = avformat_alloc_context();
  if (!io_ || !demuxer_) return false;
  demuxer_->pb = io_;
  demuxer_->flags |= AVFMT_FLAG_CUSTOM_IO;
  const AVInputFormat* format = container_ ? av_find_input_format(container_) : nullptr;
  if (avformat_open_input(&demuxer_, nullptr, format, nullptr) < 0) {
    return false;
  }
  if (avformat_find_stream_info(demuxer_, nullptr) < 0) return false;
  stream_ = av_find_best_stream(demuxer_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  return stream_ >= 0;
}

bool DecodingReader::openCodec() {
  const AVCodecParameters* parameters = demuxer_->streams[stream_]->codecpar;
  const AVCodec* decoder = avcodec_find_decoder(parameters->codec_id);
  if (!decoder) return false;
  codec_ = avcodec_alloc_context3(decoder);
  packet_ = av_packet_alloc();
  frame_ = av_frame_alloc();
  if (!codec_ || !packet_ || !frame_) return false;
  if (avcodec_parameters_to_context(codec_, parameters) < 0) return false;
  if (avcodec_open2(codec_, decoder, nullptr) < 0) return false;
  return codec_->sample_rate > 0 && codec_->ch_layout.nb_channels > 0;
}

bool DecodingReader::openConverter() {
  AVChannelLayout layout;
  av_channel_layout_default(&layout, codec_->ch_layout.nb_channels);
  if (swr_alloc_set_opts2(&swr_, &layout, AV_SAMPLE_FMT_S16, codec_->sample_rate, &layout,
                          codec_->sample_fmt, codec_->sample_rate, 0, nullptr) < 0 ||
      swr_init(swr_) < 0) {
    return false;
  }
  pcm_.formatTag = kWaveFormatPcm;
  pcm_.channels = static_cast<uint16_t>(layout.nb_channels);
  pcm_.samplesPerSec = static_cast<uint32_t>(codec_->sample_rate);
  pcm_.bitsPerSample = 16;
  pcm_.blockAlign = static_cast<uint16_t>(pcm_.channels * 2);
  pcm_.avgBytesPerSec = pcm_.samplesPerSec * pcm_.blockAlign;
  if (demuxer_->duration > 0) {
    pcmSize_ =
        static_cast<uint64_t>(av_rescale(demuxer_->duration, pcm_.samplesPerSec, AV_TIME_BASE)) *
        pcm_.blockAlign;
  }
  return true;
}

void DecodingReader::close() {
  swr_free(&swr_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  avcodec_free_context(&codec_);
  avformat_close_input(&demuxer_);
  if (io_) av_freep(&io_->buffer);
  avio_context_free(&io_);
}

bool DecodingReader::decodeMore() {
  if (!codec_ || !receiveFrame(demuxer_, codec_, packet_, stream_, frame_)) return false;
  convertFrame();
  return true;
}

void DecodingReader::convertFrame() {
  int capacity = swr_get_out_samples(swr_, frame_->nb_samples);
  pending_.resize(static_cast<size_t>(std::max(capacity, 0)) * pcm_.blockAlign);
  uint8_t* out = pending_.data();
  int got = swr_convert(swr_, &out, capacity, const_cast<const uint8_t**>(frame_->extended_data),
                        frame_->nb_samples);
  pending_.resize(static_cast<size_t>(std::max(got, 0)) * pcm_.blockAlign);
  pendingOffset_ = 0;
  av_frame_unref(frame_);
}

size_t DecodingReader::read(uint8_t* buffer, size_t count) {
  size_t delivered = 0;
  bool decodedSinceRewind = true;
  while (delivered < count) {
    if (pendingOffset_ == pending_.size()) {
      if (decodeMore()) {
        decodedSinceRewind = true;
        continue;
      }
      if (!loop_ || !decodedSinceRewind) break;
      rewind();
      decodedSinceRewind = false;
      continue;
    }
    size_t n = std::min(count - delivered, pending_.size() - pendingOffset_);
    std::memcpy(buffer + delivered, pending_.data() + pendingOffset_, n);
    pendingOffset_ += n;
    delivered += n;
  }
  return delivered;
}

std::unique_ptr<PcmReader> openFfmpegReader(std::unique_ptr<ByteInput> input,
                                            const char* container) {
  auto reader = std::make_unique<DecodingReader>(std::move(input), container);
  if (!reader->open()) return nullptr;
  return reader;
}

}  // namespace

std::unique_ptr<PcmReader> openDecodingReader(AudioSource source) {
  uint16_t tag = source.format.formatTag;
  if (tag == kWaveFormatPcm) return nullptr;
  if (!hasDecoderFor(tag)) {
    writeErrorLogf("kmACMtoPCM::open acmFormatSuggest. No such ACM? %x", tag);
    return nullptr;
  }
  av_log_set_level(AV_LOG_QUIET);
  std::unique_ptr<PcmReader> reader;
  if (isVorbisTag(tag)) {
    std::unique_ptr<ByteInput> input = std::make_unique<MemoryInput>(std::move(source), true);
    reader = openVorbisReader(input);
  } else {
    // Bare MP3 data is served from the data range; WAVE data as the whole file, whose
    // header tells the demuxer the codec.
    const char* container = source.mpeg ? "mp3" : "wav";
    bool dataOnly = source.mpeg.has_value();
    reader =
        openFfmpegReader(std::make_unique<MemoryInput>(std::move(source), dataOnly), container);
  }
  if (!reader) writeErrorLogf("kmACMtoPCM::open acmStreamOpen. No such ACM? %x", tag);
  return reader;
}

std::unique_ptr<PcmReader> openMusicReader(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return nullptr;
  std::error_code error;
  auto fileSize = static_cast<int64_t>(std::filesystem::file_size(path, error));
  std::optional<std::pair<int64_t, int64_t>> vorbis = vorbisWaveData(file, error ? 0 : fileSize);
  std::unique_ptr<ByteInput> input =
      vorbis ? std::make_unique<FileInput>(file, vorbis->first, vorbis->second)
             : std::make_unique<FileInput>(file, 0, error ? 0 : fileSize);
  if (vorbis || startsWithOggPage(*input)) {
    if (std::unique_ptr<PcmReader> reader = openVorbisReader(input)) return reader;
    if (vorbis) return nullptr;
    // Ogg that is not Vorbis (Opus, FLAC) is left to libavformat.
  }
  av_log_set_level(AV_LOG_QUIET);
  return openFfmpegReader(std::move(input), nullptr);
}

}  // namespace avg
