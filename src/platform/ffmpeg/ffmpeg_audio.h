#pragma once
#include <memory>
#include <string>

#include "platform/audio_codec.h"

namespace avg {

// The reader of compressed sound data (ADPCM, mu-law, A-law, MP3, Ogg Vorbis in WAVE, bare
// MP3 files), decoded to 16-bit PCM at the source's rate and channels. Null when the source
// is PCM (quietly) or cannot be decoded (logged).
std::unique_ptr<PcmReader> openDecodingReader(AudioSource source);

// A music file of any format libavformat reads, decoded to 16-bit PCM as it is read from
// disk; Ogg Vorbis (also in WAVE, from its data chunk) with libvorbisfile. Null when it
// cannot be decoded.
std::unique_ptr<PcmReader> openMusicReader(const std::string& path);

// The codecs on FFmpeg: the readers above, and any reader's PCM converted with
// libswresample to float stereo at the requested rate.
class FfmpegAudioCodec : public AudioCodec {
 public:
  std::unique_ptr<PcmReader> openCompressed(AudioSource source) override {
    return openDecodingReader(std::move(source));
  }
  std::unique_ptr<PcmReader> openMusic(const std::string& path) override {
    return openMusicReader(path);
  }
  std::unique_ptr<AudioStream> convert(std::unique_ptr<PcmReader> reader, uint32_t rate) override;
};

}  // namespace avg
