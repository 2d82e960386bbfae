// avgscript and avgpack show through the real binaries: tables to UTF-8 text and back byte
// for byte, the failures that name file and line, and the lint of a game's scripts.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "base/text_encoding.h"
#include "support/game_dir.h"

namespace avg {
namespace {

struct ToolRun {
  int status;
  std::string out;
  std::string errors;
};

ToolRun run(const test::TempGameDir& dir, const std::string& binary, const std::string& args) {
  std::string command = binary + " " + args + " >out.txt 2>errors.txt";
  int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.read("out.txt"),
          dir.read("errors.txt")};
}

ToolRun avgscript(const test::TempGameDir& dir, const std::string& args) {
  return run(dir, AVGSCRIPT_BINARY, args);
}

// Every demo source (UTF-8, LF) stored as the game ships it, plainly and scrambled:
// decompiling gives the source back exactly and compiling the source gives the bytes back.
TEST(Avgscript, DemoTablesRoundTripByteForByte) {
  test::TempGameDir dir;
  for (const auto& entry : std::filesystem::directory_iterator(AVG_SOURCE_DIR "/demo/src")) {
    std::string ext = entry.path().extension().string();
    if (ext != ".eve" && ext != ".spr" && ext != ".tbl" && ext != ".ini") continue;
    std::string name = entry.path().filename().string();
    std::string source = entry.path().string();
    ASSERT_EQ(std::system(("iconv -f UTF-8 -t CP932 '" + source + "' | sed 's/$/\\r/' > " + name +
                           " && " AVGPACK_BINARY " scramble " + name + " s-" + name)
                              .c_str()),
              0);
    std::string text = dir.read(name);
    for (const std::string& stored : {name, "s-" + name}) {
      ToolRun decompiled = avgscript(dir, "decompile " + stored + " -o text.txt");
      ASSERT_EQ(decompiled.status, 0) << stored << decompiled.errors;
      if (stored == name) {
        EXPECT_EQ(dir.read("text.txt"), dir.read(source)) << stored;
      }
      ASSERT_EQ(avgscript(dir, "compile text.txt -o back").status, 0) << stored;
      EXPECT_TRUE(dir.read("back") == dir.read(stored)) << stored;
    }
  }
}

// A scrambled table with comments, an include, Shift-JIS text and no line end at the end
// comes back the same; --scramble scrambles text from a plain table.
TEST(Avgscript, ScrambleStateAndLastLineAreKept) {
  test::TempGameDir dir;
  std::string table = "; comment\r\n~other.tbl\r\nMESS,ADD_,%s__\x82\xA0\x82\xA2,\x81\x40\r\nEND_";
  dir.write("plain.tbl", table);
  ASSERT_EQ(std::system(AVGPACK_BINARY " scramble plain.tbl scrambled.tbl"), 0);

  ToolRun text = avgscript(dir, "decompile scrambled.tbl");
  EXPECT_EQ(text.out, ";avgscript: scrambled\n; comment\n~other.tbl\nMESS,ADD_,%s__あい,　\nEND_");
  dir.write("edited.txt", text.out);
  ASSERT_EQ(avgscript(dir, "compile edited.txt -o again.tbl").status, 0);
  EXPECT_TRUE(dir.read("again.tbl") == dir.read("scrambled.tbl"));

  ASSERT_EQ(avgscript(dir, "decompile plain.tbl -o plain.txt").status, 0);
  ASSERT_EQ(avgscript(dir, "compile plain.txt --scramble -o forced.tbl").status, 0);
  EXPECT_TRUE(dir.read("forced.tbl") == dir.read("scrambled.tbl"));
}

TEST(Avgscript, FailuresNameFileAndLine) {
  struct Case {
    const char* name;
    const char* command;
    std::string input;
    int status;
    const char* message;
  } cases[] = {
      {"second code of a character", "decompile", "x\r\n\x87\x90\r\n", 1,
       "avgscript: in:2: bytes that would not compile back the same: 87 90\n"},
      {"not CP932", "decompile", "a\r\nb\r\n\x82", 1,
       "avgscript: in:3: bytes that would not compile back the same: 82\n"},
      {"bare line feed", "decompile", "a\r\nb\nc\r\n", 1,
       "avgscript: in:2: a CR or LF outside a CR LF pair, which compiling would not give "
       "back\n"},
      {"plain table that reads as scrambled", "decompile", ";avgscript: scrambled\r\n", 1,
       "avgscript: in:1: the first line reads as the scrambled marker\n"},
      {"no CP932 form", "compile", "ok\n\xE2\x82\xAC and \xF0\x9F\x98\x80\n", 1,
       "avgscript: in:2: \"\xE2\x82\xAC\" has no CP932 form\n"},
      {"unknown option", "compile --tabs", "", 2, "avgscript: compile: unexpected argument"},
  };
  test::TempGameDir dir;
  for (const Case& c : cases) {
    dir.write("in", c.input);
    ToolRun result = avgscript(dir, std::string(c.command) + " in");
    EXPECT_EQ(result.status, c.status) << c.name;
    EXPECT_EQ(result.errors.substr(0, std::string(c.message).size()), c.message) << c.name;
  }
}

// A game with one fault of each kind, in scripts, includes, an archive and the lists they
// load: the exact lines, in the order of files and lines, then missing files, then variables.
TEST(AvgscriptLint, ReportsEachFaultAtItsFileAndLine) {
  test::TempGameDir dir;
  // Writes a table from UTF-8 text with LF line ends, as the game ships it.
  auto table = [&](const std::string& name, std::string text) {
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
      text.insert(at, "\r");
    dir.write(name, utf8ToCp932(text));
  };
  table("game/autoexec.eve", R"(ARC_,ADD_,%s__data.arc
~common.tbl
~nothere.tbl
#start
XYZW,%n__1
MUSI,LIST,PLAY
CALN,+___,$n__a,%n__1
CALF,=___,$n__b,%f__1.5
GOTO,finish
#start
PROC,ADD_,%n__1,%n__0,%s__場面.eve
PROC,ADD_,%n__2,%n__0,%s__packed.eve
CONT,%s__gone.eve
SPR_,LOAD,%s__set,%s__chars.spr
SND_,LOAD,%s__sounds.tbl
LOG_,INT_,$n__unset,%s__unset
LOG_,INT_,$n__Flag-Skip,%s__set by the player
MUSI,LIST,LOAD,%s__music.tbl)");
  table("game/common.tbl", "; shared\nCALL,start\nWAIT,%n__1");
  table("game/場面.eve", "MESS,ADD_,%s__テキスト\nTHRE,ADD_,%n__1,%s__ラベル");
  table("pack/packed.eve", "GOTO,top\n#top\nCLOS");
  table("game/chars.spr", "#,walk,1,0\n8,walk.png,0,0,10,10");
  table("game/sounds.tbl", "click,click.wav");
  ASSERT_EQ(std::system(AVGPACK_BINARY " create game/data.arc pack >/dev/null"), 0);

  ToolRun result = avgscript(dir, "lint game");
  EXPECT_EQ(result.status, 1) << result.errors;
  EXPECT_EQ(result.out,
            "game/autoexec.eve:3: error: include nothere.tbl not found\n"
            "game/autoexec.eve:5: error: unknown command XYZW\n"
            "game/autoexec.eve:6: error: MUSI LIST: unknown sub-command PLAY\n"
            "game/autoexec.eve:7: error: \"CALN +___ dst:int& a:int b:int\" takes 5 words, not 4\n"
            "game/autoexec.eve:8: error: CALF =___: dst should be a float variable, not $n__b\n"
            "game/autoexec.eve:9: error: label finish does not exist\n"
            "game/autoexec.eve:10: error: duplicate label start (first at line 4 of "
            "autoexec.eve)\n"
            "game/common.tbl:3: error: \"WAIT\" takes 1 word, not 2\n"
            "game/場面.eve:2: error: label ラベル does not exist\n"
            "game/autoexec.eve:13: error: script gone.eve not found\n"
            "game/chars.spr:2: error: picture walk.png not found\n"
            "game/sounds.tbl:1: error: sound click.wav not found\n"
            "game/autoexec.eve:18: error: music list music.tbl not found\n"
            "game/autoexec.eve:16: warning: $n__unset is read but never written\n");

  // Files given by name are read relative to the current directory, on their own.
  result = avgscript(dir, "lint game/common.tbl");
  EXPECT_EQ(result.out,
            "game/common.tbl:2: error: label start does not exist\n"
            "game/common.tbl:3: error: \"WAIT\" takes 1 word, not 2\n");
  EXPECT_EQ(avgscript(dir, "lint").status, 2);
}

// The bundled demo, built by its own script, has nothing to report.
TEST(AvgscriptLint, DemoGameIsClean) {
  test::TempGameDir dir;
  ASSERT_EQ(std::system("bash '" AVG_SOURCE_DIR "/demo/make_game.sh' game >/dev/null 2>&1"), 0);
  ToolRun result = avgscript(dir, "lint game");
  EXPECT_EQ(result.status, 0) << result.errors;
  EXPECT_EQ(result.out, "");
}

TEST(AvgpackShow, PrintsAPackedBlockAsUtf8Text) {
  test::TempGameDir dir;
  dir.write("save.txt", "#SCENE\r\n\x83\x65\x83\x58\x83\x67\r\n");
  ASSERT_EQ(std::system(AVGPACK_BINARY " pack save.txt save.sav --mode 2"), 0);
  ToolRun shown = run(dir, AVGPACK_BINARY, "show save.sav");
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out, "#SCENE\nテスト\n");
  EXPECT_EQ(run(dir, AVGPACK_BINARY, "show save.txt").status, 1);
}

}  // namespace
}  // namespace avg
