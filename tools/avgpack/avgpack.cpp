// avgpack: the game-data tool. Creates, lists and extracts packed archives, packs and unpacks
// single blocks, shows packed blocks as text, and scrambles and unscrambles script tables.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/text_encoding.h"
#include "save/packed_block.h"
#include "script/archive.h"
#include "script/table_reader.h"
#include "tool_support.h"

namespace avg {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: avgpack COMMAND ARGS...\n"
    "  create ARCHIVE [--mode 1|3] FILE|DIR...   pack files into a new archive; files below\n"
    "                                            DIR are named by their path below it, with\n"
    "                                            '\\' separators (mode 3: compressed, default)\n"
    "  list ARCHIVE                              name, offset, packed and unpacked size, mode\n"
    "  extract ARCHIVE [-C DIR] [MEMBER...]      write members (all by default) below DIR\n"
    "  pack IN OUT [--mode 1|2|3]                pack one file as a block (default mode 3)\n"
    "  unpack IN OUT                             unpack one block\n"
    "  scramble IN OUT                           complement-scramble a script table\n"
    "  unscramble IN OUT                         undo the scramble\n"
    "  show FILE                                 print a packed block (a save, a flag file)\n"
    "                                            as UTF-8 text\n";

using tool::Failure;
using tool::readFile;
using tool::UsageError;
using tool::writeFile;

// Takes "--mode N" out of the arguments; `fallback` when absent.
uint32_t takeMode(std::vector<std::string>& args, uint32_t fallback, std::string_view allowed) {
  auto option = std::find(args.begin(), args.end(), "--mode");
  if (option == args.end()) return fallback;
  if (option + 1 == args.end() || option[1].size() != 1 ||
      allowed.find(option[1][0]) == allowed.npos) {
    throw UsageError("--mode takes one of " + std::string(allowed));
  }
  uint32_t mode = static_cast<uint32_t>(option[1][0] - '0');
  args.erase(option, option + 2);
  return mode;
}

PackRequest requestFor(uint32_t mode) {
  switch (mode) {
    case 1:
      return PackRequest::StoreInverted;
    case 2:
      return PackRequest::Compress;
    default:
      return PackRequest::CompressInverted;
  }
}

// A file system path as a member name: '\' separators, CP932 text.
std::string memberName(const fs::path& relative) {
  std::string name = relative.lexically_normal().generic_string();
  std::replace(name.begin(), name.end(), '/', '\\');
  return utf8ToCp932(name);
}

struct Input {
  fs::path path;
  std::string name;
};

std::vector<Input> collectInputs(const std::vector<std::string>& args) {
  std::vector<Input> inputs;
  for (const std::string& arg : args) {
    fs::path path(arg);
    if (fs::is_directory(path)) {
      std::vector<Input> found;
      for (const auto& entry : fs::recursive_directory_iterator(path)) {
        if (entry.is_regular_file())
          found.push_back({entry.path(), memberName(entry.path().lexically_relative(path))});
      }
      std::sort(found.begin(), found.end(),
                [](const Input& a, const Input& b) { return a.name < b.name; });
      inputs.insert(inputs.end(), found.begin(), found.end());
    } else if (fs::is_regular_file(path)) {
      inputs.push_back({path, memberName(path)});
    } else {
      throw Failure("no such file or directory: " + arg);
    }
  }
  return inputs;
}

// A member's path relative to the directory it is extracted to; refuses names that would
// leave it.
fs::path memberPath(const std::string& name) {
  std::string path = cp932ToUtf8(name);
  std::replace(path.begin(), path.end(), '\\', '/');
  fs::path relative(path);
  bool escapes = path.empty() || relative.is_absolute() || relative.has_root_name() ||
                 (path.size() >= 2 && path[1] == ':');
  for (const fs::path& part : relative)
    escapes = escapes || part == ".." || part.empty();
  if (escapes || relative.filename().empty()) throw Failure("refusing member name " + path);
  return relative;
}

// An open directory, closed when it goes.
class DirectoryFd {
 public:
  explicit DirectoryFd(int fd) : fd_(fd) {}
  ~DirectoryFd() { reset(-1); }
  DirectoryFd(const DirectoryFd&) = delete;
  DirectoryFd& operator=(const DirectoryFd&) = delete;
  int get() const { return fd_; }
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

bool isSymbolicLink(int directory, const fs::path& name) {
  struct stat info {};
  return ::fstatat(directory, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISLNK(info.st_mode);
}

// Writes a member below `directory`. Each directory on the way is created or opened relative
// to the one before and never through a symbolic link, so that a link inside the target
// cannot send the bytes elsewhere.
void writeMember(const fs::path& directory, const std::string& name, std::string_view bytes) {
  const fs::path relative = memberPath(name);
  fs::create_directories(directory);
  DirectoryFd current(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (current.get() < 0) throw Failure("cannot open " + directory.string());
  for (const fs::path& part : relative.parent_path()) {
    ::mkdirat(current.get(), part.c_str(), 0777);  // an existing one is opened below
    int next =
        ::openat(current.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0 && isSymbolicLink(current.get(), part)) {
      throw Failure("refusing member " + relative.string() + ": " + part.string() +
                    " is a symbolic link");
    }
    if (next < 0) throw Failure("cannot write " + relative.string());
    current.reset(next);
  }
  if (!replaceFileAtomicallyAt(current.get(), relative.filename().string(), bytes))
    throw Failure("cannot write " + relative.string());
}

void checkNames(const std::vector<Input>& inputs) {
  std::vector<std::string> names;
  for (const Input& input : inputs) {
    memberPath(input.name);
    if (input.name.size() >= archive_format::kNameSize)
      throw Failure("name too long: " + input.path.string());
    names.push_back(input.name);
  }
  std::sort(names.begin(), names.end());
  auto twice = std::adjacent_find(names.begin(), names.end());
  if (twice != names.end()) throw Failure("member named twice: " + cp932ToUtf8(*twice));
}

// Inputs this large get a progress line on stderr.
constexpr uintmax_t kProgressThreshold = 16 << 20;

int create(std::vector<std::string> args) {
  uint32_t mode = takeMode(args, 3, "13");
  if (args.size() < 2) throw UsageError("create needs an archive and at least one input");
  std::vector<Input> inputs = collectInputs({args.begin() + 1, args.end()});
  checkNames(inputs);
  uintmax_t total = 0;
  for (const Input& input : inputs)
    total += fs::file_size(input.path);
  const bool progress = total >= kProgressThreshold;
  std::vector<PackedMember> members;
  uint64_t packedSize = 0;
  uintmax_t done = 0;
  for (const Input& input : inputs) {
    std::string content = readFile(input.path);
    done += content.size();
    members.push_back({input.name, packBlock(content, requestFor(mode))});
    packedSize += members.back().block.size();
    if (packedSize > UINT32_MAX) throw Failure("archive would exceed 4 GB");
    if (progress)
      std::fprintf(stderr, "\ravgpack: %zu/%zu files, %3d%%", members.size(), inputs.size(),
                   int(done * 100 / total));
  }
  if (progress) std::fputc('\n', stderr);
  writeFile(args[0], buildArchive(members));
  return 0;
}

struct OpenArchive {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{nullptr, std::fclose};
  ArchiveIndex index;
};

OpenArchive openArchive(const std::string& path) {
  OpenArchive archive;
  archive.file.reset(std::fopen(path.c_str(), "rb"));
  if (!archive.file) throw Failure("cannot open " + path);
  std::optional<ArchiveIndex> index = readArchiveIndex(archive.file.get());
  if (!index) throw Failure(path + " is not a valid archive");
  archive.index = std::move(*index);
  return archive;
}

int list(const std::vector<std::string>& args) {
  if (args.size() != 1) throw UsageError("list needs exactly one archive");
  OpenArchive archive = openArchive(args[0]);
  std::printf("%-40s %10s %10s %10s %4s\n", "name", "offset", "packed", "unpacked", "mode");
  for (const auto& [name, member] : archive.index) {
    char header[packed_block::kHeaderSize] = {};
    ::fseeko(archive.file.get(), static_cast<off_t>(member.offset), SEEK_SET);
    bool read = member.size >= sizeof header &&
                std::fread(header, 1, sizeof header, archive.file.get()) == sizeof header;
    std::printf("%-40s %10llu %10u ", cp932ToUtf8(name).c_str(),
                static_cast<unsigned long long>(member.offset), member.size);
    if (read) {
      std::printf("%10u %4u\n", readLE32(header + 8), readLE32(header + 4));
    } else {
      std::printf("%10s %4s\n", "?", "?");
    }
  }
  return 0;
}

int extract(std::vector<std::string> args) {
  fs::path directory = ".";
  auto option = std::find(args.begin(), args.end(), "-C");
  if (option != args.end()) {
    if (option + 1 == args.end()) throw UsageError("-C needs a directory");
    directory = option[1];
    args.erase(option, option + 2);
  }
  if (args.empty()) throw UsageError("extract needs an archive");
  OpenArchive archive = openArchive(args[0]);
  std::vector<std::string> wanted(args.begin() + 1, args.end());
  if (wanted.empty()) {
    for (const auto& entry : archive.index)
      wanted.push_back(entry.first);
  }
  int status = 0;
  for (const std::string& name : wanted) {
    try {
      auto member = archive.index.find(name);
      if (member == archive.index.end()) member = archive.index.find(utf8ToCp932(name));
      if (member == archive.index.end()) throw Failure("no member " + name);
      std::optional<std::string> content = readArchiveMember(archive.file.get(), member->second);
      if (!content) throw Failure("member " + cp932ToUtf8(name) + " is damaged");
      writeMember(directory, member->first, *content);
    } catch (const Failure& failure) {
      std::fprintf(stderr, "avgpack: %s\n", failure.what());
      status = 1;
    }
  }
  return status;
}

int pack(std::vector<std::string> args) {
  uint32_t mode = takeMode(args, 3, "123");
  if (args.size() != 2) throw UsageError("pack needs IN and OUT");
  writeFile(args[1], packBlock(readFile(args[0]), requestFor(mode)));
  return 0;
}

int unpack(const std::vector<std::string>& args) {
  if (args.size() != 2) throw UsageError("unpack needs IN and OUT");
  std::optional<std::string> content = unpackBlock(readFile(args[0]));
  if (!content) throw Failure(args[0] + " is not a valid packed block");
  writeFile(args[1], *content);
  return 0;
}

int scramble(const std::vector<std::string>& args) {
  if (args.size() != 2) throw UsageError("scramble needs IN and OUT");
  std::string text = readFile(args[0]);
  if (isScrambled(text)) throw Failure(args[0] + " is already scrambled");
  writeFile(args[1], scrambled(text));
  return 0;
}

int unscramble(const std::vector<std::string>& args) {
  if (args.size() != 2) throw UsageError("unscramble needs IN and OUT");
  std::string bytes = readFile(args[0]);
  if (!isScrambled(bytes)) throw Failure(args[0] + " is not a scrambled table");
  writeFile(args[1], unscrambled(bytes));
  return 0;
}

// A packed block (a save, a flag file) as UTF-8 text with LF line ends, on stdout.
int show(const std::vector<std::string>& args) {
  if (args.size() != 1) throw UsageError("show needs FILE");
  std::optional<std::string> content = unpackBlock(readFile(args[0]));
  if (!content) throw Failure(args[0] + " is not a valid packed block");
  std::string text = cp932ToUtf8(*content);
  std::erase(text, '\r');
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

int run(const std::string& command, std::vector<std::string> args) {
  if (command == "create") return create(std::move(args));
  if (command == "list") return list(args);
  if (command == "extract") return extract(std::move(args));
  if (command == "pack") return pack(std::move(args));
  if (command == "unpack") return unpack(args);
  if (command == "scramble") return scramble(args);
  if (command == "unscramble") return unscramble(args);
  if (command == "show") return show(args);
  throw UsageError("unknown command " + command);
}

}  // namespace
}  // namespace avg

int main(int argc, char** argv) {
  return avg::tool::runTool("avgpack", avg::kUsage, argc, argv, avg::run);
}
