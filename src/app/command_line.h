#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace avg {

// avgplayer [--headless] [--frames N] [--screenshot FILE.png] [--input FILE]
//           [--audio-out FILE.wav] [GAME_DIR]
struct CommandLine {
  bool headless = false;
  bool help = false;
  std::optional<uint64_t> frames;
  std::string screenshot;
  std::string inputFile;
  std::string audioOut;
  std::string gameDir;
};

constexpr const char* kUsage =
    "usage: avgplayer [--headless] [--frames N] [--screenshot FILE.png] [--input FILE] "
    "[--audio-out FILE.wav] [GAME_DIR]";

// Parses the arguments after the program name; the error text explains a refusal.
struct ParsedCommandLine {
  std::optional<CommandLine> commandLine;
  std::string error;
};
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

}  // namespace avg
