// Where the game's text goes: the options that choose it, the sinks, and the screenshot
// folder of F12.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <tuple>

#include "app/text_out_options.h"
#include "app/text_sinks.h"
#include "app/user_screenshot.h"
#include "platform/headless/headless_platform.h"
#include "support/game_dir.h"

namespace avg {
namespace {

TEST(TextOutOptions, CommandLine) {
  struct Case {
    std::vector<std::string> arguments;
    std::string file;
    bool clipboard;
    std::optional<uint16_t> port;
    bool speak;
    size_t consumed;  // arguments taken
    std::string error;
  };
  const std::vector<Case> cases = {
      {{"--text-out", "-"}, "-", false, {}, false, 2, ""},
      {{"--text-clipboard"}, "", true, {}, false, 1, ""},
      {{"--speak"}, "", false, {}, true, 1, ""},
      {{"--text-socket"}, "", false, 6677, false, 1, ""},
      {{"--text-socket", "7000"}, "", false, 7000, false, 2, ""},
      {{"--text-socket", "game"}, "", false, 6677, false, 1, ""},  // the game directory
      {{"--text-socket", "0"}, "", false, {}, false, 2, "port"},
      {{"--text-socket", "65536"}, "", false, {}, false, 2, "port"},
      {{"--text-out"}, "", false, {}, false, 1, "file name"},
      {{"--frames"}, "", false, {}, false, 0, ""},  // not ours
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments[0] + (c.arguments.size() > 1 ? " " + c.arguments[1] : ""));
    TextOutOptions options;
    size_t i = 0;
    const TextOutArgument result = takeTextOutArgument(c.arguments, i, options);
    EXPECT_EQ(result.taken, c.consumed != 0);
    if (result.taken) {
      EXPECT_EQ(i + 1, c.consumed);
    }
    EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
    EXPECT_EQ(result.error.empty(), c.error.empty());
    if (!c.error.empty()) continue;
    EXPECT_EQ(options.file, c.file);
    EXPECT_EQ(options.clipboard, c.clipboard);
    EXPECT_EQ(options.socketPort, c.port);
    EXPECT_EQ(options.speak, c.speak);
  }
}

TEST(TextOutOptions, ConfigFillsWhatTheCommandLineLeftUnset) {
  const IniFile config(
      "[GAME]\r\nNAME=x\r\n[AVGPLAYER]\r\nTEXT_OUT=lines.jsonl\r\nTEXT_CLIPBOARD=1\r\n"
      "TEXT_SOCKET=7001\r\nSPEAK=0\r\n");
  const TextOutOptions c = withConfiguredTextOut({}, config);
  EXPECT_EQ(std::tie(c.file, c.clipboard, c.socketPort, c.speak),
            std::tuple("lines.jsonl", true, 7001, false));
  const TextOutOptions both = withConfiguredTextOut(
      {.file = "-", .clipboard = false, .socketPort = 6677, .speak = true}, config);
  EXPECT_EQ(std::tie(both.file, both.socketPort, both.speak), std::tuple("-", 6677, true));
  EXPECT_FALSE(withConfiguredTextOut({}, IniFile("[AVGPLAYER]\r\nTEXT_SOCKET=0\r\n")).any());
}

TEST(TextSinks, JsonLinesAndClipboard) {
  test::TempGameDir dir;
  HeadlessMessageBoxes boxes(std::cerr);
  HeadlessWindow window(boxes, {});
  TextSinks sinks;
  sinks.add(JsonLinesSink::open("out.jsonl"));
  sinks.add(std::make_unique<ClipboardSink>(window));
  sinks.send({3, 0, "「あ」\n\"q\" \\ \t\x01"});
  // Lines already there are kept: the file is appended to.
  EXPECT_EQ(dir.read("out.jsonl"),
            "{\"frame\":3,\"window\":0,\"text\":\"「あ」\\n\\\"q\\\" \\\\ \\t\\u0001\"}\n");
  sinks.send({40, 2, "next"});
  EXPECT_EQ(window.clipboardText(), "next");
  EXPECT_TRUE(dir.read("out.jsonl").ends_with("\n{\"frame\":40,\"window\":2,\"text\":\"next\"}\n"));
  EXPECT_EQ(JsonLinesSink::open("missing/dir/out.jsonl"), nullptr);
}

class FakeSpeech : public SpeechService {
 public:
  FakeSpeech(std::vector<std::string>& calls, bool japanese) : calls_(calls), japanese_(japanese) {}
  bool hasVoiceFor(const std::string& language) override { return japanese_ && language == "ja"; }
  void setLanguage(const std::string& language) override { calls_.push_back("lang " + language); }
  void cancel() override { calls_.push_back("cancel"); }
  void say(const std::string& text) override { calls_.push_back("say " + text); }

 private:
  std::vector<std::string>& calls_;
  bool japanese_;
};

TEST(TextSinks, SpeechInJapaneseWhenThereIsAVoiceEachEventCuttingOffTheLast) {
  for (bool japanese : {true, false}) {
    std::vector<std::string> calls;
    SpeechSink sink(std::make_unique<FakeSpeech>(calls, japanese));
    sink.send({1, 0, "一"});
    sink.send({2, 0, "二"});
    std::vector<std::string> expected = {"cancel", "say 一", "cancel", "say 二"};
    if (japanese) expected.insert(expected.begin(), "lang ja");
    EXPECT_EQ(calls, expected);
  }
}

TEST(UserScreenshot, FolderAndName) {
  test::TempGameDir dir;
  dir.write("config/user-dirs.dirs",
            "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
  dir.write("odd/user-dirs.dirs", "XDG_PICTURES_DIR=\"$XDG_OTHER/x\"\n");
  const std::string config = (dir.path() / "config").string();
  const std::string odd = (dir.path() / "odd").string();
  struct Case {
    std::map<std::string, std::string> environment;
    std::string folder;
  };
  const std::vector<Case> cases = {
      {{{"XDG_PICTURES_DIR", "/p"}, {"HOME", "/h"}, {"XDG_CONFIG_HOME", config}}, "/p/avgplayer"},
      {{{"HOME", "/h"}, {"XDG_CONFIG_HOME", config}}, "/h/Bilder/avgplayer"},
      {{{"HOME", "/h"}, {"XDG_CONFIG_HOME", odd}}, "/h/Pictures/avgplayer"},
      {{{"HOME", "/h"}, {"XDG_CONFIG_HOME", "/nowhere"}}, "/h/Pictures/avgplayer"},
  };
  for (const Case& c : cases) {
    auto lookup = [&](const char* name) -> const char* {
      auto value = c.environment.find(name);
      return value == c.environment.end() ? nullptr : value->second.c_str();
    };
    EXPECT_EQ(userScreenshotFolder(lookup), c.folder);
  }
  std::tm time{};
  time.tm_sec = 5;
  time.tm_min = 4;
  time.tm_hour = 3;
  time.tm_mday = 2;
  time.tm_year = 126;
  EXPECT_EQ(userScreenshotName("AVG/2\n", time), "AVG_2_ 2026-01-02 03.04.05.png");
}

}  // namespace
}  // namespace avg
