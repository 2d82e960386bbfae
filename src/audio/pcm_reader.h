#pragma once
#include <memory>
#include <optional>
#include <string>

#include "platform/audio_codec.h"

namespace avg {

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

// The reader of PCM WAVE files: the data chunk byte for byte. Null, quietly, for a source
// that is not PCM.
std::unique_ptr<PcmReader> openRawWaveReader(AudioSource source);

// The reader of the bytes of the sound file `name`: the raw WAVE reader, then the codec's;
// logs when neither accepts the file.
std::unique_ptr<PcmReader> openPcmReader(AudioCodec& codec, std::optional<std::string> bytes,
                                         const std::string& name);

}  // namespace avg
