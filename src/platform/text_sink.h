#pragma once
#include <cstdint>
#include <string>

namespace avg {

// One line of game text as the reader saw it, complete: what a message window showed
// between two clears, in UTF-8 with its line breaks.
struct TextEvent {
  uint64_t frame = 0;  // the frame pass in which it was completed
  int32_t window = 0;
  std::string text;
};

// Somewhere the game's text goes out to (a file, the clipboard, a socket, speech). Sinks are
// called on the frame loop's thread and must not block it.
class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void send(const TextEvent& event) = 0;
};

}  // namespace avg
