#pragma once
#include <cstdint>
#include <string_view>

namespace avg {

// Told what happens to the message windows' live text, so that the lines a reader sees can
// be handed out as they are completed. The calls come from the script commands, in the
// order the text changes.
class MessageTextObserver {
 public:
  virtual ~MessageTextObserver() = default;
  // A piece of text (CP932) was added to window `window`'s live text.
  virtual void textAdded(int32_t window, std::string_view text) = 0;
  // The live text goes on on a new line.
  virtual void lineBroken(int32_t window) = 0;
  // The live text was removed, or replaced with text the reader has seen before (the
  // newest log page, when the log is closed).
  virtual void textCleared(int32_t window) = 0;
};

}  // namespace avg
