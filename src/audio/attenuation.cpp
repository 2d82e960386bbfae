#include "audio/attenuation.h"

#include <algorithm>
#include <cmath>

namespace avg {

int32_t attenuationFromVolume(int32_t volume) {
  float fraction = static_cast<float>(volume) * 0.01f;
  float attenuation = (fraction - 1.0f) * 10000.0f;
  // Clamped before the conversion, which would overflow for large volumes.
  return static_cast<int32_t>(std::clamp(attenuation, -10000.0f, 0.0f));
}

float attenuationToGain(int32_t attenuation) {
  if (attenuation <= kSilentAttenuation) return 0.0f;
  if (attenuation >= 0) return 1.0f;
  return std::pow(10.0f, static_cast<float>(attenuation) / 2000.0f);
}

}  // namespace avg
