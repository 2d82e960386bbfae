#pragma once
#include <memory>

#include "platform/audio.h"

namespace avg {

// The sound output on SDL2 audio: one float stereo stream at 48000 Hz (or the device's own
// rate) with buffers of about 10 ms, rendered on SDL's audio thread. A removed device is
// replaced by the default one (tried again whenever a device appears); without any device
// the frames are rendered on the wall clock and dropped, so the game plays silently.
std::unique_ptr<AudioOutput> makeSdlAudioOutput();

}  // namespace avg
