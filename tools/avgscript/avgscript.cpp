// avgscript: the script tool for game makers and translators. Turns script and table files
// into UTF-8 text to edit and back into the bytes the player reads, checks a game's scripts
// against the player's own command table, and takes their text out for translators and the
// translations back in.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/command_list.h"
#include "base/game_path.h"
#include "base/text_encoding.h"
#include "lint.h"
#include "save/packed_block.h"
#include "script/archive.h"
#include "script/command_table.h"
#include "script_text.h"
#include "tool_support.h"
#include "translation.h"

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
    "                                       the text came from a scrambled table\n"
    "  lint GAME_DIR | FILE...              checks the game's scripts (autoexec.eve and the\n"
    "                                       other .eve files, or the FILEs, and the scripts\n"
    "                                       they start) as the player loads them: unknown\n"
    "                                       commands, words of the wrong number or kind,\n"
    "                                       missing labels, includes and files, variables\n"
    "                                       read but never written; prints FILE:LINE:\n"
    "                                       error|warning: MESSAGE lines, exit code 1 when\n"
    "                                       there is an error\n"
    "  strings GAME_DIR [-o OUT]            a gettext template (.pot) of the text players\n"
    "                                       read: the literals of MESS ADD_ and SPLI and\n"
    "                                       those assigned to the string variables they\n"
    "                                       show, each with FILE:LINE references\n"
    "  apply PO GAME_DIR -o OUT_DIR | --archive FILE\n"
    "                                       the scripts that PO's translations change,\n"
    "                                       written below OUT_DIR (same names and format)\n"
    "                                       or packed into one archive FILE\n";

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

// A file name as scripts write it: CP932 when the system's name is UTF-8.
std::string asScriptsNameIt(const std::string& name) {
  std::string cp932 = utf8ToCp932(name);
  return cp932ToUtf8(cp932) == name ? cp932 : name;
}

// The scripts of a game directory: autoexec.eve first, then its other .eve files by name.
std::vector<std::string> gameScripts() {
  std::vector<std::string> others;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    std::string name = entry.path().filename().string();
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
    if (entry.is_regular_file() && extension == ".eve" && name != "autoexec.eve")
      others.push_back(asScriptsNameIt(name));
  }
  std::sort(others.begin(), others.end());
  others.insert(others.begin(), "autoexec.eve");
  return others;
}

// Enters the game directory, as the player runs in it, and lists its scripts.
std::vector<std::string> enterGame(const std::string& directory) {
  std::filesystem::current_path(directory);
  if (!std::filesystem::exists("autoexec.eve")) throw Failure("no autoexec.eve in " + directory);
  return gameScripts();
}

CommandTable playerCommands() {
  CommandTable commands;
  registerAllCommands(commands);
  return commands;
}

int lint(std::vector<std::string> args) {
  if (args.empty()) throw UsageError("lint needs GAME_DIR or FILE...");
  for (const std::string& arg : args) {
    if (arg.starts_with("-")) throw UsageError("lint: unexpected argument " + arg);
  }
  std::string directory;
  if (args.size() == 1 && std::filesystem::is_directory(args[0])) {
    directory = args[0].ends_with('/') ? args[0] : args[0] + "/";
    args = enterGame(args[0]);
  }
  for (const std::string& name : args) {
    if (!findGameFile(name)) throw Failure("cannot read " + cp932ToUtf8(name));
  }
  ArchiveSet archives;
  bool error = false;
  for (const LintFinding& finding : lintGame(playerCommands(), args, archives)) {
    std::printf("%s\n", formatFinding(finding, directory).c_str());
    error = error || finding.error;
  }
  return error ? 1 : 0;
}

int strings(std::vector<std::string> args) {
  Arguments parsed = parseArguments("strings", std::move(args), false);
  if (parsed.output) parsed.output = std::filesystem::absolute(*parsed.output);
  std::vector<std::string> scripts = enterGame(parsed.input);
  ArchiveSet archives;
  writeOutput(parsed.output, potFile(gameTexts(playerCommands(), scripts, archives)));
  return 0;
}

// A script's name as the scripts write it, as a path below an output directory: the path
// of the game's own file when there is one (so that the copy lands on it), else the name
// written, in UTF-8.
std::filesystem::path outputPath(const std::string& script) {
  std::optional<std::string> found = findGameFile(script);
  std::string name = found ? *found : cp932ToUtf8(script);
  std::replace(name.begin(), name.end(), '\\', '/');
  std::filesystem::path path = std::filesystem::path(name).lexically_normal();
  if (path.is_absolute() || path.begin() == path.end() || *path.begin() == "..")
    throw Failure("refusing to write " + name + " outside the output directory");
  return path;
}

// The changed scripts as one archive, under the names the scripts use.
std::string patchArchive(const std::map<std::string, std::string>& scripts) {
  std::vector<PackedMember> members;
  for (const auto& [name, bytes] : scripts) {
    std::string member = name;
    std::replace(member.begin(), member.end(), '/', '\\');
    if (member.size() >= archive_format::kNameSize)
      throw Failure("name too long for an archive: " + cp932ToUtf8(name));
    members.push_back({member, packBlock(bytes, PackRequest::CompressInverted)});
  }
  return buildArchive(members);
}

int apply(std::vector<std::string> args) {
  std::vector<std::string> inputs;
  std::optional<std::filesystem::path> outDir, archive;
  for (size_t k = 0; k < args.size(); ++k) {
    bool hasValue = k + 1 < args.size();
    if (args[k] == "-o" && hasValue) {
      outDir = std::filesystem::absolute(args[++k]);
    } else if (args[k] == "--archive" && hasValue) {
      archive = std::filesystem::absolute(args[++k]);
    } else if (args[k].starts_with("-") || inputs.size() == 2) {
      throw UsageError("apply: unexpected argument " + args[k]);
    } else {
      inputs.push_back(args[k]);
    }
  }
  if (inputs.size() != 2 || outDir.has_value() == archive.has_value())
    throw UsageError("apply needs PO, GAME_DIR and one of -o OUT_DIR or --archive FILE");
  std::map<std::string, std::string> translations =
      readPoFile(tool::readFile(inputs[0]), inputs[0]);
  std::vector<std::string> scripts = enterGame(inputs[1]);
  ArchiveSet archives;
  std::vector<GameText> texts = gameTexts(playerCommands(), scripts, archives);
  std::map<std::string, std::string> changed = translatedScripts(texts, translations, archives);
  if (archive) {
    tool::writeFile(*archive, patchArchive(changed));
    return 0;
  }
  std::vector<std::pair<std::filesystem::path, const std::string*>> outputs;
  for (const auto& [name, bytes] : changed)
    outputs.emplace_back(*outDir / outputPath(name), &bytes);
  for (const auto& [path, bytes] : outputs)
    tool::writeFile(path, *bytes);
  return 0;
}

int run(const std::string& command, std::vector<std::string> args) {
  if (command == "decompile") return decompile(std::move(args));
  if (command == "compile") return compile(std::move(args));
  if (command == "lint") return lint(std::move(args));
  if (command == "strings") return strings(std::move(args));
  if (command == "apply") return apply(std::move(args));
  throw UsageError("unknown command " + command);
}

}  // namespace
}  // namespace avg

int main(int argc, char** argv) {
  return avg::tool::runTool("avgscript", avg::kUsage, argc, argv, avg::run);
}
