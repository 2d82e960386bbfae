// avgscript: the script tool for game makers and translators. Turns script and table files
// into UTF-8 text to edit and back into the bytes the player reads.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "script_text.h"
#include "tool_support.h"

namespace avg {
namespace {

using tool::Failure;
using tool::UsageError;

constexpr const char* kUsage =
    "usage: avgscript COMMAND ARGS...\n"
    "  decompile FILE [-o OUT]              a script or table (scrambled or not) as UTF-8\n"
    "                                       text with LF line ends (stdout by default)\n"
    "  compile FILE [-o OUT] [--scramble]   UTF-8 text back to a CP932 table with CR LF\n"
    "                                       line ends, scrambled with --scramble or when\n"
    "                                       the text came from a scrambled table\n";

struct Arguments {
  std::string input;
  std::optional<std::string> output;
  bool scramble = false;
};

Arguments parseArguments(const std::string& command, std::vector<std::string> args,
                         bool scrambleAllowed) {
  Arguments parsed;
  for (size_t k = 0; k < args.size(); ++k) {
    if (args[k] == "-o" && k + 1 < args.size()) {
      parsed.output = args[++k];
    } else if (args[k] == "--scramble" && scrambleAllowed) {
      parsed.scramble = true;
    } else if (args[k].starts_with("-") || !parsed.input.empty()) {
      throw UsageError(command + ": unexpected argument " + args[k]);
    } else {
      parsed.input = args[k];
    }
  }
  if (parsed.input.empty()) throw UsageError(command + " needs FILE");
  return parsed;
}

void writeOutput(const std::optional<std::string>& output, const std::string& bytes) {
  if (output) {
    tool::writeFile(*output, bytes);
  } else if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
    throw Failure("cannot write to stdout");
  }
}

int decompile(std::vector<std::string> args) {
  Arguments parsed = parseArguments("decompile", std::move(args), false);
  writeOutput(parsed.output, decompileTable(tool::readFile(parsed.input), parsed.input));
  return 0;
}

int compile(std::vector<std::string> args) {
  Arguments parsed = parseArguments("compile", std::move(args), true);
  std::string text = tool::readFile(parsed.input);
  writeOutput(parsed.output, compileTable(text, parsed.input, parsed.scramble));
  return 0;
}

int run(const std::string& command, std::vector<std::string> args) {
  if (command == "decompile") return decompile(std::move(args));
  if (command == "compile") return compile(std::move(args));
  throw UsageError("unknown command " + command);
}

}  // namespace
}  // namespace avg

int main(int argc, char** argv) {
  return avg::tool::runTool("avgscript", avg::kUsage, argc, argv, avg::run);
}
