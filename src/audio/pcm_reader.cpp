#include "audio/pcm_reader.h"

#include <algorithm>
#include <cstring>

#include "base/byte_order.h"
#include "base/error_log.h"
#include "base/text_encoding.h"

namespace avg {
namespace {

constexpr size_t kChunkHeaderSize = 8;
constexpr size_t kWaveFormatExSize = 18;
constexpr size_t kMinFormatChunkSize = 16;
constexpr size_t kId3v1Size = 128;
constexpr size_t kId3v2HeaderSize = 10;

uint16_t le16(std::string_view bytes, size_t at) {
  return readLE16(bytes.data() + at);
}

uint32_t le32(std::string_view bytes, size_t at) {
  return readLE32(bytes.data() + at);
}

uint8_t byteAt(std::string_view bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]);
}

struct Chunk {
  size_t payload = 0;
  size_t size = 0;
};

// Finds the chunk `id` among the chunks in [from, end), each padded to an even size; the
// size is cut at `end`. The next search position is stored in `from`.
std::optional<Chunk> findChunk(std::string_view image, size_t& from, size_t end, const char* id) {
  while (from + kChunkHeaderSize <= end) {
    size_t payload = from + kChunkHeaderSize;
    uint64_t size = le32(image, from + 4);
    bool match = image.compare(from, 4, id) == 0;
    Chunk chunk{payload, static_cast<size_t>(std::min<uint64_t>(size, end - payload))};
    from = static_cast<size_t>(std::min<uint64_t>(payload + size + (size & 1), end));
    if (match) return chunk;
  }
  return std::nullopt;
}

WaveFormat readFormatChunk(std::string_view image, const Chunk& chunk) {
  // The chunk is read into a zeroed WAVEFORMATEX, so a 16-byte chunk has no extra bytes.
  std::string fields(std::max(chunk.size, kWaveFormatExSize), '\0');
  std::memcpy(fields.data(), image.data() + chunk.payload, chunk.size);
  WaveFormat format;
  format.formatTag = le16(fields, 0);
  format.channels = le16(fields, 2);
  format.samplesPerSec = le32(fields, 4);
  format.avgBytesPerSec = le32(fields, 8);
  format.blockAlign = le16(fields, 12);
  format.bitsPerSample = le16(fields, 14);
  size_t extraSize = std::min<size_t>(le16(fields, 16), fields.size() - kWaveFormatExSize);
  format.extra = fields.substr(kWaveFormatExSize, extraSize);
  return format;
}

uint32_t mpegBitRate(bool mpeg1, unsigned index) {
  static constexpr uint16_t kMpeg1[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                          112, 128, 160, 192, 224, 256, 320, 0};
  static constexpr uint16_t kMpeg2[16] = {0,  8,  16, 24,  32,  40,  48,  56,
                                          64, 80, 96, 112, 128, 144, 160, 0};
  return mpeg1 ? kMpeg1[index] : kMpeg2[index];
}

uint32_t mpegSampleRate(bool mpeg1, unsigned index) {
  static constexpr uint32_t kMpeg1[4] = {44100, 48000, 32000, 0};
  static constexpr uint32_t kMpeg2[4] = {22050, 24000, 16000, 0};
  return mpeg1 ? kMpeg1[index] : kMpeg2[index];
}

// The ID3v2 tag length with its header (and footer), or 0 without a tag.
size_t id3v2Size(std::string_view image) {
  if (image.compare(0, 3, "ID3") != 0) return 0;
  size_t size = 0;
  for (size_t i = 6; i < kId3v2HeaderSize; ++i)
    size = size << 7 | (byteAt(image, i) & 0x7F);
  bool footer = byteAt(image, 3) >= 4 && (byteAt(image, 5) & 0x10) != 0;
  return size + kId3v2HeaderSize + (footer ? kId3v2HeaderSize : 0);
}

class RawWaveReader : public PcmReader {
 public:
  explicit RawWaveReader(AudioSource source) : source_(std::move(source)) {}

  const WaveFormat& format() const override { return source_.format; }
  uint64_t pcmSize() const override { return source_.dataSize; }
  void setLoop(bool loop) override { loop_ = loop; }
  void rewind() override { position_ = 0; }

  size_t read(uint8_t* buffer, size_t count) override {
    std::string_view data = source_.data();
    size_t delivered = 0;
    while (delivered < count) {
      if (position_ == data.size()) {
        if (!loop_ || data.empty()) break;
        position_ = 0;
      }
      size_t n = std::min(count - delivered, data.size() - position_);
      std::memcpy(buffer + delivered, data.data() + position_, n);
      position_ += n;
      delivered += n;
    }
    return delivered;
  }

 private:
  AudioSource source_;
  size_t position_ = 0;
  bool loop_ = false;
};

}  // namespace

std::optional<AudioSource> parseWaveFile(std::string image) {
  std::string_view view(image);
  if (view.size() < 12 || view.compare(0, 4, "RIFF") != 0 || view.compare(8, 4, "WAVE") != 0) {
    return std::nullopt;
  }
  size_t end = static_cast<size_t>(std::min<uint64_t>(8ull + le32(view, 4), view.size()));
  size_t position = 12;
  std::optional<Chunk> format = findChunk(view, position, end, "fmt ");
  if (!format || format->size < kMinFormatChunkSize) {
    writeErrorLog("CSound::LoadWaveFile : fmtチャンクが指定できない");
    return std::nullopt;
  }
  std::optional<Chunk> data = findChunk(view, position, end, "data");
  if (!data) {
    writeErrorLog("CSound::LoadWaveFile : データチャンクに行けない");
    return std::nullopt;
  }
  AudioSource source;
  source.format = readFormatChunk(view, *format);
  source.dataOffset = data->payload;
  source.dataSize = data->size;
  source.image = std::move(image);
  return source;
}

std::optional<AudioSource> parseMp3File(std::string image) {
  std::string_view view(image);
  if (view.size() <= kId3v1Size) return std::nullopt;
  size_t tagSize = id3v2Size(view);
  if (view.size() <= tagSize + kId3v1Size) return std::nullopt;
  uint8_t b1 = byteAt(view, tagSize + 1), b2 = byteAt(view, tagSize + 2),
          b3 = byteAt(view, tagSize + 3);
  if (byteAt(view, tagSize) != 0xFF || (b1 & 0xF8) == 0) return std::nullopt;
  if (((b1 >> 1) & 3) != 1) {
    writeErrorLog("kmMp3File::Open MP3が無効なレイヤ");
    return std::nullopt;
  }
  bool mpeg1 = (b1 & 0x08) != 0;
  uint32_t bitRate = mpegBitRate(mpeg1, b2 >> 4);
  uint32_t sampleRate = mpegSampleRate(mpeg1, (b2 >> 2) & 3);
  if (sampleRate == 0) return std::nullopt;

  AudioSource source;
  source.format.formatTag = kWaveFormatMpegLayer3;
  source.format.channels = (b3 >> 6) == 3 ? 1 : 2;
  source.format.samplesPerSec = sampleRate;
  source.format.avgBytesPerSec = bitRate * 125;
  source.format.blockAlign = 1;
  source.format.bitsPerSample = 0;
  source.format.extra.assign(12, '\0');
  source.mpeg = MpegLayer3Fields{};
  source.mpeg->blockSize = static_cast<uint16_t>(144 * 1000 * bitRate / sampleRate);
  size_t end = view.size();
  if (view.compare(end - kId3v1Size, 3, "TAG") == 0) end -= kId3v1Size;
  // The decoder gets the data from the first frame header on, so no frame is lost.
  source.dataOffset = tagSize;
  source.dataSize = end - tagSize;
  source.image = std::move(image);
  return source;
}

std::optional<AudioSource> openAudioSource(std::optional<std::string> image,
                                           const std::string& name) {
  if (!image) {
    writeErrorLog("kmMmioFile::open " + cp932ToUtf8(name) + "のファイル読み込み時のエラー");
    return std::nullopt;
  }
  if (std::optional<AudioSource> wave = parseWaveFile(*image)) return wave;
  return parseMp3File(std::move(*image));
}

std::unique_ptr<PcmReader> openRawWaveReader(AudioSource source) {
  if (source.format.formatTag != kWaveFormatPcm) return nullptr;
  return std::make_unique<RawWaveReader>(std::move(source));
}

// Each reader opens the bytes on its own, so that a file neither takes is logged by both.
std::unique_ptr<PcmReader> openPcmReader(AudioCodec& codec, std::optional<std::string> bytes,
                                         const std::string& name) {
  if (std::optional<AudioSource> source = openAudioSource(bytes, name)) {
    if (std::unique_ptr<PcmReader> raw = openRawWaveReader(std::move(*source))) return raw;
  }
  if (std::optional<AudioSource> source = openAudioSource(std::move(bytes), name)) {
    if (std::unique_ptr<PcmReader> decoding = codec.openCompressed(std::move(*source))) {
      return decoding;
    }
  }
  writeErrorLog("CPCMReaderFactory::CreateReader OpenできるReaderが無い - " + cp932ToUtf8(name));
  return nullptr;
}

}  // namespace avg
