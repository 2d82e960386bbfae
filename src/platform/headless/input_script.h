#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/message_box.h"

namespace avg {

// Scripted input: events tagged with the frame pass (from 1) before which they arrive.
struct ScriptedEvent {
  uint64_t frame = 0;
  PlatformEvent event;
  // "answer" lines queue a message box answer instead of an event.
  std::optional<MessageAnswer> answer;
};

// An input file: its events in frame order and what it fixes before the first pass.
struct InputScript {
  std::vector<ScriptedEvent> events;
  // "1 seed N": the random generator's start.
  std::optional<uint32_t> seed;
  // "1 display window|full": the display mode at start, in place of config.ini's.
  std::optional<bool> fullScreen;
};

// Parses an input file, one event per line "FRAME EVENT ARGS..."; '#' starts a comment.
// Throws std::runtime_error naming the line of a malformed entry or of a frame that goes
// back.
InputScript readInputScript(const std::string& text);
// The events of an input file alone, for callers that set up the start themselves.
std::vector<ScriptedEvent> parseInputScript(const std::string& text);

// One event as the text "EVENT ARGS..." of an input line, which reads back as the same event;
// nullopt for events that no line can hold (an unnamed key, a path with blanks or '#').
std::optional<std::string> formatInputEvent(const PlatformEvent& event);
// "yes", "no" or "ok": the word of an answer line, and of a box printed headless.
const char* answerName(MessageAnswer answer);

}  // namespace avg
