#pragma once
#include <cstdint>

namespace avg {

// Script volume 0-100 to attenuation: (v * 0.01 - 1) * 10000 with the fraction in single
// precision, truncated toward zero, clamped to [-10000, 0].
int32_t attenuationFromVolume(int32_t volume);

// Attenuation back to a script volume: attenuation / 100 + 100, truncating.
inline int32_t volumeFromAttenuation(int32_t attenuation) {
  return attenuation / 100 + 100;
}

}  // namespace avg
