#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/audio_codec.h"

namespace avg {

// Turns game sound files into audio for the mixer (WAVE, compressed WAVE, MP3).
class AudioDecoder {
 public:
  virtual ~AudioDecoder() = default;
  // Null when no reader accepts the file; the readers log why.
  virtual std::unique_ptr<AudioStream> openStream(std::optional<std::string> bytes,
                                                  const std::string& name, uint32_t rate) = 0;
  // A music file by its path, read from the file as it is decoded. Every audio format the
  // decoder knows is accepted. Null, quietly, when it cannot be decoded (always, unless the
  // decoder plays music).
  virtual std::unique_ptr<AudioStream> openMusicStream(const std::string& path, uint32_t rate) {
    return nullptr;
  }
};

// The player's decoder: PCM WAVE files through the portable reader, everything else and the
// conversion to the mixer's format through the platform's codec.
class SoundFileDecoder : public AudioDecoder {
 public:
  explicit SoundFileDecoder(std::shared_ptr<AudioCodec> codec) : codec_(std::move(codec)) {}
  std::unique_ptr<AudioStream> openStream(std::optional<std::string> bytes, const std::string& name,
                                          uint32_t rate) override;
  std::unique_ptr<AudioStream> openMusicStream(const std::string& path, uint32_t rate) override;

 private:
  std::unique_ptr<AudioStream> converted(std::unique_ptr<PcmReader> reader, uint32_t rate);

  std::shared_ptr<AudioCodec> codec_;
};

}  // namespace avg
