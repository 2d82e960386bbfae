#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "save/packed_block.h"
#include "script/archive.h"
#include "support/game_dir.h"

namespace avg {
namespace {

// Runs avgpack with arguments (already quoted as needed), its messages going to `errors`; its
// exit code.
int avgpack(const std::string& args, const std::string& errors = "/dev/null") {
  std::string command = std::string(AVGPACK_BINARY) + " " + args + " >/dev/null 2>" + errors;
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Avgpack, CreatedArchiveRunsInThePlayerAndExtractsIdentically) {
  test::TempGameDir dir;
  dir.write("data/scene/main.eve",
            test::crlf({"CALN,=___,$n__value,%n__42", "LOG_,INT_,$n__value,%s__from archive"}));
  dir.write("data/table.dat", std::string(70000, 'x') + "\r\nend");
  dir.write("game/autoexec.eve",
            test::crlf({"ARC_,ADD_,%s__data.arc", "CONT,%s__scene\\main.eve"}));
  ASSERT_EQ(avgpack("create game/data.arc data"), 0);

  std::string command = std::string(AVGPLAYER_BINARY) + " --headless game >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_NE(dir.read("game/ErrorLog.txt").find("### LogCheck ### from archive = 42"),
            std::string::npos);

  ASSERT_EQ(avgpack("extract game/data.arc -C out"), 0);
  for (const char* name : {"scene/main.eve", "table.dat"}) {
    EXPECT_TRUE(dir.read(std::string("out/") + name) == dir.read(std::string("data/") + name))
        << name;
  }
  ASSERT_EQ(avgpack("extract game/data.arc -C one table.dat"), 0);
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "one/table.dat"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "one/scene"));
}

// Names leaving the directory are refused, and so are paths through a symbolic link inside
// it; the message names the member and the others are still written.
TEST(Avgpack, ExtractRefusesNamesThatLeaveTheDirectory) {
  test::TempGameDir dir;
  std::string block = packBlock("evil", PackRequest::Compress);
  dir.write("bad.arc", buildArchive({{"..\\evil.txt", block},
                                     {"\\abs.txt", block},
                                     {"link\\pwned.txt", block},
                                     {"sub\\ok.txt", block}}));
  std::filesystem::create_directories(dir.path() / "elsewhere");
  std::filesystem::create_directories(dir.path() / "out");
  std::filesystem::create_directory_symlink("../elsewhere", dir.path() / "out/link");
  EXPECT_EQ(avgpack("extract bad.arc -C out", "errors.txt"), 1);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "evil.txt"));
  EXPECT_FALSE(std::filesystem::exists("/abs.txt"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "elsewhere"));
  EXPECT_NE(dir.read("errors.txt").find("link/pwned.txt"), std::string::npos);
  EXPECT_EQ(dir.read("out/sub/ok.txt"), "evil");
}

TEST(Avgpack, BlocksAndScrambledTablesRoundTrip) {
  test::TempGameDir dir;
  dir.write("table.eve", test::crlf({"WAIT,%n__1", "NEXT"}));
  dir.write("in/a.txt", "stored text");
  ASSERT_EQ(avgpack("pack table.eve table.blk --mode 2"), 0);
  EXPECT_EQ(readLE32(dir.read("table.blk").data() + 4), 1u);  // too short to compress
  ASSERT_EQ(avgpack("unpack table.blk plain.eve"), 0);
  ASSERT_EQ(avgpack("scramble plain.eve scrambled.eve"), 0);
  EXPECT_EQ(dir.read("scrambled.eve").substr(0, 4), "\xBC\xB0\xBB\xBA");
  ASSERT_EQ(avgpack("unscramble scrambled.eve back.eve"), 0);
  EXPECT_EQ(dir.read("back.eve"), dir.read("table.eve"));
  // Archives of stored (uncompressed) members read the same.
  ASSERT_EQ(avgpack("create s.arc --mode 1 in"), 0);
  ASSERT_EQ(avgpack("extract s.arc -C out"), 0);
  EXPECT_EQ(dir.read("out/a.txt"), "stored text");
}

TEST(Avgpack, BadInputEndsWithAnErrorCode) {
  test::TempGameDir dir;
  dir.write("text.txt", "not packed");
  const std::pair<const char*, int> cases[] = {
      {"", 2},
      {"--help", 0},
      {"extract --help", 0},
      {"frobnicate", 2},
      {"list text.txt", 1},
      {"unpack text.txt out", 1},
      {"unscramble text.txt out", 1},
      {"create x.arc missing", 1},
      {"create x.arc --mode 2 text.txt", 2},
  };
  for (const auto& [args, code] : cases)
    EXPECT_EQ(avgpack(args), code) << args;
}

}  // namespace
}  // namespace avg
