#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio.h"

namespace avg {

// Largest decoded sound accepted, in bytes of mixer data; larger files are refused with a
// log entry instead of exhausting memory.
constexpr uint64_t kMaxSoundBytes = 256ull << 20;

// Decodes a whole file through `decoder`; null when it cannot be opened or its mixer data
// would exceed `maxBytes`.
std::shared_ptr<const SoundData> decodeWholeSound(AudioDecoder& decoder, const std::string& file,
                                                  uint32_t rate,
                                                  uint64_t maxBytes = kMaxSoundBytes);

}  // namespace avg
