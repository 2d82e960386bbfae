// The demo's dialogue scene, played headless with a typed name.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/text_encoding.h"
#include "stage/text_layer.h"
#include "support/game_dir.h"
#include "support/real_services.h"

namespace avg {
namespace {

// A demo script as a game ships it: CP932 with CR LF line ends.
std::string shippedScript(const std::string& name) {
  std::ifstream file(std::string(AVG_SOURCE_DIR) + "/demo/src/" + name);
  std::stringstream text;
  text << file.rdbuf();
  std::string lines;
  for (char c : utf8ToCp932(text.str())) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  return lines;
}

std::vector<ScriptedEvent> typing(uint64_t frame, const std::string& text) {
  std::vector<ScriptedEvent> events;
  for (char c : text) {
    PlatformEvent event;
    event.type = PlatformEvent::Type::Char;
    event.codepoint = static_cast<unsigned char>(c);
    events.push_back({frame++, event, std::nullopt});
  }
  return events;
}

TEST(DialogueDemo, TypedNameIsUsedByTheLaterLines) {
  test::PlayerFixture player(typing(60, "Ann"), test::makeRealServices);
  player.dir().write("autoexec.eve", shippedScript("dialogue.eve"));
  player.run(5000);
  EXPECT_EQ(player.stringVar("name"), "Ann");
  const MessageWindow& window = player.engine().companion<TextLayer>().windows().at(0);
  ASSERT_EQ(window.logPages.size(), 3u);
  std::string last;
  for (const GlyphPtr& glyph : window.logPages[2])
    last += glyph->text;
  EXPECT_EQ(cp932ToUtf8(last), "【案内人】Annさんの冒険はここから始まります。");
}

}  // namespace
}  // namespace avg
