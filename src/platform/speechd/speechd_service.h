#pragma once
#include <memory>

#include "platform/speech.h"

namespace avg {

// Connects to speech-dispatcher (starting it where the system allows); null when it cannot
// be reached, after one line in the error log.
std::unique_ptr<SpeechService> connectSpeechDispatcher();

}  // namespace avg
