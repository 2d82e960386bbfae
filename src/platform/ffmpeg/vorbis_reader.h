#pragma once
#include <memory>

#include "platform/audio_codec.h"
#include "platform/ffmpeg/byte_input.h"

namespace avg {

// True when the input starts with an Ogg page.
bool startsWithOggPage(ByteInput& input);

// An Ogg Vorbis stream decoded with libvorbisfile to 16-bit PCM at its own rate and
// channels, exactly as long as its last granule position says (libavformat trims streams
// that fit in one page short). Takes the input when it holds Ogg Vorbis; otherwise leaves
// it to the caller and gives null.
std::unique_ptr<PcmReader> openVorbisReader(std::unique_ptr<ByteInput>& input);

}  // namespace avg
