// Save files: their exact bytes, what a load restores, SAVE and LOAD in scripts, the quick
// keys and requests, and every way a save or load can fail.
#include "app/save_game.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <filesystem>
#include <tuple>

#include "base/text_encoding.h"
#include "input/input_devices.h"
#include "media/music_player.h"
#include "save/packed_block.h"
#include "script/literals.h"
#include "script/save_text.h"
#include "stage/display_list.h"
#include "stage/menu_bar.h"
#include "stage/text_layer.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::crlf;
using test::mark;
using test::PlayerFixture;

const std::vector<std::string> kSpriteFile = {"#,walk,3", "2,a.png,0,0,10,10", "2,a.png",
                                              "2,a.png"};

std::string cp(const char* utf8) {
  return utf8ToCp932(utf8);
}

std::string unpackedFile(PlayerFixture& player, const std::string& name) {
  return unpackBlock(player.dir().read(name)).value_or("<invalid>");
}

// A player whose scripts ran out, with every variable removed: a blank engine to fill.
class SaveGameTest : public testing::Test {
 protected:
  SaveGameTest() {
    player_.dir().write("main.eve", crlf({"NEXT", "#top", "NEXT", "NEXT"}));
    player_.dir().write("chars.spr", crlf(kSpriteFile));
    player_.runScript({"CLOS"});
    VariableStore& v = vars();
    v.ints.removeAll();
    v.floats.removeAll();
    v.strings.removeAll();
  }
  ScriptEngine& engine() { return player_.engine(); }
  VariableStore& vars() { return engine().variables(); }
  TextLayer& text() { return engine().companion<TextLayer>(); }
  DisplayList& stage() { return engine().companion<DisplayList>(); }
  GlyphPtr glyph(const std::string& text, FontStyle font, float x, float y) {
    GlyphPtr g = this->text().renderer().create(text, font);
    g->moveTo(x, y);
    return g;
  }

  PlayerFixture player_;
};

TEST_F(SaveGameTest, TextFollowsTheLayoutByteForByte) {
  ASSERT_TRUE(engine().loadScript(3, 5, "main.eve"));
  ScriptThread& thread = const_cast<ScriptThread&>(engine().threads().at(5));
  thread.index = 2;
  thread.waitCounter = 4;
  thread.stack = {5, 9};  // 9 on top
  *vars().ints.bind("n") = -7;
  *vars().floats.bind("f") = 0.1f;
  *vars().floats.bind("tiny") = 0.0000001f;
  *vars().strings.bind("SCENE") = cp("第一話");
  *vars().strings.bind("s") = "a,b;c";
  IntArray& array = *vars().intArrays.bind("arr");
  array[{2}] = 4;
  array[{1}] = 3;
  array[{0}] = 0;
  engine().companion<MenuBar>().setEnabled(kMenuSkip, false);
  MessageWindow& window = text().windowAt(0);
  window.glyphs = {glyph("A,B", {20, 1, 0xFF0000FF}, 1.5f, 2)};
  window.commitPage();
  EditBox& box = text().editBoxAt(2);
  box.characters = {glyph("x", {36, 0, 0xFFFFFFFF}, 0, 0), glyph("y", {36, 0, 0xFFFFFFFF}, 18, 0)};
  box.cursor = 1;

  const std::string placement = "0.000000,0.000000,1.000000,1.000000,0.000000,0.000000,0.000000";
  const std::string glyphA =
      "A,B,20,1,-16776961,1.500000,2.000000,1.000000,1.000000,0.000000,"
      "0.000000,0.000000";
  std::string expected =
      crlf({"#DATE",
            cp("2024年03月07日09時05分"),
            "#SCENE",
            cp("第一話"),
            "#MENU",
            "1,1,1,0",
            "#PROCESS,1",
            "3,main.eve,5",
            "#THREAD,1",
            "5,3,2,4,9,5",
            "#VARIABLE_N,1",
            "n,-7",
            "#VARIABLE_F,2",
            "f,0.100000",
            "tiny,0.000000",
            "#VARIABLE_S,2",
            "SCENE," + cp("第一話"),
            "s,a,b;c",
            "#ARRAY_N,1",
            "arr,3",
            "0,0",
            "3,1",
            "4,2",
            "#ARRAY_F,0",
            "#ARRAY_S,0",
            "#MUSIC",
            ",,1",
            "#SOUND",
            ",0,0",
            "#SPRITE,0",
            "#OBJECT_2D,0",
            "#TEXT,1",
            "0",
            "-1,0,1," + placement,
            "18,0,-1,18,0,-1,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,1,1,0.000000",
            "18,0,-16192",
            "1",
            glyphA,
            "0",
            "#LOG,1",
            "0",
            "1",
            glyphA,
            "0",
            "#EDIT,1",
            "2",
            "-1,0,1," + placement,
            "36,0,-1,36,0,-1,0.000000,0.000000,0.000000,0.000000,1,1",
            "2",
            "x,36,0,-1,0.000000,0.000000," + placement.substr(18),
            "y,36,0,-1,18.000000,0.000000," + placement.substr(18),
            "1,0",
            "-"});
  std::tm date{};
  date.tm_min = 5;
  date.tm_hour = 9;
  date.tm_mday = 7;
  date.tm_mon = 2;
  date.tm_year = 124;
  EXPECT_EQ(writeSaveText(engine(), saveDate(date)), expected);

  // On disk: packed with mode 2, dated now.
  std::time_t now = std::time(nullptr);
  ASSERT_TRUE(saveGame(engine(), "a.sav"));
  std::string file = player_.dir().read("a.sav");
  EXPECT_EQ(readLE32(file.data() + 4), 2u);
  std::string content = unpackedFile(player_, "a.sav");
  std::tm local{};
  localtime_r(&now, &local);
  std::string today = saveDate(local);
  EXPECT_EQ(content.substr(0, 7 + today.size() - 6),
            "#DATE\r\n" + today.substr(0, today.size() - 6));
  EXPECT_EQ(content.substr(content.find("\r\n#SCENE")),
            expected.substr(expected.find("\r\n#SCENE")));
}

TEST_F(SaveGameTest, EmptyGameStillWritesEveryHeaderAndNoEmptyRows) {
  *vars().strings.bind("SCENE") = "";
  text().windowAt(0);
  std::string saved = writeSaveText(engine(), "D");
  EXPECT_EQ(
      saved.substr(0, saved.find("#MUSIC")),
      crlf({"#DATE", "D", "#SCENE", "#MENU", "1,1,1,1", "#PROCESS,0", "#THREAD,0", "#VARIABLE_N,0",
            "#VARIABLE_F,0", "#VARIABLE_S,1", "SCENE,", "#ARRAY_N,0", "#ARRAY_F,0", "#ARRAY_S,0"}));
  EXPECT_TRUE(saved.ends_with("#EDIT,0\r\n-\r\n"));
}

TEST_F(SaveGameTest, RoundTripRestoresEveryKindOfState) {
  ASSERT_TRUE(engine().loadScript(1, 0, "main.eve"));
  ASSERT_TRUE(engine().loadScript(4, 7, "main.eve"));
  engine().restoreThread(8, 4, 3)->stack = {1, 2, 3};
  engine().restoreThread(7, 4, 1)->waitCounter = 9;
  *vars().ints.bind("n") = 42;
  *vars().floats.bind("f") = 0.1f;
  *vars().strings.bind("s") = "free, text; ~with commas";
  *vars().strings.bind("SCENE") = "~scene";
  (*vars().intArrays.bind("ia"))[{-3}] = 7;
  (*vars().floatArrays.bind("fa"))[{2}] = 2.5f;
  StringArray& sa = *vars().stringArrays.bind("sa");
  sa[{1}] = "one,two";
  sa[{2}] = "";
  sa[{3}] = "three";
  // Sprites and a 2D object.
  SpriteSet& set = stage().sprites().named("chars");
  set.load("chars.spr", engine().archives());
  set.setAuto(1);
  DisplayObject2D* object = stage().objects().add("hero", set.findAnimation("walk"), 3, 4, 5, 2);
  object->setName = "chars";
  object->animationName = "walk";
  object->rotationZ = 0.5f;
  // Windows with glyphs, cursor, fonts and a log; an edit box with a composition.
  MessageWindow& window = text().selectWindow(3);
  window.cursorX = 12;
  window.layout.spacingY = 2;
  window.lineSpacing = 1.25f;
  window.currentFont = {24, 1, 0x80FFFFFF};
  window.placement.visible = 0;
  window.placement.x = 10;
  window.glyphs = {glyph("Hi,", {24, 1, 0xFF00FF00}, 1, 2), glyph("!", {24, 1, 0xFF00FF00}, 30, 2)};
  window.commitPage();
  window.glyphs = {glyph("new", {18, 0, 0xFFFFFFFF}, 0, 0)};
  window.commitPage();
  EditBox& box = text().selectEditBox(1);
  box.compositionFont = FontStyle{30, 1, 0xFF0000FF};
  box.type("a", text().renderer());
  box.type("b", text().renderer());
  box.moveCursor(-1);
  box.compositionLength = 1;
  engine().companion<MenuBar>().setEnabled(kMenuTitle, false);
  ASSERT_TRUE(saveGame(engine(), "all.sav"));

  // Scramble everything, then load.
  engine().unloadAll(std::nullopt);
  *vars().ints.bind("n") = 0;
  *vars().strings.bind("extra") = "gone after load";
  vars().stringArrays.removeAll();
  stage().objects().removeAll();
  stage().sprites().removeAll();
  text().removeAllWindows();
  text().removeAllEditBoxes();
  engine().companion<MenuBar>().setEnabled(kMenuTitle, true);
  ASSERT_EQ(loadGame(engine(), "all.sav", std::nullopt), LoadResult::Loaded);

  EXPECT_EQ(*vars().ints.find("n"), 42);
  EXPECT_EQ(*vars().floats.find("f"), 0.1f);
  EXPECT_EQ(*vars().strings.find("s"), "free, text; ~with commas");
  EXPECT_EQ(*vars().strings.find("SCENE"), "~scene");
  EXPECT_EQ(vars().strings.find("extra"), nullptr);
  EXPECT_EQ((*vars().intArrays.find("ia")), (IntArray{{{-3}, 7}}));
  EXPECT_EQ((*vars().floatArrays.find("fa")), (FloatArray{{{2}, 2.5f}}));
  EXPECT_EQ((*vars().stringArrays.find("sa")),
            (StringArray{{{1}, "one,two"}, {{2}, ""}, {{3}, "three"}}));
  ASSERT_EQ(engine().scripts().size(), 2u);
  EXPECT_EQ(engine().scripts().at(4)->name, "main.eve");
  ASSERT_EQ(engine().threads().size(), 3u);
  const ScriptThread& t8 = engine().threads().at(8);
  EXPECT_EQ(std::tie(t8.file, t8.index, t8.stack),
            std::tuple(engine().scripts().at(4).get(), 3, std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(engine().threads().at(7).waitCounter, 9u);
  EXPECT_EQ(engine().threads().at(0).file->slot, 1);
  SpriteSet& loadedSet = stage().sprites().named("chars");
  EXPECT_EQ(loadedSet.fileName(), "chars.spr");
  EXPECT_EQ(loadedSet.autoRelease, 1);
  DisplayObject2D* hero = stage().objects().find("hero");
  ASSERT_NE(hero, nullptr);
  EXPECT_EQ(std::tie(hero->step, hero->priority, hero->x, hero->rotationZ, hero->animationName),
            std::tuple(2, 5, 3.0f, 0.5f, "walk"));
  EXPECT_EQ(text().currentWindowNumber(), 3);
  const MessageWindow& w = text().windows().at(3);
  EXPECT_EQ(std::tie(w.cursorX, w.layout.spacingY, w.lineSpacing, w.currentFont,
                     w.placement.visible, w.placement.x),
            std::tuple(12.0f, 2.0f, 1.25f, FontStyle{24, 1, 0x80FFFFFF}, 0, 10.0f));
  ASSERT_EQ(w.glyphs.size(), 1u);
  EXPECT_EQ(w.glyphs[0]->text, "new");
  ASSERT_EQ(w.logPages.size(), 1u);  // the newest page only
  ASSERT_EQ(w.logPages[0].size(), 1u);
  ASSERT_EQ(text().currentEditBoxNumber(), 1);
  const EditBox& b = text().editBoxes().at(1);
  EXPECT_EQ(std::tuple(b.text(), b.cursor, b.compositionLength, b.compositionFont),
            std::tuple("ab", 1u, 1, FontStyle{30, 1, 0xFF0000FF}));
  EXPECT_FALSE(engine().companion<MenuBar>().enabled(kMenuTitle));
  ASSERT_TRUE(saveGame(engine(), "again.sav"));
  std::string first = unpackedFile(player_, "all.sav");
  std::string second = unpackedFile(player_, "again.sav");
  // Saving again writes the same text, but for the date and the settings a load sets.
  EXPECT_EQ(
      first.substr(first.find("#SCENE"), first.find("#VARIABLE_N") - first.find("#SCENE")),
      second.substr(second.find("#SCENE"), second.find("#VARIABLE_N") - second.find("#SCENE")));
  EXPECT_EQ(first.substr(first.find("#VARIABLE_F")), second.substr(second.find("#VARIABLE_F")));
}

TEST_F(SaveGameTest, GlyphTextWithCommasAndArraysWithSeveralIndicesComeBackWhole) {
  StringArray& sa = *vars().stringArrays.bind("grid");
  sa[{1, 2}] = "a,b";
  sa[{3, 4}] = "c";
  text().windowAt(0).glyphs = {glyph(",,", {18, 0, 0xFFFFFFFF}, 5, 6)};
  ASSERT_TRUE(saveGame(engine(), "g.sav"));
  vars().stringArrays.removeAll();
  ASSERT_EQ(loadGame(engine(), "g.sav", std::nullopt), LoadResult::Loaded);
  EXPECT_EQ((*vars().stringArrays.find("grid")), (StringArray{{{1, 2}, "a,b"}, {{3, 4}, "c"}}));
  ASSERT_EQ(text().windows().at(0).glyphs.size(), 1u);
  EXPECT_EQ(text().windows().at(0).glyphs[0]->text, ",,");
  EXPECT_EQ(text().windows().at(0).glyphs[0]->x, 5);
}

TEST_F(SaveGameTest, LineBreaksAreLoggedNotSilentlyLost) {
  *vars().strings.bind("two lines") = "a\r\nb";
  *vars().stringArrays.bind("lines") = {{{1}, "c\nd"}};
  std::string saved = writeSaveText(engine(), "D");
  EXPECT_NE(saved.find("two lines,a\r\nb\r\n"), std::string::npos);  // the bytes as they are
  std::string log = player_.errorLog();
  EXPECT_NE(log.find("save: the line break in two lines is lost"), std::string::npos) << log;
  EXPECT_NE(log.find("save: the line break in lines is lost"), std::string::npos) << log;
}

TEST_F(SaveGameTest, LoadKeepsThePlayersSettingsAndSectionsItLacks) {
  *vars().strings.bind("kept") = "yes";
  player_.dir().write(
      "partial.sav",
      packBlock(crlf({"#VARIABLE_N,4", "Talk-Wait,0", "Flag-Skip,1", "Volume-Music,3", "plain,8"}),
                PackRequest::Compress));
  for (const char* name : {"Talk-Wait", "Flag-CtrlSkip", "Flag-Char02CV", "Flag-FPS"})
    *vars().ints.bind(name) = 1;
  ASSERT_EQ(loadGame(engine(), "partial.sav", std::nullopt), LoadResult::Loaded);
  EXPECT_EQ(*vars().strings.find("kept"), "yes");
  EXPECT_EQ(*vars().ints.find("plain"), 8);
  for (const char* name : {"Talk-Wait", "Flag-CtrlSkip", "Flag-Char02CV", "Flag-FPS"})
    EXPECT_EQ(*vars().ints.find(name), 1) << name;
  EXPECT_EQ(*vars().ints.find("Flag-Skip"), 0);
  int32_t attenuation = engine().companion<MusicPlayer>().attenuation();
  EXPECT_EQ(*vars().ints.find("Volume-Music"), attenuation / 100 + 100);
  EXPECT_EQ(player_.boxes(), "[messagebox] 確認 | ロードしました -> ok\n");
}

TEST_F(SaveGameTest, CountsAreBoundedByTheSection) {
  player_.dir().write("lying.sav", packBlock(crlf({"#VARIABLE_N,1000000", "a,1", "#ARRAY_S,5",
                                                   "arr,99999", "x,1", "#TEXT,70000", "0", "9"}),
                                             PackRequest::Compress));
  ASSERT_EQ(loadGame(engine(), "lying.sav", std::nullopt), LoadResult::Loaded);
  EXPECT_EQ(vars().ints.entries().size(), 5u);  // a, then Flag-Skip and the volumes
  EXPECT_EQ((*vars().stringArrays.find("arr")), (StringArray{{{1}, "x"}}));
  EXPECT_EQ(text().windows().size(), 1u);
}

// SAVE and LOAD run by scripts.
// The "#THREAD" row of a save: id, slot, index, wait counter and stack.
std::string savedThreadRow(PlayerFixture& player, const std::string& file) {
  std::string content = unpackedFile(player, file);
  size_t row = content.find("#THREAD,1\r\n") + 11;
  return content.substr(row, content.find("\r\n", row) - row);
}

TEST(SaveCommands, SavedThreadResumesAfterSaveOrAtTheLongFormsTarget) {
  struct Case {
    std::string save;
    std::string row;
  };
  for (const Case& c : {Case{"SAVE,SAVE,%s__a.sav,%n__0,%n__0", "0,0,2,0"},
                        Case{"SAVE,SAVE,GOTO,there,%s__a.sav,%n__0,%n__0", "0,0,5,0"},
                        Case{"SAVE,SAVE,JUMP,%n__3,%s__a.sav,%n__0,%n__0", "0,0,4,0"},
                        Case{"SAVE,SAVE,GOTO,nowhere,%s__a.sav,%n__0,%n__0", "0,0,1,0"},
                        Case{"SAVE,SAVE,XXXX,there,%s__a.sav,%n__0,%n__0", "0,0,1,0"}}) {
    PlayerFixture player;
    player.runScript({"NEXT", c.save, mark("L"), "CLOS", "#there", mark("T"), "CLOS"});
    EXPECT_EQ(savedThreadRow(player, "a.sav"), c.row) << c.save;
    EXPECT_EQ(player.stringVar("trace"), "L") << c.save;  // the saving run goes on
    EXPECT_EQ(player.boxes(), "[messagebox] 確認 | セーブしました -> ok\n");
  }
}

TEST(SaveCommands, LoadResumesTheSavedThreadInTheNextFrame) {
  PlayerFixture player;
  player.runScript({"STAC,PUSH,%n__4", "SAVE,SAVE,GOTO,there,%s__a.sav,%n__0,%n__0",
                    "STAC,PUSH,%n__5", "CALN,=___,$n__late,%n__1", "LOAD,%s__a.sav,%n__0,%n__0",
                    mark("never"), "#there", mark("T"), "STAC,POP_,$n__top", "CLOS"});
  EXPECT_EQ(player.stringVar("trace"), "T");
  EXPECT_EQ(player.intVar("top"), 4);
  EXPECT_EQ(player.intVar("late"), 0);  // bound afresh by the script compiled again
  EXPECT_EQ(player.app().passes(), 2u);
  EXPECT_EQ(player.boxes(),
            "[messagebox] 確認 | セーブしました -> ok\n"
            "[messagebox] 確認 | ロードしました -> ok\n");
}

TEST(SaveCommands, QuickOnlyAndConfirmation) {
  struct Case {
    std::string input;
    std::string save;
    std::string boxes;
    bool saved;
    bool quick = false;  // GLOB QSL_ first
  };
  const std::string ask = "[messagebox] 確認 | セーブしてもよろしいですか？ -> ";
  const std::string done = "[messagebox] 確認 | セーブしました -> ok\n";
  for (const Case& c :
       {Case{"", "SAVE,SAVE,%s__a.sav,%n__0,%n__1", "", false},
        Case{"", "SAVE,SAVE,%s__a.sav,%n__0,%n__1", done, true, true},
        Case{"", "SAVE,SAVE,%s__a.sav,%n__1,%n__0", ask + "no\n", false},
        Case{"1 answer yes", "SAVE,SAVE,%s__a.sav,%n__1,%n__0", ask + "yes\n" + done, true},
        Case{"", "SAVE,SAVE,%s__nodir/a.sav,%n__0,%n__0",
             "[messagebox] 警告 | セーブに失敗しました -> ok\n", false}}) {
    SCOPED_TRACE(c.save + (c.quick ? " quick" : ""));
    PlayerFixture player(parseInputScript(c.input));
    std::vector<std::string> lines = {c.save, mark("next")};
    if (c.quick) lines.insert(lines.begin(), "GLOB,QSL_,SET_,%n__1");
    player.runScript(lines);
    EXPECT_EQ(player.boxes(), c.boxes);
    EXPECT_EQ(std::filesystem::exists(player.dir().path() / "a.sav"), c.saved);
    EXPECT_EQ(player.stringVar("trace"), "next");
  }
}

TEST(SaveCommands, LoadFailuresLetKeepRunningDecide) {
  struct Case {
    std::string file;  // written as bad.sav unless empty
    std::string boxes;
  };
  const std::string failed = "[messagebox] 警告 | ロードに失敗しました -> ok\n";
  for (const Case& c :
       {Case{"", ""}, Case{std::string("\x0c\0\0\0\x07\0\0\0\0\0\0\0", 12), ""},
        Case{packBlock("", PackRequest::StoreInverted), failed},
        Case{packBlock("hello,world\r\n#FOREIGN\r\n", PackRequest::Compress), failed}}) {
    for (int keep : {0, 1}) {
      PlayerFixture player;
      if (!c.file.empty()) player.dir().write("bad.sav", c.file);
      player.runScript({"THRE,ADD_,%n__2,%s__other", mark("a"),
                        "LOAD,%s__bad.sav,%n__0,%n__" + std::to_string(keep), mark("b"), "CLOS",
                        "#other", "NEXT", mark("o"), "CLOS"});
      EXPECT_EQ(player.boxes(), c.boxes) << keep;
      // Nothing was touched: the other thread still runs.
      EXPECT_EQ(player.stringVar("trace"), keep ? "abo" : "ao") << keep;
    }
  }
}

TEST(SaveCommands, LoadDeclinedGoesOnInTheNextFrame) {
  PlayerFixture player;
  player.runScript({"LOAD,%s__none.sav,%n__1,%n__0", mark("b"), "CLOS"});
  EXPECT_EQ(player.boxes(), "[messagebox] 確認 | ロードしてもよろしいですか？ -> no\n");
  EXPECT_EQ(player.stringVar("trace"), "b");
  EXPECT_EQ(player.app().passes(), 2u);
}

TEST(SaveCommands, LoadingThreadWithoutASavedThreadEnds) {
  PlayerFixture player;
  player.dir().write("t.eve", crlf({"NEXT", mark("t"), "CLOS"}));
  player.dir().write("a.sav", packBlock(crlf({"#PROCESS,1", "1,t.eve,3", "#THREAD,1", "3,1,0,0"}),
                                        PackRequest::Compress));
  player.runScript({"LOAD,%s__a.sav,%n__0,%n__0", mark("never"), "CLOS"});
  EXPECT_EQ(player.stringVar("trace"), "t");
  EXPECT_EQ(player.app().passes(), 2u);
}

TEST(SaveCommands, InfoGetReadsDateAndSceneWithoutTouchingTheGame) {
  struct Case {
    std::string content;
    int32_t ok;
    std::string date;
    std::string scene;
  };
  for (const Case& c :
       {Case{crlf({"#DATE", "D1", "#SCENE", "~a;b,c", "#MENU", "1,1,1,1"}), 1, "D1", "~a;b,c"},
        Case{crlf({"#DATE", "D2", "#SCENE", "#MENU", "1,1,1,1"}), 1, "D2", ""},
        Case{crlf({"#DATE", "D3"}), 1, "D3", "-"}, Case{"", 0, "old", "old"}}) {
    PlayerFixture player;
    player.dir().write("h.sav", packBlock(c.content, PackRequest::Compress));
    player.runScript({"CALS,=___,$s__d,%s__old", "CALS,=___,$s__s,%s__old",
                      "SAVE,INFO,GET_,%s__h.sav,$n__ok,$s__d,$s__s", "CLOS"});
    EXPECT_EQ(player.intVar("ok"), c.ok) << c.content;
    EXPECT_EQ(player.stringVar("d"), c.date) << c.content;
    EXPECT_EQ(player.stringVar("s"), c.scene) << c.content;
  }
}

// A write that fails half way (here: beyond the file size limit, which binds root too).
TEST(SaveCommands, FailedSaveKeepsTheOldFileByteForByte) {
  PlayerFixture player;
  const std::string old = packBlock("#DATE\r\nold\r\n", PackRequest::Compress);
  player.dir().write("Save/a.sav", old);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 64;
  auto previous = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  player.runScript({"SAVE,SAVE,%s__Save/a.sav,%n__0,%n__0", "CLOS"});
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  EXPECT_EQ(player.boxes(), "[messagebox] 警告 | セーブに失敗しました -> ok\n");
  EXPECT_EQ(player.dir().read("Save/a.sav"), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(player.dir().path() / "Save"), {}),
            1);
}

std::vector<ScriptedEvent> withRequest(std::string input, uint64_t frame, uint32_t code,
                                       const std::string& file) {
  std::vector<ScriptedEvent> events = parseInputScript(input);
  PlatformEvent request{.type = PlatformEvent::Type::Request, .code = code, .path = file};
  events.push_back({.frame = frame, .event = request, .answer = std::nullopt});
  return events;
}

TEST(SaveCommands, QuickKeysNeedQslAndSaveAndLoadTheQuickFile) {
  PlayerFixture off(withRequest("2 key F5 down\n3 key F6 down\n", 4, 10001, "b.sav"));
  off.dir().write("Save/.keep", "");
  off.runScript({"NEXT", "NEXT", "NEXT", "NEXT", "NEXT", "CLOS"});
  EXPECT_FALSE(std::filesystem::exists(off.dir().path() / "Save/qsave.sav"));
  EXPECT_TRUE(std::filesystem::exists(off.dir().path() / "b.sav"));  // requests need no QSL_

  PlayerFixture quick(parseInputScript("2 key F5 down\n5 key F6 down\n"));
  quick.dir().write("Save/.keep", "");
  quick.runScript({"GLOB,QSL_,SET_,%n__1", "NEXT", mark("a"), "NEXT", "NEXT", "NEXT", "NEXT",
                   mark("b"), "CLOS"});
  // F5 saved before pass 2 ran; F6 before pass 5 went back there, so passes 2 to 4 ran
  // again, without the mark they made.
  EXPECT_EQ(quick.boxes(),
            "[messagebox] 確認 | セーブしました -> ok\n"
            "[messagebox] 確認 | ロードしました -> ok\n");
  EXPECT_EQ(quick.stringVar("trace"), "ab");
  EXPECT_EQ(quick.app().passes(), 9u);
}

TEST(SaveCommands, RequestsLoadAndIgnoreOtherCodes) {
  for (uint32_t code : {10002u, 10003u}) {
    PlayerFixture player(withRequest("", 3, code, "r.sav"));
    player.dir().write("r.eve", crlf({mark("r"), "CLOS"}));
    player.dir().write("r.sav", packBlock(crlf({"#PROCESS,1", "0,r.eve", "#THREAD,1", "0,0,0,0"}),
                                          PackRequest::Compress));
    player.runScript({mark("a"), "NEXT", "NEXT", "NEXT", "NEXT", mark("z"), "CLOS"});
    EXPECT_EQ(player.stringVar("trace"), code == 10002 ? "ar" : "az") << code;
  }
}

}  // namespace
}  // namespace avg
