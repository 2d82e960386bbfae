#pragma once
#include <cstdint>
#include <ctime>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/message_box.h"
#include "platform/window.h"

namespace avg {

// What a recording names and fixes before its first pass.
struct RecordingStart {
  std::string playerVersion;
  std::string gameName;
  std::time_t startTime = 0;
  uint32_t seed = 0;
};

// Writes the input of a run as an input file that replays it: every event with the pass it
// arrived before, and the answer to every message box at the pass that showed it. Each line
// is flushed as it is written, so a killed run leaves everything up to that moment.
class SessionRecorder {
 public:
  SessionRecorder(std::ostream& out, const RecordingStart& start);

  // Called once at the start of every pass; the first one also fixes the display mode.
  void beginPass(bool fullScreen);
  void event(const PlatformEvent& event);
  void answer(MessageAnswer answer);
  // After the run: when it ended in the message pump of the pass after the last one run (a
  // close, QUIT, the frame limit), a close there ends the replay at the same point.
  void finish(uint64_t passesRun);

 private:
  void writeLine(const std::string& text);

  std::ostream& out_;
  uint64_t pass_ = 0;
};

// The window with every event it delivers recorded.
class RecordingWindow : public Window {
 public:
  RecordingWindow(std::unique_ptr<Window> window, const Display& display, SessionRecorder& recorder)
      : window_(std::move(window)), display_(display), recorder_(recorder) {}

  void setCaption(const std::string& utf8) override { window_->setCaption(utf8); }
  void show() override { window_->show(); }
  void setCursor(const CursorImage& cursor) override { window_->setCursor(cursor); }
  void showCursor() override { window_->showCursor(); }
  void setClipboardText(const std::string& utf8) override { window_->setClipboardText(utf8); }
  void pumpEvents(std::vector<PlatformEvent>& out, bool waitForOne) override;
  void beginPass() override;

 private:
  std::unique_ptr<Window> window_;
  const Display& display_;
  SessionRecorder& recorder_;
};

// Message boxes with every answer recorded.
class RecordingMessageBoxes : public MessageBoxes {
 public:
  RecordingMessageBoxes(std::unique_ptr<MessageBoxes> boxes, SessionRecorder& recorder)
      : boxes_(std::move(boxes)), recorder_(recorder) {}
  MessageAnswer show(const MessageBoxRequest& request) override;

 private:
  std::unique_ptr<MessageBoxes> boxes_;
  SessionRecorder& recorder_;
};

}  // namespace avg
