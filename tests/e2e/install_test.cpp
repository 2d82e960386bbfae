// Installing: the installed tree and the player run from it, games that must not be written
// (a data directory, a read-only file system, the installed demo) and the Debian package.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/game_location.h"
#include "support/game_dir.h"
#include "support/player_run.h"

namespace avg {
namespace {

namespace fs = std::filesystem;
using test::crlf;
using test::quoted;
using test::shell;

// Every file below `dir` with its size and modification time, one a line.
std::string listing(const fs::path& dir) {
  std::vector<std::string> lines;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
    struct stat info {};
    ::lstat(entry.path().c_str(), &info);
    lines.push_back(fs::relative(entry.path(), dir).string() + " " + std::to_string(info.st_size) +
                    " " + std::to_string(info.st_mtim.tv_sec) + "." +
                    std::to_string(info.st_mtim.tv_nsec));
  }
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& line : lines)
    text += line + "\n";
  return text;
}

// Runs `player` headless on `game` with XDG_DATA_HOME set to `dataHome`; the exit code.
int playHeadless(const fs::path& player, const fs::path& dataHome, const std::string& options,
                 const fs::path& game) {
  return shell("XDG_DATA_HOME=" + quoted(dataHome) + " " + quoted(player) + " --headless " +
               options + " " + quoted(game) + " >/dev/null 2>&1");
}

// A game that logs a global flag, the text speed from config.ini and whether its save is
// there, then sets the flag, changes the speed and saves: a second run sees all three.
class WriteProtectedGame : public testing::Test {
 protected:
  WriteProtectedGame() {
    dir_.write(
        "game/autoexec.eve",
        crlf({"GLOB,FLAG,PATH,SET_,%s__save\\glob.flg", "GLOB,FLAG,LOAD",
              "GLOB,FLAG,GET_,$n__seen,%s__seen", "LOG_,INT_,$n__seen,%s__seen",
              "LOG_,INT_,$n__Talk-Wait,%s__wait",
              "SAVE,INFO,GET_,%s__save\\s.sav,$n__saved,$s__d,$s__s",
              "LOG_,INT_,$n__saved,%s__saved", "GLOB,FLAG,SET_,%s__seen,%n__1",
              "CALN,=___,$n__Talk-Wait,%n__0", "SAVE,SAVE,%s__save\\s.sav,%n__0,%n__0", "CLOS"}));
    dir_.write("game/config.ini", "[TEXT]\r\nWAIT=1\r\n");
  }

  // Runs the game in `gameDir` twice; the directory is never written.
  void runTwice(const fs::path& gameDir, const std::string& options) {
    const std::string before = listing(gameDir);
    for (int run = 0; run < 2; ++run)
      EXPECT_EQ(playHeadless(AVGPLAYER_BINARY, dataHome(), options, gameDir), 0);
    EXPECT_EQ(listing(gameDir), before);
  }

  // What the two runs logged and wrote in the write directory `written`.
  void expectBothRunsIn(const fs::path& written) {
    const std::string log = dir_.read(written / "ErrorLog.txt");
    EXPECT_EQ(test::logChecks(log),
              (std::vector<std::string>{"seen = 0", "wait = 1", "saved = 0", "seen = 1", "wait = 0",
                                        "saved = 1"}));
    EXPECT_NE(log.find("the game's files are written to " + written.string()), std::string::npos);
    EXPECT_NE(dir_.read(written / "config.ini").find("WAIT=0"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(written / "save/glob.flg"));
  }

  fs::path game() const { return dir_.path() / "game"; }
  fs::path dataHome() const { return dir_.path() / "xdg"; }

  test::TempGameDir dir_;
};

TEST_F(WriteProtectedGame, DataDirTakesEveryWrite) {
  runTwice(game(), "--data-dir " + quoted(dir_.path() / "data"));
  expectBothRunsIn(dir_.path() / "data");
  EXPECT_FALSE(fs::exists(dataHome()));
}

// Needs the right to mount (root outside a locked-down container).
TEST_F(WriteProtectedGame, ReadOnlyFileSystemRedirectsToXdgDataHome) {
  const fs::path mount = dir_.path() / "ro";
  fs::create_directories(mount);
  if (shell("mount -t tmpfs -o size=4m avgtest " + quoted(mount) + " 2>/dev/null") != 0) {
    GTEST_SKIP() << "cannot mount a file system here (needs root and mount rights)";
  }
  fs::copy(game(), mount / "game", fs::copy_options::recursive);
  fs::path readOnlyGame = mount / "game";
  if (shell("mount -o remount,ro " + quoted(mount)) != 0) {
    shell("umount " + quoted(mount));
    GTEST_SKIP() << "cannot make the file system read-only";
  }
  runTwice(readOnlyGame, "");
  shell("umount " + quoted(mount));
  expectBothRunsIn(redirectedWriteDirectory(readOnlyGame, dataHome()));
}

// `cmake --install` into a staging directory, and the installed player on the installed demo.
class Installed : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new test::TempGameDir;
    installed_ = shell("DESTDIR=" + quoted(root_->path()) + " cmake --install " +
                       quoted(AVG_BINARY_DIR) + " --prefix /usr >/dev/null 2>&1") == 0;
  }
  static void TearDownTestSuite() {
    delete root_;
    root_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(installed_); }
  static fs::path usr() { return root_->path() / "usr"; }

  static inline test::TempGameDir* root_ = nullptr;
  static inline bool installed_ = false;
};

TEST_F(Installed, PutsEveryFileInItsPlace) {
  for (const char* file :
       {"bin/avgplayer", "bin/avgpack", "bin/avgscript", "share/man/man6/avgplayer.6.gz",
        "share/man/man1/avgpack.1.gz", "share/man/man1/avgscript.1.gz",
        "share/applications/org.avgplayer.avgplayer.desktop",
        "share/metainfo/org.avgplayer.avgplayer.metainfo.xml",
        "share/icons/hicolor/scalable/apps/avgplayer.svg",
        "share/bash-completion/completions/avgplayer", "share/bash-completion/completions/avgpack",
        "share/bash-completion/completions/avgscript", "share/doc/avgplayer/copyright",
        "share/games/avgplayer/demo/autoexec.eve"}) {
    EXPECT_TRUE(fs::exists(usr() / file)) << file;
  }
  const std::string desktop =
      root_->read(usr() / "share/applications/org.avgplayer.avgplayer.desktop");
  EXPECT_NE(desktop.find("\nExec=avgplayer\n"), std::string::npos);
  EXPECT_NE(desktop.find("Exec=avgplayer /usr/share/games/avgplayer/demo\n"), std::string::npos);
  EXPECT_EQ(shell("bash -n " + quoted(usr() / "share/bash-completion/completions/avgplayer")), 0);
}

// The demo belongs to the package: it is played without being written, whoever runs it.
TEST_F(Installed, PlaysTheInstalledDemoReadOnly) {
  const fs::path demo = usr() / "share/games/avgplayer/demo";
  const std::string before = listing(demo);
  const fs::path dataHome = root_->path() / "home-data";
  EXPECT_EQ(playHeadless(usr() / "bin/avgplayer", dataHome, "--frames 300", demo), 0);
  EXPECT_EQ(listing(demo), before);
  const fs::path written = redirectedWriteDirectory(demo, dataHome);
  EXPECT_TRUE(fs::is_regular_file(written / "config.ini"));
  EXPECT_NE(root_->read(written / "ErrorLog.txt").find("### LogCheck ### scene = title"),
            std::string::npos);
}

// The package from the built tree: its file list, and no lintian errors.
TEST(DebianPackage, ListsTheInstalledFilesAndPassesLintian) {
  if (shell("command -v lintian >/dev/null && command -v cpack >/dev/null") != 0) {
    GTEST_SKIP() << "lintian is not installed (scripts/install-deps.sh installs it)";
  }
  test::TempGameDir dir;
  ASSERT_EQ(shell("cpack --config " + quoted(fs::path(AVG_BINARY_DIR) / "CPackConfig.cmake") +
                  " -B " + quoted(dir.path()) + " >cpack.log 2>&1"),
            0)
      << dir.read("cpack.log");
  std::vector<fs::path> debs;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir.path())) {
    if (entry.path().extension() == ".deb") debs.push_back(entry.path());
  }
  ASSERT_EQ(debs.size(), 1u);
  ASSERT_EQ(shell("dpkg-deb -c " + quoted(debs[0]) + " >contents.txt"), 0);
  const std::string contents = dir.read("contents.txt");
  for (const char* file :
       {"./usr/bin/avgplayer", "./usr/bin/avgpack", "./usr/bin/avgscript",
        "./usr/share/man/man6/avgplayer.6.gz", "./usr/share/man/man1/avgscript.1.gz",
        "./usr/share/applications/org.avgplayer.avgplayer.desktop",
        "./usr/share/games/avgplayer/demo/autoexec.eve", "./usr/share/doc/avgplayer/copyright"}) {
    EXPECT_NE(contents.find(std::string(file) + "\n"), std::string::npos) << file;
  }
  EXPECT_EQ(shell("lintian --fail-on error " + quoted(debs[0]) + " >lintian.txt 2>&1"), 0)
      << dir.read("lintian.txt");
}

}  // namespace
}  // namespace avg
