// MESS and EDIT run by scripts on the headless player.
#include <gtest/gtest.h>

#include "platform/headless/headless_platform.h"
#include "stage/text_layer.h"
#include "support/game_dir.h"

namespace avg {
namespace {

// "あい" in CP932.
const std::string kKana = "\x82\xa0\x82\xa2";

class TextCommandTest : public ::testing::Test {
 protected:
  void run(std::vector<std::string> lines) {
    lines.push_back("QUIT");
    player_.runScript(lines);
  }
  TextLayer& text() { return player_.engine().companion<TextLayer>(); }
  const MessageWindow& window(int32_t number) { return text().windows().at(number); }
  const GlyphItem& glyph(size_t index) { return *text().currentWindow().glyphs.at(index); }

  test::PlayerFixture player_;
};

TEST_F(TextCommandTest, DefaultAlignmentCentresEachPieceOnTheCursor) {
  run({"MESS,CALC,$f__w,$f__h,%s__Wide", "MESS,POS_,%f__100,%f__0", "MESS,ADD_,%s__Wide",
       "MESS,ADD_,%s__i"});
  const float w = player_.floatVar("w");
  const float h = player_.floatVar("h");
  EXPECT_GT(w, 0.0f);
  EXPECT_EQ(h, 18.0f);
  EXPECT_EQ(glyph(0).x, 100.0f - w * 0.5f);
  EXPECT_EQ(glyph(0).y, -h * 0.5f);
  EXPECT_EQ(glyph(0).width, static_cast<int32_t>(w));
  // The next piece is centred on the moved cursor, not placed edge to edge.
  EXPECT_EQ(glyph(1).x, 100.0f + w - glyph(1).width * 0.5f);
  EXPECT_EQ(text().currentWindow().cursorX, 100.0f + w + glyph(1).width);
}

TEST_F(TextCommandTest, AlignmentModesSpacingAndNewLines) {
  run({"MESS,CALC,$f__w,$f__h,%s__Wide", "MESS,WRIT,MODE,%n__0,%n__0", "MESS,SHIF,%f__3,%f__20",
       "MESS,WRIT,LSP_,%f__4", "MESS,WRIT,POS_,%f__-50,%f__7", "MESS,POS_,%f__100,%f__10",
       "MESS,ADD_,%s__Wide", "MESS,WRIT,MODE,%n__2,%n__2", "MESS,ADD_,%s__Wide", "MESS,CRLF",
       "MESS,MOVE,%f__1,%f__2"});
  const float w = player_.floatVar("w");
  EXPECT_EQ(glyph(0).x, 100.0f);
  EXPECT_EQ(glyph(0).y, 10.0f);
  EXPECT_EQ(glyph(1).x, 100.0f + w + 3.0f - w);
  EXPECT_EQ(glyph(1).y, 10.0f - 18.0f);
  // CRLF: x back to the origin, y by spacing y and line spacing only.
  EXPECT_EQ(text().currentWindow().cursorX, -49.0f);
  EXPECT_EQ(text().currentWindow().cursorY, 10.0f + 20.0f + 4.0f + 2.0f);
}

TEST_F(TextCommandTest, EmptyTextMovesTheCursorBySpacingOnly) {
  run({"MESS,SHIF,%f__5,%f__0", "MESS,ADD_,%s__", "MESS,FONT,%n__-3,%n__0,%x__FFFFFFFF",
       "MESS,ADD_,%s__x"});
  EXPECT_EQ(glyph(0).image, nullptr);
  EXPECT_EQ(glyph(1).image, nullptr);  // sizes of 0 or less draw nothing
  EXPECT_EQ(text().currentWindow().cursorX, 10.0f);
}

TEST_F(TextCommandTest, SplitCountsSingleAndDoubleByteCharacters) {
  struct Case {
    std::string text;
    std::vector<std::string> parts;
  };
  const std::vector<Case> cases = {
      {kKana + "a", {"\x82\xa0", "\x82\xa2", "a"}},
      {"\t \xb1~", {"\t", " ", "\xb1", "~"}},
      {"a\x82", {"a", "\x82"}},  // a lead byte at the end takes what is there
      {"", {}},
  };
  for (const Case& c : cases) {
    test::PlayerFixture player;
    player.runScript({"MESS,SPLI,$n__n,$sa_parts,%n__5,%s__" + c.text, "QUIT"});
    EXPECT_EQ(player.intVar("n"), 5 + static_cast<int32_t>(c.parts.size())) << c.text;
    StringArray* parts = player.engine().variables().stringArrays.find("parts");
    for (size_t i = 0; i < c.parts.size(); ++i)
      EXPECT_EQ(arrayElement(*parts, 5 + static_cast<int32_t>(i)), c.parts[i]);
  }
}

TEST_F(TextCommandTest, WindowsAreCreatedOnSelectionAndKeptInNumberOrder) {
  run({"MESS,SET_,%n__3", "MESS,ADD_,%s__three", "MESS,HIDE", "MESS,SET_,%n__1",
       "MESS,FONT,%n__24,%n__1,%x__FF0000FF", "MESS,CLE_"});
  EXPECT_EQ(text().windows().size(), 3u);
  EXPECT_EQ(window(3).glyphs.size(), 1u);
  EXPECT_EQ(window(3).placement.visible, 0);
  EXPECT_EQ(window(1).currentFont, FontStyle{});  // CLE_ restores the default font
}

// Commits pages "p1", "p2", "p3", each followed by TEXT CLE_, then runs `steps`, recording
// log at newest after each in "c<i>".
std::vector<std::string> pagedScript(const std::vector<std::string>& steps) {
  std::vector<std::string> lines;
  for (const char* page : {"p1", "p2", "p3"}) {
    lines.push_back(std::string("MESS,ADD_,%s__") + page);
    lines.push_back("MESS,LOG_,OUT_");
    lines.push_back("MESS,TEXT,CLE_");
  }
  lines.push_back("MESS,LOG_,OUT_");  // nothing to commit
  lines.push_back("MESS,ADD_,%s__live");
  for (size_t i = 0; i < steps.size(); ++i) {
    lines.push_back("MESS,LOG_," + steps[i]);
    lines.push_back("MESS,LOG_,CHK_,$n__c" + std::to_string(i));
  }
  return lines;
}

TEST_F(TextCommandTest, LogPagingSequence) {
  run(pagedScript({"UP__", "UP__", "DOWN", "DOWN", "UP__", "UP__", "UP__", "UP__"}));
  const std::vector<int32_t> expected = {1, 0, 1, 1, 0, 0, 0, 0};
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(player_.intVar("c" + std::to_string(i)), expected[i]) << i;
  const MessageWindow& w = window(0);
  ASSERT_EQ(w.logPages.size(), 3u);
  ASSERT_EQ(w.shownPage, std::optional<size_t>(0));  // UP__ stays on the oldest page
  EXPECT_EQ(w.visibleGlyphs()[0]->text, "p1");
  EXPECT_EQ(w.visibleGlyphs()[0]->drawColor, 0xFFFFC0C0u);
  EXPECT_NE(w.visibleGlyphs()[0]->image, nullptr);
  EXPECT_EQ(w.logPages[2][0]->image, nullptr);  // pages not shown hold no image
}

TEST_F(TextCommandTest, EndingTheLogMakesTheNewestPageLiveInTheDefaultColour) {
  run(pagedScript({"UP__", "UP__", "END_"}));
  const MessageWindow& w = window(0);
  EXPECT_FALSE(w.shownPage);
  ASSERT_EQ(w.glyphs.size(), 1u);
  EXPECT_EQ(w.glyphs[0], w.logPages[2][0]);
  EXPECT_EQ(w.glyphs[0]->drawColor, 0xFFFFFFFFu);
  EXPECT_NE(w.glyphs[0]->image, nullptr);
}

TEST_F(TextCommandTest, ClearAllDiscardsEveryWindowsPages) {
  run({"MESS,ADD_,%s__a", "MESS,LOG_,OUT_", "MESS,SET_,%n__2", "MESS,ADD_,%s__b", "MESS,LOG_,OUT_",
       "MESS,LOG_,CLE_,ALL_", "MESS,LOG_,DOWN", "MESS,LOG_,CHK_,$n__c"});
  EXPECT_TRUE(window(0).logPages.empty());
  EXPECT_TRUE(window(2).logPages.empty());
  EXPECT_EQ(player_.intVar("c"), 0);
}

TEST_F(TextCommandTest, LogTestWritesEveryGlyphOfEveryPage) {
  run({"MESS,WRIT,MODE,%n__0,%n__0", "MESS,POS_,%f__1.5,%f__-2", "MESS,ADD_,%s__" + kKana,
       "MESS,LOG_,OUT_", "MESS,TEXT,CLE_", "MESS,FONT,%n__18,%n__0,%x__800000FF", "MESS,ADD_,%s__b",
       "MESS,LOG_,OUT_", "MESS,LOG_,TEST"});
  const std::string log = player_.errorLog();
  EXPECT_NE(log.find(" : !!! Check !!! [000] : あい (1.500000,-2.000000) ffffffff\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find(" : !!! Check !!! [001] : b (0.000000,0.000000) 800000ff\n"),
            std::string::npos)
      << log;
}

TEST_F(TextCommandTest, RenderingTheSameTextAgainUsesTheCache) {
  std::vector<std::string> lines;
  for (int i = 0; i < 6; ++i)
    lines.push_back("MESS,ADD_,%s__" + std::string(i % 2 ? "\x82\xa0" : "x"));
  run(lines);
  EXPECT_EQ(text().renderer().renderCount(), 2u);
}

TEST_F(TextCommandTest, EditCommandsNeedACurrentBox) {
  run({"EDIT,TEXT,SET_,%s__ab", "EDIT,SET_,%n__2", "EDIT,WRIT,POS_,%f__10,%f__0",
       "EDIT,WRIT,MODE,%n__0,%n__0", "EDIT,WRIT,SHIF,%f__2,%f__0", "EDIT,TEXT,SET_,%s__ab",
       "EDIT,TEXT,GET_,$s__t1", "EDIT,CALC,$f__w,$f__h,%s__a", "EDIT,CLOS", "EDIT,TEXT,SET_,%s__zz",
       "EDIT,TEXT,GET_,$s__t2"});
  ASSERT_EQ(text().editBoxes().size(), 1u);
  const EditBox& box = text().editBoxes().at(2);
  EXPECT_EQ(player_.stringVar("t1"), "ab");
  EXPECT_EQ(player_.stringVar("t2"), "");
  EXPECT_EQ(player_.floatVar("h"), 36.0f);
  EXPECT_EQ(box.characters[0]->x, 10.0f);
  EXPECT_EQ(box.characters[1]->x, 10.0f + player_.floatVar("w") + 2.0f);
  EXPECT_EQ(text().currentEditBox(), nullptr);
}

// WRIT and DRAW set the same fields on windows and boxes, words left out reading as 0; MESS
// alone has REF_ and LSP_, EDIT alone the EDIT font.
TEST_F(TextCommandTest, WriteAndDrawFormsOfWindowsAndBoxes) {
  std::vector<std::string> lines = {"EDIT,SET_,%n__0"};
  for (const std::string family : {"MESS,", "EDIT,"}) {
    for (const char* form :
         {"WRIT,POS_,%f__-50,%f__7", "WRIT,SHIF,%f__9,%f__9", "WRIT,SHIF,%f__3",
          "WRIT,FONT,%n__24,%n__1,%x__FF0000FF", "WRIT,MODE,%n__0,%n__2", "WRIT,LSP_,%f__4",
          "WRIT,EDIT,%n__30,%n__0,%x__FF00FF00", "WRIT,REF_", "DRAW,POS_,%f__1,%f__2",
          "DRAW,SCA_,%f__2,%f__3", "DRAW,ROT_,%f__0,%f__0,%f__0.5", "DRAW,BLEN,%n__1", "DRAW,REF_",
          "HIDE"})
      lines.push_back(family + form);
  }
  run(lines);
  const MessageWindow& w = window(0);
  const EditBox& box = text().editBoxes().at(0);
  const TextLayout layout{-50.0f, 7.0f, 3.0f, 0.0f, {24, 1, 0xFF0000FF}, 0, 2};
  for (const auto& [written, placement] :
       {std::pair{&w.layout, &w.placement}, std::pair{&box.layout, &box.placement}}) {
    EXPECT_EQ(*written, layout);
    // DRAW takes its angles in radians as given.
    EXPECT_EQ(placement->matrix, placementMatrix(1, 2, 2, 3, 0, 0, 0.5f));
    EXPECT_EQ(placement->blendMode, 1);
    EXPECT_EQ(placement->visible, 0);
  }
  EXPECT_EQ(w.currentFont, layout.font);
  EXPECT_EQ(w.cursorX, -50.0f);
  EXPECT_EQ(w.cursorY, 7.0f);
  EXPECT_EQ(w.lineSpacing, 4.0f);
  EXPECT_EQ(box.compositionFont, (FontStyle{30, 0, 0xFF00FF00}));
}

// Typed input (headless input lines of pass 2) reaches the current box.
std::string typed(const std::string& input, const std::vector<std::string>& afterTyping = {}) {
  test::PlayerFixture player(parseInputScript(input));
  std::vector<std::string> lines = {"EDIT,SET_,%n__1", "NEXT"};
  lines.insert(lines.end(), afterTyping.begin(), afterTyping.end());
  lines.insert(lines.end(), {"EDIT,TEXT,GET_,$s__t", "QUIT"});
  player.runScript(lines);
  return player.stringVar("t");
}

TEST(Typing, CharactersCursorMovesBackspaceAndComposition) {
  // "08" is the backspace character.
  EXPECT_EQ(typed("2 char a\n2 char b\n2 key Left down\n2 char c"), "acb");
  EXPECT_EQ(typed("2 char a\n2 key Left down\n2 key Left down\n2 char 08"), "a");
  EXPECT_EQ(typed("2 char a\n2 key Right down\n2 char 08\n2 char 08"), "");
  // Tab and return are dropped, characters outside CP932 too.
  EXPECT_EQ(typed("2 char 09\n2 char 13\n2 char 12354\n2 char 65393\n2 char 128512"),
            "\x82\xa0\xb1");
  // A composition replaces only the previous composition, counted in characters.
  EXPECT_EQ(typed("2 char a", {"EDIT,TEXT,SET_,%s__xy", "EDIT,TEXT,SET_,%s__" + kKana + "z",
                               "EDIT,TEXT,SET_,%s__q"}),
            "aq");
}

}  // namespace
}  // namespace avg
