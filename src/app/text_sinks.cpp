#include "app/text_sinks.h"

#include <cstdio>

namespace avg {
namespace {

// The text as a JSON string: quotes, backslashes and control characters escaped, the rest
// (UTF-8) as it is.
std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

}  // namespace

void TextSinks::send(const TextEvent& event) {
  for (const auto& sink : sinks_)
    sink->send(event);
}

SpeechSink::SpeechSink(std::unique_ptr<SpeechService> speech) : speech_(std::move(speech)) {
  if (speech_->hasVoiceFor("ja")) speech_->setLanguage("ja");
}

void SpeechSink::send(const TextEvent& event) {
  speech_->cancel();
  speech_->say(event.text);
}

std::string textEventJson(const TextEvent& event) {
  return "{\"frame\":" + std::to_string(event.frame) +
         ",\"window\":" + std::to_string(event.window) + ",\"text\":" + jsonString(event.text) +
         "}";
}

std::unique_ptr<JsonLinesSink> JsonLinesSink::open(const std::string& path) {
  if (path == "-") return std::unique_ptr<JsonLinesSink>(new JsonLinesSink(stdout, false));
  std::FILE* file = std::fopen(path.c_str(), "a");
  if (!file) return nullptr;
  return std::unique_ptr<JsonLinesSink>(new JsonLinesSink(file, true));
}

JsonLinesSink::~JsonLinesSink() {
  if (owned_) std::fclose(file_);
}

void JsonLinesSink::send(const TextEvent& event) {
  std::fputs((textEventJson(event) + "\n").c_str(), file_);
  std::fflush(file_);
}

}  // namespace avg
