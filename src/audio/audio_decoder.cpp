#include "audio/audio_decoder.h"

#include "audio/pcm_reader.h"

namespace avg {

std::unique_ptr<AudioStream> SoundFileDecoder::openStream(std::optional<std::string> bytes,
                                                          const std::string& name, uint32_t rate) {
  return converted(openPcmReader(*codec_, std::move(bytes), name), rate);
}

std::unique_ptr<AudioStream> SoundFileDecoder::openMusicStream(const std::string& path,
                                                               uint32_t rate) {
  return converted(codec_->openMusic(path), rate);
}

std::unique_ptr<AudioStream> SoundFileDecoder::converted(std::unique_ptr<PcmReader> reader,
                                                         uint32_t rate) {
  if (!reader) return nullptr;
  return codec_->convert(std::move(reader), rate);
}

}  // namespace avg
