#include "platform/headless/headless_platform.h"

#include <memory>

#include "platform/headless/headless_audio_output.h"
#include "platform/headless/headless_display.h"

namespace avg {
namespace {

std::string escapeLineBreaks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c != '\r') {
      out += c;
    }
  }
  return out;
}

}  // namespace

MessageAnswer HeadlessMessageBoxes::show(const MessageBoxRequest& request) {
  MessageAnswer answer =
      request.buttons == MessageButtons::YesNo ? request.defaultAnswer : MessageAnswer::Ok;
  if (!answers_.empty()) {
    MessageAnswer queued = answers_.front();
    answers_.pop_front();
    bool fits = (request.buttons == MessageButtons::YesNo) == (queued != MessageAnswer::Ok);
    if (fits) answer = queued;
  }
  out_ << "[messagebox] " << escapeLineBreaks(request.caption) << " | "
       << escapeLineBreaks(request.text) << " -> " << answerName(answer) << std::endl;
  return answer;
}

HeadlessWindow::HeadlessWindow(HeadlessMessageBoxes& boxes, std::vector<ScriptedEvent> events)
    : boxes_(boxes), events_(std::move(events)) {}

void HeadlessWindow::pumpEvents(std::vector<PlatformEvent>& out, bool waitForOne) {
  // While waiting for a message the virtual time jumps to the next scripted one.
  if (waitForOne && nextEvent_ < events_.size() && events_[nextEvent_].frame > pass_) {
    pass_ = events_[nextEvent_].frame;
  }
  while (nextEvent_ < events_.size() && events_[nextEvent_].frame <= pass_) {
    const ScriptedEvent& scripted = events_[nextEvent_++];
    if (scripted.answer) {
      boxes_.queueAnswer(*scripted.answer);
    } else {
      out.push_back(scripted.event);
    }
  }
}

Platform makeHeadlessPlatform(HeadlessServices services, std::vector<ScriptedEvent> events,
                              std::ostream& log, const std::string& audioOut,
                              std::function<void(const int16_t*, size_t)> soundSink) {
  Platform platform;
  auto boxes = std::make_unique<HeadlessMessageBoxes>(log);
  platform.window = std::make_unique<HeadlessWindow>(*boxes, std::move(events));
  platform.messageBoxes = std::move(boxes);
  auto output = std::make_unique<HeadlessAudioOutput>(audioOut, std::move(soundSink));
  auto clock = std::make_unique<HeadlessClock>();
  clock->setOnAdvance(
      [output = output.get()](uint64_t elapsedMs) { output->advanceTo(elapsedMs); });
  platform.audioOutput = std::move(output);
  platform.audioCodec = std::move(services.audio);
  platform.systemMixer = std::make_unique<FakeSystemMixer>();
  platform.clock = std::move(clock);
  platform.images = std::move(services.images);
  platform.display = std::make_unique<HeadlessDisplay>();
  platform.text = std::move(services.text);
  platform.films = std::move(services.films);
  return platform;
}

}  // namespace avg
