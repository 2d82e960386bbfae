#pragma once
#include <memory>

#include "platform/audio.h"

namespace avg {

// The sound device on SDL2 audio: one float stereo output stream at 48000 Hz (or the
// device's own rate) with buffers of about 10 ms, fed by the mixer from SDL's audio thread.
// A removed device is replaced by the default one (tried again whenever a device appears);
// without any device the mixer runs on the wall clock and the game plays silently.
std::unique_ptr<SoundDevice> makeSdlSoundDevice(std::shared_ptr<AudioDecoder> decoder);

}  // namespace avg
