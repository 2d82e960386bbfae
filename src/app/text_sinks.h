#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/speech.h"
#include "platform/text_sink.h"
#include "platform/window.h"

namespace avg {

// Sends each event to every sink it holds, in the order they were added.
class TextSinks : public TextSink {
 public:
  void add(std::unique_ptr<TextSink> sink) { sinks_.push_back(std::move(sink)); }
  bool empty() const { return sinks_.empty(); }
  void send(const TextEvent& event) override;

 private:
  std::vector<std::unique_ptr<TextSink>> sinks_;
};

// One JSON object per line, {"frame":N,"window":W,"text":"..."}, flushed at once.
class JsonLinesSink : public TextSink {
 public:
  // Appends to the file at `path` ("-": standard output); null when it cannot be opened.
  static std::unique_ptr<JsonLinesSink> open(const std::string& path);
  ~JsonLinesSink() override;
  void send(const TextEvent& event) override;

 private:
  JsonLinesSink(std::FILE* file, bool owned) : file_(file), owned_(owned) {}
  std::FILE* file_;
  bool owned_;
};

// Each event replaces the text on the clipboard.
class ClipboardSink : public TextSink {
 public:
  explicit ClipboardSink(Window& window) : window_(window) {}
  void send(const TextEvent& event) override { window_.setClipboardText(event.text); }

 private:
  Window& window_;
};

// Speaks each event, in Japanese when a Japanese voice is there; a new event cuts off the
// one being spoken.
class SpeechSink : public TextSink {
 public:
  explicit SpeechSink(std::unique_ptr<SpeechService> speech);
  void send(const TextEvent& event) override;

 private:
  std::unique_ptr<SpeechService> speech_;
};

// The event as one line of JSON, without the line break.
std::string textEventJson(const TextEvent& event);

}  // namespace avg
