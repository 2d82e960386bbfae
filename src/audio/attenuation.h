#pragma once
#include <cstdint>

namespace avg {

// A volume in hundredths of a decibel: 0 is full volume, -10000 silence. Scripts speak in
// volumes 0-100; the sound device applies gains.
constexpr int32_t kSilentAttenuation = -10000;

// Linear gain of an attenuation: 10^(a / 2000), exactly 0 at -10000 and below.
float attenuationToGain(int32_t attenuation);

// Script volume 0-100 to attenuation: (v * 0.01 - 1) * 10000 with the fraction in single
// precision, truncated toward zero, clamped to [-10000, 0].
int32_t attenuationFromVolume(int32_t volume);

// Attenuation back to a script volume: attenuation / 100 + 100, truncating.
inline int32_t volumeFromAttenuation(int32_t attenuation) {
  return attenuation / 100 + 100;
}

}  // namespace avg
