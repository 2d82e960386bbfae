#pragma once
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

// A RIFF WAVE image: the "fmt " chunk (read into at least 18 bytes) and the "data" chunk
// that follows it. Chunk sizes that point past the end are cut at the end of the image.
// Logs a missing "fmt " or "data" chunk; anything that is not RIFF WAVE fails quietly.
std::optional<AudioSource> parseWaveFile(std::string image);

// An MPEG audio file: optional ID3v2 tag, a Layer III frame header, optional ID3v1 tag.
// The data range starts at the first frame header and ends before an ID3v1 tag.
std::optional<AudioSource> parseMp3File(std::string image);

// Opens the bytes of the sound file `name` as WAVE, else as MP3. Without bytes (the file could
// not be read) the failure is logged under `name`.
std::optional<AudioSource> openAudioSource(std::optional<std::string> image,
                                           const std::string& name);

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

// The reader of PCM WAVE files: the data chunk byte for byte. Null, quietly, for a source
// that is not PCM.
std::unique_ptr<PcmReader> openRawWaveReader(AudioSource source);

}  // namespace avg
