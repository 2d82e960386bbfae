#include "app/text_out_options.h"

#include <charconv>

namespace avg {
namespace {

constexpr const char* kSection = "AVGPLAYER";

std::optional<uint16_t> portNumber(const std::string& text) {
  uint16_t port = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (error != std::errc() || end != text.data() + text.size() || port == 0) return std::nullopt;
  return port;
}

}  // namespace

TextOutArgument takeTextOutArgument(const std::vector<std::string>& arguments, size_t& i,
                                    TextOutOptions& options) {
  const std::string& argument = arguments[i];
  const bool hasValue = i + 1 < arguments.size();
  if (argument == "--text-out") {
    if (!hasValue) return {true, "--text-out needs a file name or -"};
    options.file = arguments[++i];
  } else if (argument == "--text-clipboard") {
    options.clipboard = true;
  } else if (argument == "--text-socket") {
    // The port is optional: a following word that is not a number is the next argument.
    const bool numeric = hasValue && !arguments[i + 1].empty() &&
                         arguments[i + 1].find_first_not_of("0123456789") == std::string::npos;
    options.socketPort = TextOutOptions::kDefaultPort;
    if (numeric) {
      options.socketPort = portNumber(arguments[++i]);
      if (!options.socketPort) return {true, "--text-socket needs a port from 1 to 65535"};
    }
  } else if (argument == "--speak") {
    options.speak = true;
  } else {
    return {};
  }
  return {true, {}};
}

TextOutOptions withConfiguredTextOut(TextOutOptions options, const IniFile& config) {
  if (options.file.empty()) options.file = config.string(kSection, "TEXT_OUT", "");
  options.clipboard = options.clipboard || config.integer(kSection, "TEXT_CLIPBOARD", 0) != 0;
  if (!options.socketPort)
    options.socketPort = portNumber(config.string(kSection, "TEXT_SOCKET", ""));
  options.speak = options.speak || config.integer(kSection, "SPEAK", 0) != 0;
  return options;
}

}  // namespace avg
