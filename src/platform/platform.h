#pragma once
#include <memory>
#include <string>

#include "platform/audio.h"
#include "platform/audio_codec.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/image_codec.h"
#include "platform/joystick.h"
#include "platform/message_box.h"
#include "platform/system_mixer.h"
#include "platform/text_rasterizer.h"
#include "platform/video.h"
#include "platform/window.h"

namespace avg {

// The platform services the player runs on, chosen once at start (SDL or headless).
struct Platform {
  std::unique_ptr<Clock> clock;
  std::unique_ptr<MessageBoxes> messageBoxes;
  std::unique_ptr<ImageCodec> images;
  // Declared before the window, which may refer to it, so that it outlives the window.
  std::unique_ptr<Display> display;
  std::unique_ptr<Window> window;
  // Where the player's mix goes, and the decoding it needs beyond plain WAVE files.
  std::unique_ptr<AudioOutput> audioOutput;
  std::shared_ptr<AudioCodec> audioCodec;
  std::unique_ptr<FilmDecoder> films;
  // Null when the system has no mixer to control.
  std::unique_ptr<SystemMixer> systemMixer;
  // Where the master volume at start is kept while a game has changed it; empty for none.
  std::string volumeStateFile;
  std::unique_ptr<TextRasterizer> text;
  std::unique_ptr<Joysticks> joysticks = std::make_unique<NoJoysticks>();
};

}  // namespace avg
