#include "platform/ffmpeg/vorbis_reader.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>

namespace avg {
namespace {

size_t readInput(void* buffer, size_t size, size_t count, void* input) {
  if (size == 0) return 0;
  int wanted = static_cast<int>(std::min<size_t>(size * count, 1 << 20));
  int got = static_cast<ByteInput*>(input)->read(static_cast<uint8_t*>(buffer), wanted);
  return got > 0 ? static_cast<size_t>(got) / size : 0;
}

int seekInput(void* input, ogg_int64_t offset, int whence) {
  return static_cast<ByteInput*>(input)->seek(offset, whence) ? 0 : -1;
}

long tellInput(void* input) {
  return static_cast<long>(static_cast<ByteInput*>(input)->position());
}

constexpr ov_callbacks kInputCallbacks = {readInput, seekInput, nullptr, tellInput};

class VorbisReader : public PcmReader {
 public:
  explicit VorbisReader(std::unique_ptr<ByteInput> input) : input_(std::move(input)) {}
  ~VorbisReader() override { close(); }
  VorbisReader(const VorbisReader&) = delete;
  VorbisReader& operator=(const VorbisReader&) = delete;

  bool open();
  // Closes the stream and gives the input back.
  std::unique_ptr<ByteInput> release() {
    close();
    return std::move(input_);
  }
  const WaveFormat& format() const override { return pcm_; }
  uint64_t pcmSize() const override { return pcmSize_; }
  void setLoop(bool loop) override { loop_ = loop; }
  void rewind() override { ov_pcm_seek(&file_, 0); }
  size_t read(uint8_t* buffer, size_t count) override;

 private:
  void close() {
    if (open_) ov_clear(&file_);
    open_ = false;
  }

  std::unique_ptr<ByteInput> input_;
  OggVorbis_File file_{};
  bool open_ = false;
  WaveFormat pcm_;
  uint64_t pcmSize_ = 0;
  bool loop_ = false;
};

bool VorbisReader::open() {
  input_->seek(0, SEEK_SET);
  open_ = ov_open_callbacks(input_.get(), &file_, nullptr, 0, kInputCallbacks) == 0;
  if (!open_) return false;
  const vorbis_info* info = ov_info(&file_, -1);
  ogg_int64_t frames = ov_pcm_total(&file_, -1);
  if (!info || info->channels <= 0 || info->rate <= 0 || frames < 0) return false;
  pcm_.formatTag = kWaveFormatPcm;
  pcm_.channels = static_cast<uint16_t>(info->channels);
  pcm_.samplesPerSec = static_cast<uint32_t>(info->rate);
  pcm_.bitsPerSample = 16;
  pcm_.blockAlign = static_cast<uint16_t>(pcm_.channels * 2);
  pcm_.avgBytesPerSec = pcm_.samplesPerSec * pcm_.blockAlign;
  pcmSize_ = static_cast<uint64_t>(frames) * pcm_.blockAlign;
  return true;
}

size_t VorbisReader::read(uint8_t* buffer, size_t count) {
  size_t delivered = 0;
  bool decodedSinceRewind = true;
  while (delivered < count) {
    int section = 0;
    // Whole frames only: libvorbisfile refuses less than one.
    size_t frames = std::min<size_t>(count - delivered, 1 << 20) / pcm_.blockAlign;
    if (frames == 0) break;
    int want = static_cast<int>(frames * pcm_.blockAlign);
    long got = ov_read(&file_, reinterpret_cast<char*>(buffer + delivered), want,
                       /*bigendianp=*/0, /*word=*/2, /*sgned=*/1, &section);
    if (got > 0) {
      delivered += static_cast<size_t>(got);
      decodedSinceRewind = true;
    } else if (got == OV_HOLE) {
      continue;  // a gap in the data: decoding goes on after it
    } else if (got == 0 && loop_ && decodedSinceRewind) {
      rewind();
      decodedSinceRewind = false;
    } else {
      break;
    }
  }
  return delivered;
}

}  // namespace

bool startsWithOggPage(ByteInput& input) {
  uint8_t magic[4] = {};
  input.seek(0, SEEK_SET);
  bool ogg = input.read(magic, 4) == 4 && std::memcmp(magic, "OggS", 4) == 0;
  input.seek(0, SEEK_SET);
  return ogg;
}

std::unique_ptr<PcmReader> openVorbisReader(std::unique_ptr<ByteInput>& input) {
  auto reader = std::make_unique<VorbisReader>(std::move(input));
  if (reader->open()) return reader;
  input = reader->release();
  return nullptr;
}

}  // namespace avg
