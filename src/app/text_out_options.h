#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "input/ini_file.h"

namespace avg {

// Where the game's text goes out to besides the screen.
struct TextOutOptions {
  static constexpr uint16_t kDefaultPort = 6677;
  std::string file;  // JSON lines appended to it; "-": standard output; empty: none
  bool clipboard = false;
  std::optional<uint16_t> socketPort;
  bool speak = false;

  bool any() const { return !file.empty() || clipboard || socketPort || speak; }
};

// What one command-line argument meant to the text-out options.
struct TextOutArgument {
  bool taken = false;
  std::string error;  // not empty when the option was malformed
};

// Takes `arguments[i]` when it is --text-out FILE, --text-clipboard, --text-socket [PORT] or
// --speak, advancing `i` past the values it takes.
TextOutArgument takeTextOutArgument(const std::vector<std::string>& arguments, size_t& i,
                                    TextOutOptions& options);

// The options of config.ini's section [AVGPLAYER] (TEXT_OUT=FILE, TEXT_CLIPBOARD=1,
// TEXT_SOCKET=PORT, SPEAK=1; 0 or missing is off) where the command line left them unset.
TextOutOptions withConfiguredTextOut(TextOutOptions options, const IniFile& config);

}  // namespace avg
