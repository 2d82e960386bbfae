#include "media/attenuation.h"

#include <algorithm>

namespace avg {

int32_t attenuationFromVolume(int32_t volume) {
  float fraction = static_cast<float>(volume) * 0.01f;
  float attenuation = (fraction - 1.0f) * 10000.0f;
  // Clamped before the conversion, which would overflow for large volumes.
  return static_cast<int32_t>(std::clamp(attenuation, -10000.0f, 0.0f));
}

}  // namespace avg
