#include <gtest/gtest.h>

#include <tuple>

#include "platform/headless/headless_platform.h"
#include "platform/headless/input_script.h"

namespace avg {
namespace {

using Type = PlatformEvent::Type;

TEST(InputScript, ParsesEveryEvent) {
  auto events = parseInputScript(
      "# a comment line\n"
      "1 mouse 320 240   # trailing comment\n"
      "1 lbutton dbl\n"
      "2 rbutton up\n"
      "2 wheel -120\n"
      "2 key F12 down\n"
      "2 key 7 down\n"
      "2 char a\n"
      "2 char \xE3\x81\x82\n"
      "2 menu 40003\n"
      "2 answer no\n"
      "2 screenshot shot.png\n"
      "2 copydata 10002 Save/\x83\x5A.sav\n"
      "3 close\n");
  ASSERT_EQ(events.size(), 13u);
  EXPECT_EQ(events[0].event.type, Type::MouseMove);
  EXPECT_EQ(events[0].event.x, 320);
  EXPECT_EQ(events[1].event.action, ButtonAction::DoubleClick);
  EXPECT_EQ(events[2].event.button, MouseButton::Right);
  EXPECT_EQ(events[3].event.delta, -120);
  EXPECT_EQ(std::tie(events[4].event.key, events[4].event.down), std::tuple(Key::F12, true));
  EXPECT_EQ(events[5].event.key, Key::Digit7);
  EXPECT_EQ(events[6].event.codepoint, 'a');
  EXPECT_EQ(events[7].event.codepoint, 0x3042u);
  EXPECT_EQ(events[8].event.menuId, 40003);
  EXPECT_EQ(events[9].answer, MessageAnswer::No);
  EXPECT_EQ(events[10].event.path, "shot.png");
  // CP932 bytes as written.
  EXPECT_EQ(std::tie(events[11].event.type, events[11].event.code, events[11].event.path),
            std::tuple(Type::Request, 10002u, "Save/\x83\x5A.sav"));
  EXPECT_EQ(std::tie(events[12].event.type, events[12].frame), std::tuple(Type::Close, 3u));
}

TEST(InputScript, MalformedLinesNameTheirLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"1 jump", "line 1: unknown event 'jump'"},
      {"\n\nx mouse 1 2", "line 3: 'x' is not a number"},
      {"0 close", "line 1: frames count from 1"},
      {"1 mouse 5", "line 1: 'mouse' takes 2 argument(s)"},
      {"1 key Esc sideways", "line 1: expected down or up"},
      {"1 answer maybe", "line 1: expected yes, no or ok"},
      {"1 copydata 10001", "line 1: 'copydata' takes 2 argument(s)"},
      {"1", "line 1: expected FRAME EVENT ARGS"},
      {"3 close\n2 close", "line 2: frame 2 after frame 3"},
      {"2 seed 5", "line 1: 'seed' applies before the first pass: give frame 1"},
      {"1 seed 5\n1 seed 6", "line 2: a second seed"},
      {"1 display maximized", "line 1: expected window or full"},
  };
  for (const auto& [text, message] : cases) {
    try {
      parseInputScript(text);
      ADD_FAILURE() << text;
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string(error.what()).rfind(message, 0), 0u) << error.what();
    }
  }
}

TEST(InputScript, StartLinesFixSeedAndDisplay) {
  InputScript script = readInputScript("1 seed 4000000000\n1 display full\n1 close\n");
  EXPECT_EQ(script.seed, 4000000000u);
  EXPECT_EQ(script.fullScreen, true);
  ASSERT_EQ(script.events.size(), 1u);
  EXPECT_FALSE(readInputScript("1 display window").fullScreen.value());
  EXPECT_FALSE(readInputScript("1 close").seed);
}

// Every event reads back from its line as the line it came from.
TEST(InputScript, FormattedEventsReadBackAsWritten) {
  for (const char* text : {"mouse -3 479",
                           "lbutton dbl",
                           "rbutton up",
                           "wheel -120",
                           "key Esc down",
                           "key Q up",
                           "key 7 down",
                           "key Num0 down",
                           "key NumDivide up",
                           "char a",
                           "char 5",
                           "char 08",
                           "char 35",
                           "char 32",
                           "char 12354",
                           "menu 40001",
                           "close",
                           "activate",
                           "deactivate",
                           "screenshot a/b.png",
                           "copydata 10001 Save/\x83\x5A.sav"}) {
    std::vector<ScriptedEvent> events = parseInputScript(std::string("1 ") + text);
    ASSERT_EQ(events.size(), 1u) << text;
    EXPECT_EQ(formatInputEvent(events[0].event), text);
  }
  PlatformEvent unnamed{.type = Type::Key, .key = Key::None, .path = ""};
  PlatformEvent blank{.type = Type::Request, .code = 10001, .path = "my save.sav"};
  EXPECT_FALSE(formatInputEvent(unnamed));
  EXPECT_FALSE(formatInputEvent(blank));
}

TEST(HeadlessMessageBoxes, DefaultsAndQueuedAnswers) {
  std::ostringstream out;
  HeadlessMessageBoxes boxes(out);
  MessageBoxRequest confirm{.caption = "C",
                            .text = "line1\nline2",
                            .buttons = MessageButtons::YesNo,
                            .defaultAnswer = MessageAnswer::No};
  EXPECT_EQ(boxes.show(confirm), MessageAnswer::No);
  boxes.queueAnswer(MessageAnswer::Yes);
  EXPECT_EQ(boxes.show(confirm), MessageAnswer::Yes);
  boxes.queueAnswer(MessageAnswer::Yes);  // does not fit an OK box: OK, and it is used up
  EXPECT_EQ(boxes.show({.caption = "I", .text = "t"}), MessageAnswer::Ok);
  EXPECT_EQ(boxes.show(confirm), MessageAnswer::No);
  EXPECT_EQ(out.str(),
            "[messagebox] C | line1\\nline2 -> no\n[messagebox] C | line1\\nline2 -> yes\n"
            "[messagebox] I | t -> ok\n[messagebox] C | line1\\nline2 -> no\n");
}

}  // namespace
}  // namespace avg
