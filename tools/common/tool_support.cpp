#include "tool_support.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/atomic_file.h"

namespace avg::tool {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure("cannot read " + path.string());
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) throw Failure("cannot read " + path.string());
  return bytes;
}

void writeFile(const std::filesystem::path& path, std::string_view bytes) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  if (!replaceFileAtomically(path.string(), bytes)) throw Failure("cannot write " + path.string());
}

int runTool(const char* tool, const char* usage, int argc, char** argv, CommandRunner run) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::fputs(usage, stderr);
    return 2;
  }
  // --help anywhere, also after a command, prints the usage.
  if (std::any_of(args.begin(), args.end(),
                  [](const std::string& arg) { return arg == "--help" || arg == "-h"; })) {
    std::fputs(usage, stdout);
    return 0;
  }
  try {
    return run(args[0], {args.begin() + 1, args.end()});
  } catch (const UsageError& error) {
    std::fprintf(stderr, "%s: %s\n%s", tool, error.what(), usage);
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", tool, error.what());
    return 1;
  }
}

}  // namespace avg::tool
