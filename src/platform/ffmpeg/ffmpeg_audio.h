#pragma once
#include <memory>
#include <optional>
#include <string>

#include "audio/pcm_reader.h"
#include "platform/audio.h"

namespace avg {

// The reader of compressed sound data (ADPCM, mu-law, A-law, MP3, Ogg Vorbis in WAVE, bare
// MP3 files), decoded to 16-bit PCM at the source's rate and channels. Null when the source
// is PCM (quietly) or cannot be decoded (logged).
std::unique_ptr<PcmReader> openDecodingReader(AudioSource source);

// A music file of any format libavformat reads, decoded to 16-bit PCM as it is read from
// disk; Ogg Vorbis (also in WAVE, from its data chunk) with libvorbisfile. Null when it
// cannot be decoded.
std::unique_ptr<PcmReader> openMusicReader(const std::string& path);

// The reader factory over the bytes of the sound file `name`: the raw WAVE reader, then the
// decoding reader; logs when neither accepts the file.
std::unique_ptr<PcmReader> createPcmReader(std::optional<std::string> bytes,
                                           const std::string& name);

// Sound files as mixer audio: any reader's PCM converted with libswresample to float
// stereo at the requested rate.
class FfmpegAudioDecoder : public AudioDecoder {
 public:
  std::unique_ptr<AudioStream> openStream(std::optional<std::string> bytes, const std::string& name,
                                          uint32_t rate) override;
  std::unique_ptr<AudioStream> openMusicStream(const std::string& path, uint32_t rate) override;
};

}  // namespace avg
