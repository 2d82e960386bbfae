#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/audio.h"

namespace avg {

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
