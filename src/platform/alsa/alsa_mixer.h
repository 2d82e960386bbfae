#pragma once
#include <memory>

#include "platform/system_mixer.h"

namespace avg {

// The default card's "Master" playback volume through ALSA's simple mixer API (or its first
// playback volume control when there is no "Master"), scaled to 0-65535. Null, logged, when
// there is no such control.
std::unique_ptr<SystemMixer> openAlsaMixer();

}  // namespace avg
