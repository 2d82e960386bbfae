#include "platform/headless/session_recorder.h"

#include "platform/headless/input_script.h"

namespace avg {

SessionRecorder::SessionRecorder(std::ostream& out, const RecordingStart& start) : out_(out) {
  char started[32];
  std::tm utc{};
  gmtime_r(&start.startTime, &utc);
  std::strftime(started, sizeof started, "%Y-%m-%dT%H:%M:%SZ", &utc);
  out_ << "# avgplayer " << start.playerVersion << " recording; replay with --input\n"
       << "# game: " << start.gameName << "\n"
       << "# started: " << started << "\n";
  writeLine("1 seed " + std::to_string(start.seed));
}

void SessionRecorder::beginPass(bool fullScreen) {
  if (++pass_ == 1) writeLine(fullScreen ? "1 display full" : "1 display window");
}

void SessionRecorder::event(const PlatformEvent& event) {
  std::optional<std::string> text = formatInputEvent(event);
  writeLine(text ? std::to_string(pass_) + " " + *text
                 : "# pass " + std::to_string(pass_) + ": an event no input line can hold");
}

// Boxes before the first pass (start-up checks) are left as comments: no line can queue an
// answer for them.
void SessionRecorder::answer(MessageAnswer answer) {
  writeLine((pass_ == 0 ? "# before the first pass: " : std::to_string(pass_) + " ") + "answer " +
            answerName(answer));
}

void SessionRecorder::finish(uint64_t passesRun) {
  if (pass_ == passesRun + 1) writeLine(std::to_string(pass_) + " close");
}

void SessionRecorder::writeLine(const std::string& text) {
  out_ << text << std::endl;
}

void RecordingWindow::beginPass() {
  recorder_.beginPass(display_.isFullScreen());
  window_->beginPass();
}

void RecordingWindow::pumpEvents(std::vector<PlatformEvent>& out, bool waitForOne) {
  const size_t first = out.size();
  window_->pumpEvents(out, waitForOne);
  for (size_t i = first; i < out.size(); ++i)
    recorder_.event(out[i]);
}

MessageAnswer RecordingMessageBoxes::show(const MessageBoxRequest& request) {
  MessageAnswer answer = boxes_->show(request);
  recorder_.answer(answer);
  return answer;
}

}  // namespace avg
