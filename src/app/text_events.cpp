#include "app/text_events.h"

#include "base/text_encoding.h"

namespace avg {

TextEvents::TextEvents(TextSink& sink, LiveTextShown shown)
    : sink_(sink), shown_(std::move(shown)) {}

void TextEvents::endPass() {
  for (auto& [window, line] : lines_) {
    if (line.text.empty()) continue;
    if (shown_(window)) line.seen = true;
    if (++line.quietPasses >= kQuietPasses) complete(window, line);
  }
}

void TextEvents::textAdded(int32_t window, std::string_view text) {
  if (text.empty()) return;
  Line& line = lines_[window];
  line.text += cp932ToUtf8(text);
  line.quietPasses = 0;
  line.sent = false;
}

// A break before any text starts nothing; breaks at the end are cut when the line is sent.
void TextEvents::lineBroken(int32_t window) {
  auto line = lines_.find(window);
  if (line != lines_.end() && !line->second.text.empty()) line->second.text += '\n';
}

void TextEvents::textCleared(int32_t window) {
  auto line = lines_.find(window);
  if (line == lines_.end()) return;
  complete(window, line->second);
  lines_.erase(line);
}

void TextEvents::complete(int32_t window, Line& line) {
  if (line.sent || !line.seen) return;
  line.sent = true;
  std::string text = line.text.substr(0, line.text.find_last_not_of('\n') + 1);
  if (text.empty() || text == lastSent_) return;
  lastSent_ = text;
  sink_.send(TextEvent{frame_, window, std::move(text)});
}

}  // namespace avg
