#include "app/command_line.h"

#include <gtest/gtest.h>

namespace avg {
namespace {

TEST(CommandLine, AcceptsEveryOption) {
  ParsedCommandLine parsed =
      parseCommandLine({"--headless", "--frames", "12", "--screenshot", "a.png", "--input",
                        "in.txt", "--audio-out", "out.wav", "--data-dir", "d", "game"});
  ASSERT_TRUE(parsed.commandLine);
  const CommandLine& line = *parsed.commandLine;
  EXPECT_TRUE(line.headless);
  EXPECT_EQ(line.frames, 12u);
  EXPECT_EQ(line.screenshot, "a.png");
  EXPECT_EQ(line.inputFile, "in.txt");
  EXPECT_EQ(line.audioOut, "out.wav");
  EXPECT_EQ(line.gameDir, "game");
  EXPECT_EQ(line.dataDir, "d");
  EXPECT_FALSE(line.request);

  ParsedCommandLine request = parseCommandLine({"--request", "load", "Save/\x83\x5A.sav"});
  ASSERT_TRUE(request.commandLine && request.commandLine->request);
  EXPECT_EQ(request.commandLine->request->code, 10002u);
  EXPECT_EQ(request.commandLine->request->fileName, "Save/\x83\x5A.sav");  // bytes as given
  EXPECT_EQ(parseCommandLine({"--request", "save", "a"}).commandLine->request->code, 10001u);
}

TEST(CommandLine, RefusesWithAReason) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--fast"}, "unknown option '--fast'"},
      {{"--frames"}, "--frames needs a number"},
      {{"--frames", "-1"}, "--frames needs a number, got '-1'"},
      {{"--screenshot"}, "--screenshot needs a file name"},
      {{"--data-dir"}, "--data-dir needs a directory"},
      {{"a", "b"}, "only one game directory can be given"},
      {{"--request", "save"}, "--request needs save or load and a file name"},
      {{"--request", "copy", "a"}, "--request needs save or load and a file name"},
      {{"--request", "save", std::string(4096, 'a')}, "--request: file name too long"},
  };
  for (const auto& [arguments, error] : cases) {
    ParsedCommandLine parsed = parseCommandLine(arguments);
    EXPECT_FALSE(parsed.commandLine);
    EXPECT_EQ(parsed.error, error);
  }
}

}  // namespace
}  // namespace avg
