#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_decoder.h"

namespace avg {

// Whole decoded sounds: interleaved float stereo at the mixer's rate.
struct SoundData {
  std::vector<float> samples;
  size_t frames() const { return samples.size() / 2; }
};

// Largest decoded sound accepted, in bytes of mixer data; larger files are refused with a
// log entry instead of exhausting memory.
constexpr uint64_t kMaxSoundBytes = 256ull << 20;

// Decodes the bytes of the file `name` whole through `decoder`; null when they cannot be
// opened or their mixer data would exceed `maxBytes`.
std::shared_ptr<const SoundData> decodeWholeSound(AudioDecoder& decoder,
                                                  std::optional<std::string> bytes,
                                                  const std::string& name, uint32_t rate,
                                                  uint64_t maxBytes = kMaxSoundBytes);

}  // namespace avg
