#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace avg {

// A request to send to the running player instead of playing: a request code and the file
// name as given.
struct PlayerRequest {
  uint32_t code = 0;
  std::string fileName;
};

// avgplayer [--headless] [--frames N] [--screenshot FILE.png] [--input FILE]
//           [--audio-out FILE.wav] [--record FILE] [--frame-hashes FILE] [GAME_DIR]
// avgplayer --request save|load FILE
struct CommandLine {
  bool headless = false;
  bool help = false;
  std::optional<uint64_t> frames;
  std::string screenshot;
  std::string inputFile;
  std::string audioOut;
  std::string recordFile;
  std::string frameHashes;
  std::string gameDir;
  std::optional<PlayerRequest> request;
};

constexpr const char* kUsage =
    "usage: avgplayer [--headless] [--frames N] [--screenshot FILE.png] [--input FILE] "
    "[--audio-out FILE.wav] [--record FILE] [--frame-hashes FILE] [GAME_DIR]\n"
    "       avgplayer --request save|load FILE";

// Parses the arguments after the program name; the error text explains a refusal.
struct ParsedCommandLine {
  std::optional<CommandLine> commandLine;
  std::string error;
};
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

}  // namespace avg
