#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/text_out_options.h"

namespace avg {

// A request to send to the running player instead of playing: a request code and the file
// name as given.
struct PlayerRequest {
  uint32_t code = 0;
  std::string fileName;
};

// avgplayer [--headless] [--frames N] [--screenshot FILE.png] [--input FILE]
//           [--audio-out FILE.wav] [--record FILE] [--frame-hashes FILE] [--data-dir DIR]
//           [--text-out FILE|-] [--text-clipboard] [--text-socket [PORT]] [--speak] [GAME_DIR]
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
  // Where the game's writes go instead of the game directory.
  std::string dataDir;
  std::optional<PlayerRequest> request;
  TextOutOptions textOut;
};

constexpr const char* kUsage =
    "usage: avgplayer [--headless] [--frames N] [--screenshot FILE.png] [--input FILE] "
    "[--audio-out FILE.wav]\n"
    "                 [--record FILE] [--frame-hashes FILE] [--data-dir DIR] [--text-out FILE|-]\n"
    "                 [--text-clipboard] [--text-socket [PORT]] [--speak] [GAME_DIR]\n"
    "       avgplayer --request save|load FILE";

// Parses the arguments after the program name; the error text explains a refusal.
struct ParsedCommandLine {
  std::optional<CommandLine> commandLine;
  std::string error;
};
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

}  // namespace avg
