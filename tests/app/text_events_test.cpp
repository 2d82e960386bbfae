// The lines of game text handed out as the reader completes them, from scripts run headless.
#include <gtest/gtest.h>

#include "app/text_events.h"
#include "support/game_dir.h"

namespace avg {
namespace {

class RecordingSink : public TextSink {
 public:
  void send(const TextEvent& event) override { events.push_back(event); }
  std::vector<TextEvent> events;
};

// `count` frame passes of waiting.
std::vector<std::string> wait(int count) {
  return std::vector<std::string>(static_cast<size_t>(count), "NEXT");
}

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> lines;
  for (const auto& part : parts)
    lines.insert(lines.end(), part.begin(), part.end());
  return lines;
}

struct Expected {
  uint64_t frame;
  int32_t window;
  std::string text;
};

struct Case {
  const char* name;
  std::vector<std::string> script;
  std::vector<Expected> events;
};

// "あいう" in CP932 and UTF-8.
const std::string kA = "\x82\xa0", kI = "\x82\xa2", kU = "\x82\xa4";
const std::string kAiu = "あいう";

TEST(TextEvents, CompleteVisibleLinesOnce) {
  const std::vector<Case> cases = {
      {"typed character by character, then settled",
       concat(
           {{"MESS,ADD_,%s__" + kA, "NEXT", "MESS,ADD_,%s__" + kI, "NEXT", "MESS,ADD_,%s__" + kU},
            wait(20)}),
       {{12, 0, kAiu}}},
      {"cleared before settling; line breaks kept, trailing ones cut",
       {"MESS,ADD_,%s__Hello", "MESS,CRLF", "MESS,ADD_,%s__world", "MESS,CRLF", "NEXT", "MESS,CLE_",
        "MESS,CRLF", "MESS,ADD_,%s__Next", "NEXT", "MESS,TEXT,CLE_", "NEXT"},
       {{2, 0, "Hello\nworld"}, {3, 0, "Next"}}},
      {"cleared in the pass it was added: never drawn",
       {"MESS,ADD_,%s__gone", "MESS,CLE_", "NEXT"},
       {}},
      {"hidden window",
       concat({{"MESS,HIDE", "MESS,ADD_,%s__secret"},
               wait(15),
               {"MESS,CLE_", "MESS,SHOW", "MESS,ADD_,%s__shown", "NEXT", "MESS,CLE_"}}),
       {{17, 0, "shown"}}},
      {"log pages are not new text",
       concat({{"MESS,ADD_,%s__one", "NEXT", "MESS,LOG_,OUT_", "MESS,TEXT,CLE_",
                "MESS,ADD_,%s__two", "NEXT", "MESS,LOG_,OUT_", "MESS,LOG_,UP__"},
               wait(12),
               {"MESS,LOG_,UP__"},
               wait(12),
               {"MESS,LOG_,END_"},
               wait(12),
               {"MESS,TEXT,CLE_", "NEXT"}}),
       {{2, 0, "one"}, {11, 0, "two"}}},
      {"a shadow in a second window is the same line",
       {"MESS,SET_,%n__1", "MESS,ADD_,%s__shade", "MESS,SET_,%n__0", "MESS,ADD_,%s__shade", "NEXT",
        "MESS,CLE_", "MESS,SET_,%n__1", "MESS,CLE_", "NEXT"},
       {{2, 0, "shade"}}},
      {"text added after it settled goes out again whole",
       concat({{"MESS,ADD_,%s__a"}, wait(12), {"MESS,ADD_,%s__b", "NEXT", "MESS,CLE_"}}),
       {{10, 0, "a"}, {14, 0, "ab"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingSink sink;
    test::PlayerFixture player;
    player.setTextOut(&sink);
    std::vector<std::string> script = c.script;
    script.push_back("CLOS");
    player.runScript(script);
    ASSERT_EQ(sink.events.size(), c.events.size());
    for (size_t i = 0; i < c.events.size(); ++i) {
      EXPECT_EQ(sink.events[i].frame, c.events[i].frame) << i;
      EXPECT_EQ(sink.events[i].window, c.events[i].window) << i;
      EXPECT_EQ(sink.events[i].text, c.events[i].text) << i;
    }
  }
}

}  // namespace
}  // namespace avg
