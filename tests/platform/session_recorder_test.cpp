#include "platform/headless/session_recorder.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/headless/headless_display.h"
#include "platform/headless/headless_platform.h"

namespace avg {
namespace {

const MessageBoxRequest kConfirm{.caption = "C",
                                 .text = "?",
                                 .buttons = MessageButtons::YesNo,
                                 .defaultAnswer = MessageAnswer::No};

// A headless window and boxes behind the recorder, worked pass by pass as the player does.
TEST(SessionRecorder, WritesEventsAndAnswersAtTheirPasses) {
  std::ostringstream out;
  std::ostringstream shown;
  SessionRecorder recorder(out, {.playerVersion = "9.9", .gameName = "demo", .seed = 77});
  auto headlessBoxes = std::make_unique<HeadlessMessageBoxes>(shown);
  auto headlessWindow = std::make_unique<HeadlessWindow>(
      *headlessBoxes, parseInputScript("1 mouse 1 2\n3 answer yes\n3 key F7 down\n3 char 08\n"));
  HeadlessDisplay display;
  display.changeDisplay(true, Display::kWidth, Display::kHeight, 32);
  RecordingWindow window(std::move(headlessWindow), display, recorder);
  RecordingMessageBoxes boxes(std::move(headlessBoxes), recorder);

  boxes.show(kConfirm);  // during start-up
  std::vector<PlatformEvent> events;
  for (int pass = 1; pass <= 3; ++pass) {
    window.beginPass();
    window.pumpEvents(events, false);
    if (pass >= 2) boxes.show(kConfirm);
    display.changeDisplay(false, Display::kWidth, Display::kHeight, 32);
  }
  window.pumpEvents(events, false);
  events.push_back({.type = PlatformEvent::Type::Key, .key = Key::None, .path = ""});
  recorder.event(events.back());
  recorder.finish(2);

  EXPECT_EQ(events.size(), 4u);
  EXPECT_EQ(out.str(),
            "# avgplayer 9.9 recording; replay with --input\n"
            "# game: demo\n"
            "# started: 1970-01-01T00:00:00Z\n"
            "1 seed 77\n"
            "# before the first pass: answer no\n"
            "1 display full\n"
            "1 mouse 1 2\n"
            "2 answer no\n"
            "3 key F7 down\n"
            "3 char 08\n"
            "3 answer yes\n"  // the queued answer, given at the pass that showed the box
            "# pass 3: an event no input line can hold\n"
            "3 close\n");  // the run ended in the pump of the pass after the last one run

  std::ostringstream ended;  // a run whose scripts ended in its last pass closes nothing
  SessionRecorder scriptsEnded(ended, {});
  scriptsEnded.beginPass(false);
  scriptsEnded.finish(1);
  EXPECT_EQ(ended.str().find("close"), std::string::npos);
}

}  // namespace
}  // namespace avg
