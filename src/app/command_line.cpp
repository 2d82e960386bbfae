#include "app/command_line.h"

#include <charconv>

#include "app/request_message.h"

namespace avg {
namespace {

ParsedCommandLine refuse(std::string error) {
  return {std::nullopt, std::move(error)};
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    auto value = [&]() -> const std::string* {
      return i + 1 < arguments.size() ? &arguments[++i] : nullptr;
    };
    if (TextOutArgument textOut = takeTextOutArgument(arguments, i, line.textOut); textOut.taken) {
      if (!textOut.error.empty()) return refuse(textOut.error);
    } else if (argument == "--headless") {
      line.headless = true;
    } else if (argument == "--help" || argument == "-h") {
      line.help = true;
    } else if (argument == "--frames") {
      const std::string* text = value();
      uint64_t frames = 0;
      if (!text) return refuse("--frames needs a number");
      auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), frames);
      if (error != std::errc() || end != text->data() + text->size()) {
        return refuse("--frames needs a number, got '" + *text + "'");
      }
      line.frames = frames;
    } else if (std::string* target = argument == "--screenshot"     ? &line.screenshot
                                     : argument == "--input"        ? &line.inputFile
                                     : argument == "--audio-out"    ? &line.audioOut
                                     : argument == "--record"       ? &line.recordFile
                                     : argument == "--frame-hashes" ? &line.frameHashes
                                                                    : nullptr) {
      const std::string* text = value();
      if (!text) return refuse(argument + " needs a file name");
      *target = *text;
    } else if (argument == "--data-dir") {
      const std::string* text = value();
      if (!text) return refuse("--data-dir needs a directory");
      line.dataDir = *text;
    } else if (argument == "--request") {
      const std::string* verb = value();
      const std::string* fileName = value();
      if (!fileName || (*verb != "save" && *verb != "load")) {
        return refuse("--request needs save or load and a file name");
      }
      if (fileName->size() >= kMaxRequestData) return refuse("--request: file name too long");
      line.request =
          PlayerRequest{*verb == "save" ? kSaveRequestCode : kLoadRequestCode, *fileName};
    } else if (argument.starts_with("-")) {
      return refuse("unknown option '" + argument + "'");
    } else if (line.gameDir.empty()) {
      line.gameDir = argument;
    } else {
      return refuse("only one game directory can be given");
    }
  }
  return {line, {}};
}

}  // namespace avg
