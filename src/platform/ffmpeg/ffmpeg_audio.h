#pragma once
#include <memory>
#include <string>

#include "platform/audio.h"
#include "platform/pcm_reader.h"

namespace avg {

// The reader of compressed sound data (ADPCM, mu-law, A-law, MP3, Ogg Vorbis in WAVE, bare
// MP3 files), decoded to 16-bit PCM at the source's rate and channels. Null when the source
// is PCM (quietly) or cannot be decoded (logged).
std::unique_ptr<PcmReader> openDecodingReader(AudioSource source);

// The reader factory: the raw WAVE reader, then the decoding reader; logs when neither
// accepts the file.
std::unique_ptr<PcmReader> createPcmReader(const std::string& file);

// Sound files as mixer audio: any reader's PCM converted with libswresample to float
// stereo at the requested rate.
class FfmpegAudioDecoder : public AudioDecoder {
 public:
  std::unique_ptr<AudioStream> openStream(const std::string& file, uint32_t rate) override;
};

}  // namespace avg
