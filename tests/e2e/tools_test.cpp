// avgpack and avgscript through the real binaries: archives the player runs and extracts back,
// blocks and scrambled tables, bad input; tables to UTF-8 text and back byte for byte, the
// failures that name file and line, the lint of a game's scripts, and its text out to a PO
// template and translated back in.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/text_encoding.h"
#include "save/packed_block.h"
#include "script/archive.h"
#include "script/table_reader.h"
#include "support/game_dir.h"
#include "support/player_run.h"

namespace avg {
namespace {

struct ToolRun {
  int status;
  std::string out;
  std::string errors;
};

ToolRun run(const test::TempGameDir& dir, const std::string& binary, const std::string& args) {
  int status = test::shell(binary + " " + args + " >out.txt 2>errors.txt");
  return {status, dir.read("out.txt"), dir.read("errors.txt")};
}

ToolRun avgscript(const test::TempGameDir& dir, const std::string& args) {
  return run(dir, AVGSCRIPT_BINARY, args);
}

int avgpack(const test::TempGameDir& dir, const std::string& args) {
  return run(dir, AVGPACK_BINARY, args).status;
}

TEST(Avgpack, CreatedArchiveRunsInThePlayerAndExtractsIdentically) {
  test::TempGameDir dir;
  dir.write("data/scene/main.eve",
            test::crlf({"CALN,=___,$n__value,%n__42", "LOG_,INT_,$n__value,%s__from archive"}));
  dir.write("data/table.dat", std::string(70000, 'x') + "\r\nend");
  dir.write("game/autoexec.eve",
            test::crlf({"ARC_,ADD_,%s__data.arc", "CONT,%s__scene\\main.eve"}));
  ASSERT_EQ(avgpack(dir, "create game/data.arc data"), 0);
  ASSERT_EQ(test::shell(AVGPLAYER_BINARY " --headless game >/dev/null 2>&1"), 0);
  EXPECT_EQ(test::logChecks(dir.read("game/ErrorLog.txt")),
            std::vector<std::string>{"from archive = 42"});

  ASSERT_EQ(avgpack(dir, "extract game/data.arc -C out"), 0);
  for (const std::string name : {"scene/main.eve", "table.dat"})
    EXPECT_TRUE(dir.read("out/" + name) == dir.read("data/" + name)) << name;
  ASSERT_EQ(avgpack(dir, "extract game/data.arc -C one table.dat"), 0);
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
  ToolRun extracted = run(dir, AVGPACK_BINARY, "extract bad.arc -C out");
  EXPECT_EQ(extracted.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "evil.txt"));
  EXPECT_FALSE(std::filesystem::exists("/abs.txt"));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "elsewhere"));
  EXPECT_NE(extracted.errors.find("link/pwned.txt"), std::string::npos);
  EXPECT_EQ(dir.read("out/sub/ok.txt"), "evil");
}

// Blocks, scrambled tables and archives of stored members come back the same; show prints a
// block as UTF-8 text.
TEST(Avgpack, BlocksAndScrambledTablesRoundTrip) {
  test::TempGameDir dir;
  dir.write("table.eve", test::crlf({"WAIT,%n__1", "NEXT"}));
  dir.write("in/a.txt", "stored text");
  ASSERT_EQ(avgpack(dir, "pack table.eve table.blk --mode 2"), 0);
  EXPECT_EQ(readLE32(dir.read("table.blk").data() + 4), 1u);  // too short to compress
  ASSERT_EQ(avgpack(dir, "unpack table.blk plain.eve"), 0);
  ASSERT_EQ(avgpack(dir, "scramble plain.eve scrambled.eve"), 0);
  EXPECT_EQ(dir.read("scrambled.eve").substr(0, 4), "\xBC\xB0\xBB\xBA");
  ASSERT_EQ(avgpack(dir, "unscramble scrambled.eve back.eve"), 0);
  EXPECT_EQ(dir.read("back.eve"), dir.read("table.eve"));
  ASSERT_EQ(avgpack(dir, "create s.arc --mode 1 in"), 0);
  ASSERT_EQ(avgpack(dir, "extract s.arc -C out"), 0);
  EXPECT_EQ(dir.read("out/a.txt"), "stored text");

  dir.write("save.txt", "#SCENE\r\n\x83\x65\x83\x58\x83\x67\r\n");
  ASSERT_EQ(avgpack(dir, "pack save.txt save.sav --mode 2"), 0);
  ToolRun shown = run(dir, AVGPACK_BINARY, "show save.sav");
  EXPECT_EQ(shown.status, 0);
  EXPECT_EQ(shown.out, "#SCENE\nテスト\n");
}

TEST(Avgpack, BadInputEndsWithAnErrorCode) {
  test::TempGameDir dir;
  dir.write("text.txt", "not packed");
  // The arguments by the exit code they end with: 0, 1 and 2.
  const std::vector<std::string> byCode[] = {
      {"--help", "extract --help"},
      {"list text.txt", "unpack text.txt out", "unscramble text.txt out", "show text.txt",
       "create x.arc missing"},
      {"", "frobnicate", "create x.arc --mode 2 text.txt"}};
  for (int code = 0; code < 3; ++code) {
    for (const std::string& args : byCode[code])
      EXPECT_EQ(avgpack(dir, args), code) << args;
  }
}

// Writes a table from UTF-8 text with LF line ends as the game ships it: CP932, CR LF.
void writeTable(const test::TempGameDir& dir, const std::string& name, std::string text) {
  for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 2)
    text.insert(at, "\r");
  dir.write(name, utf8ToCp932(text));
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
    ASSERT_EQ(test::shell("iconv -f UTF-8 -t CP932 '" + source + "' | sed 's/$/\\r/' > " + name +
                          " && " AVGPACK_BINARY " scramble " + name + " s-" + name),
              0);
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
  ASSERT_EQ(avgpack(dir, "scramble plain.tbl scrambled.tbl"), 0);

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
  auto table = [&](const std::string& name, const std::string& text) {
    writeTable(dir, name, text);
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
  ASSERT_EQ(avgpack(dir, "create game/data.arc pack"), 0);

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
  result = avgscript(dir, "lint --help");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.rfind("usage: avgscript", 0), 0u);
}

// The bundled demo, built by its own script, has nothing to report.
TEST(AvgscriptLint, DemoGameIsClean) {
  test::TempGameDir dir;
  ASSERT_EQ(test::buildDemo("game"), 0);
  ToolRun result = avgscript(dir, "lint game");
  EXPECT_EQ(result.status, 0) << result.errors;
  EXPECT_EQ(result.out, "");
}

// The text of a game with two scripts (one scrambled, one only in an archive), an include
// stored under the UTF-8 form of its name, a text written twice, a variable shown by MESS
// ADD_ (one written into it through another) and one never shown.
class AvgscriptTranslation : public ::testing::Test {
 protected:
  void SetUp() override {
    writeTable(dir_, "game/autoexec.eve", R"(~共通.tbl
CALS,=___,$s__name,%s__旅人
CALS,+___,$s__line,%s__ようこそ、,$s__name
CALS,=___,$s__hidden,%s__見えない
MESS,ADD_,$s__line
NEXT
MESS,CLE_
ARC_,ADD_,%s__data.arc
CONT,%s__scene.eve)");
    writeTable(dir_, "game/共通.tbl", "; greeting\nMESS,ADD_,%s__こんにちは\nNEXT\nMESS,CLE_");
    writeTable(dir_, "game/other.eve", "MESS,ADD_,%s__ほか");
    writeTable(dir_, "scene.txt",
               "MESS,ADD_,%s__こんにちは;again\nMESS,ADD_,%s__\"終\"\\\t!\nNEXT\nMESS,CLE_\nCLOS");
    dir_.write("pack/scene.eve", scrambled(dir_.read("scene.txt")));
    ASSERT_EQ(avgpack(dir_, "create game/data.arc pack"), 0);
  }

  // The game's text as the player, run headless on `game`, hands it out.
  std::string shownText(const std::string& game) {
    EXPECT_EQ(test::shell(AVGPLAYER_BINARY " --headless --text-out lines.jsonl " + game +
                          " >/dev/null 2>&1"),
              0);
    return dir_.read("lines.jsonl");
  }

  test::TempGameDir dir_;
};

TEST_F(AvgscriptTranslation, StringsWritesATemplateInTheOrderOfFilesAndLines) {
  ToolRun result = avgscript(dir_, "strings game -o game.pot");
  ASSERT_EQ(result.status, 0) << result.errors;
  EXPECT_EQ(dir_.read("game.pot"),
            "msgid \"\"\n"
            "msgstr \"\"\n"
            "\"Project-Id-Version: PACKAGE VERSION\\n\"\n"
            "\"PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\\n\"\n"
            "\"Last-Translator: FULL NAME <EMAIL@ADDRESS>\\n\"\n"
            "\"Language-Team: LANGUAGE <LL@li.org>\\n\"\n"
            "\"Language: \\n\"\n"
            "\"MIME-Version: 1.0\\n\"\n"
            "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
            "\"Content-Transfer-Encoding: 8bit\\n\"\n"
            "\n#: autoexec.eve:2\nmsgid \"旅人\"\nmsgstr \"\"\n"
            "\n#: autoexec.eve:3\nmsgid \"ようこそ、\"\nmsgstr \"\"\n"
            "\n#: 共通.tbl:2\n#: scene.eve:1\nmsgid \"こんにちは\"\nmsgstr \"\"\n"
            "\n#: other.eve:1\nmsgid \"ほか\"\nmsgstr \"\"\n"
            "\n#: scene.eve:2\nmsgid \"\\\"終\\\"\\\\\\t!\"\nmsgstr \"\"\n");
}

// Translations (one over two lines, one fuzzy, one left empty) applied: only the scripts
// that change, with only the translated words replaced, and the player shows them.
TEST_F(AvgscriptTranslation, ApplyWritesTheChangedScriptsThePlayerShows) {
  dir_.write("game.po",
             "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
             "#: autoexec.eve:2\nmsgid \"旅人\"\nmsgstr \"traveller\"\n\n"
             "msgid \"ようこそ、\"\nmsgstr \"Welcome \"\n\n"
             "msgid \"\"\n\"こんにちは\"\nmsgstr \"\"\n\"Hel\"\n\"lo\"\n\n"
             "#, fuzzy\nmsgid \"\\\"終\\\"\\\\\\t!\"\nmsgstr \"guess\"\n\n"
             "msgid \"ほか\"\nmsgstr \"\"\n");
  ToolRun result = avgscript(dir_, "apply game.po game -o out");
  ASSERT_EQ(result.status, 0) << result.errors;
  EXPECT_EQ(dir_.read("out/共通.tbl"), "; greeting\r\nMESS,ADD_,%s__Hello\r\nNEXT\r\nMESS,CLE_");
  EXPECT_EQ(
      unscrambled(dir_.read("out/scene.eve")),
      "MESS,ADD_,%s__Hello;again\r\nMESS,ADD_,%s__\"\x8F\x49\"\\\t!\r\nNEXT\r\nMESS,CLE_\r\nCLOS");
  EXPECT_FALSE(std::filesystem::exists("out/other.eve"));
  const std::string shown =
      "{\"frame\":2,\"window\":0,\"text\":\"Hello\"}\n"
      "{\"frame\":3,\"window\":0,\"text\":\"Welcome traveller\"}\n"
      "{\"frame\":4,\"window\":0,\"text\":\"Hello\\\"終\\\"\\\\\\t!\"}\n";
  ASSERT_EQ(test::shell("cp -r game play && cp -r out/. play/"), 0);
  EXPECT_EQ(shownText("play"), shown);

  // The same as an archive in place of the game's own: autoexec.eve and 共通.tbl stay
  // plain files, scene.eve comes from the archive.
  std::filesystem::remove("lines.jsonl");
  ASSERT_EQ(avgscript(dir_, "apply game.po game --archive patch.arc").status, 0);
  ASSERT_EQ(test::shell("cp -r game patched && cp out/autoexec.eve out/共通.tbl patched/ && "
                        "cp patch.arc patched/data.arc"),
            0);
  EXPECT_EQ(shownText("patched"), shown);
}

// A translation the script cannot hold, or a PO file that cannot be read: nothing written.
TEST_F(AvgscriptTranslation, ApplyRefusesATranslationTheScriptCannotHold) {
  struct Case {
    const char* translation;
    const char* message;
  } cases[] = {
      {"\xE2\x82\xAC", "avgscript: entry \"旅人\": \"\xE2\x82\xAC\" has no CP932 form\n"},
      {"a, b",
       "avgscript: entry \"旅人\": a translation may not hold \",\", \";\" or a line "
       "break, which would end the word in the script\n"},
      {"a\\nb", "avgscript: entry \"旅人\": a translation may not hold"},
      {"a\\qb", "avgscript: bad.po:5: unknown escape in a quoted string\n"},
  };
  for (const Case& c : cases) {
    dir_.write("bad.po", "msgid \"ようこそ、\"\nmsgstr \"ok\"\n\nmsgid \"旅人\"\nmsgstr \"" +
                             std::string(c.translation) + "\"\n");
    ToolRun result = avgscript(dir_, "apply bad.po game -o out");
    EXPECT_EQ(result.status, 1) << c.translation;
    EXPECT_EQ(result.errors.substr(0, std::string(c.message).size()), c.message);
    EXPECT_FALSE(std::filesystem::exists("out"));
  }
  EXPECT_EQ(avgscript(dir_, "apply bad.po game").status, 2);
}

}  // namespace
}  // namespace avg
