#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace avg {

constexpr uint16_t kWaveFormatPcm = 0x0001;
constexpr uint16_t kWaveFormatMpegLayer3 = 0x0055;

// The fields of a WAVEFORMATEX; `extra` holds the cbSize bytes that follow it.
struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  std::string extra;
};

// The MPEGLAYER3WAVEFORMAT fields that follow the WAVEFORMATEX of an MP3 file.
struct MpegLayer3Fields {
  uint16_t id = 1;     // MPEG
  uint32_t flags = 2;  // padding off
  uint16_t blockSize = 0;
  uint16_t framesPerBlock = 1;
  uint16_t codecDelay = 1393;
};

// A sound file's audio as stored: its format and the range of its data in the file image.
struct AudioSource {
  WaveFormat format;
  std::optional<MpegLayer3Fields> mpeg;  // set for a bare MP3 file
  std::string image;
  size_t dataOffset = 0;
  size_t dataSize = 0;

  std::string_view data() const { return std::string_view(image).substr(dataOffset, dataSize); }
};

// Delivers a sound file as PCM bytes in the format it reports.
class PcmReader {
 public:
  virtual ~PcmReader() = default;
  // Always PCM (format tag 1).
  virtual const WaveFormat& format() const = 0;
  // Total bytes of PCM (an estimate for compressed sources).
  virtual uint64_t pcmSize() const = 0;
  // Delivers up to `count` bytes; fewer only at the end of a source that does not loop.
  virtual size_t read(uint8_t* buffer, size_t count) = 0;
  virtual void setLoop(bool loop) = 0;
  virtual void rewind() = 0;
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

// What the system's codecs add to the portable WAVE reader: compressed sound data, music
// files, and PCM converted for the mixer.
class AudioCodec {
 public:
  virtual ~AudioCodec() = default;
  // A reader of compressed sound data (ADPCM, mu-law, A-law, MP3, ...) decoding to PCM at
  // the source's rate and channels. Null when the source is PCM (quietly) or cannot be
  // decoded (logged).
  virtual std::unique_ptr<PcmReader> openCompressed(AudioSource source) = 0;
  // A music file by its path on this system, decoded as it is read; null, quietly, when it
  // cannot be decoded.
  virtual std::unique_ptr<PcmReader> openMusic(const std::string& path) = 0;
  // The reader's PCM as float stereo at `rate`; null for a format it cannot convert.
  virtual std::unique_ptr<AudioStream> convert(std::unique_ptr<PcmReader> reader,
                                               uint32_t rate) = 0;
};

}  // namespace avg
