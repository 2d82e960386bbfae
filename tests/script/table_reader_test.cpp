#include "script/table_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "save/packed_block.h"
#include "script/archive.h"
#include "support/game_dir.h"

namespace avg {
namespace {

TableRows parse(const std::string& text) {
  TableRows rows;
  parseTable(text, ArchiveSet(), rows);
  return rows;
}

std::string scrambled(const std::string& text) {
  std::string out = "\xBC\xB0\xBB\xBA";
  for (char c : text)
    out += static_cast<char>(~c);
  return out;
}

struct ParseCase {
  const char* name;
  std::string text;
  TableRows expected;
  friend void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }
};

class TableParse : public testing::TestWithParam<ParseCase> {};

TEST_P(TableParse, GivesRows) {
  EXPECT_EQ(parse(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TableParse,
    testing::Values(
        ParseCase{"simple", "WAIT,a,b\r\n", {{"WAIT", "a", "b"}}},
        ParseCase{"empty_field", "CMD,a,,b\r\n", {{"CMD", "a", "", "b"}}},
        ParseCase{"comment_ends_row", "CMD,a;b,c\r\nNEXT\r\n", {{"CMD", "a"}, {"NEXT"}}},
        ParseCase{"comment_line", ";whole line\r\nNEXT\r\n", {{"NEXT"}}},
        ParseCase{"last_line_without_crlf", "A\r\nB,1", {{"A"}, {"B", "1"}}},
        ParseCase{"blanks_kept", " WAIT, x \r\n", {{" WAIT", " x "}}},
        ParseCase{"lone_lf_is_text", "A\nB\r\n", {{"A\nB"}}},
        // The trail byte 0x2C (',') of a Shift-JIS character is not a separator.
        ParseCase{"sjis_trail_comma", "M,\x81\x2Cx\r\n", {{"M", "\x81\x2Cx"}}},
        // A lead byte before CR or at the end stands alone and keeps the line end.
        ParseCase{"lead_before_crlf", "M,\x82\r\nNEXT\r\n", {{"M", "\x82"}, {"NEXT"}}},
        ParseCase{"lead_at_end", "M,\x82", {{"M", "\x82"}}},
        ParseCase{"scrambled", scrambled("WAIT,a\r\nNEXT\r\n"), {{"WAIT", "a"}, {"NEXT"}}},
        ParseCase{"magic_differs", "\xBC\xB0\xBB\xBB,x\r\n", {{"\xBC\xB0\xBB\xBB", "x"}}},
        ParseCase{"include_with_second_field_is_row", "~inc,x\r\n", {{"~inc", "x"}}}),
    [](const auto& info) { return info.param.name; });

class TableReader : public testing::Test {
 protected:
  test::TempGameDir dir_;
  ArchiveSet archives_;
};

TEST_F(TableReader, EmptyBufferAndMissingFileFail) {
  TableRows rows;
  EXPECT_FALSE(parseTable("", archives_, rows));
  EXPECT_FALSE(readTable("nothing.txt", archives_, rows));
}

// Includes insert rows in place; they are read from the archives as well, scrambled ones
// unscrambled, missing ones skipped. Files are found by Windows path in any case. Asked for
// origins, the reader gives each row's file and line (comment lines count, a comment after a
// field ends its row) and the missing includes.
TEST_F(TableReader, IncludeInsertsRowsInPlace) {
  dir_.write("inc.arc", buildArchive({{"inc.txt", packBlock(scrambled("B,1;x\r\n\r\nC\r\n"),
                                                            PackRequest::Compress)}}));
  ASSERT_TRUE(archives_.add("inc.arc"));
  dir_.write("Data/Main.TXT", "A\r\n; note\r\n~missing.txt\r\n~inc.txt\r\nD");
  const TableRows expected{{"A"}, {"B", "1"}, {"C"}, {"D"}};
  TableRows rows;
  ASSERT_TRUE(readTable("data\\main.txt", archives_, rows));
  EXPECT_EQ(rows, expected);

  TableRows traced;
  TableOrigins origins;
  ASSERT_TRUE(readTable("data\\main.txt", archives_, traced, &origins));
  EXPECT_EQ(traced, expected);
  EXPECT_EQ(origins.files, (std::vector<std::string>{"data\\main.txt", "inc.txt"}));
  using Place = TableOrigins::Place;
  EXPECT_EQ(origins.rows, (std::vector<Place>{{0, 1}, {1, 1}, {1, 3}, {0, 5}}));
  ASSERT_EQ(origins.missingIncludes.size(), 1u);
  EXPECT_EQ(origins.missingIncludes[0].at, (Place{0, 3}));
  EXPECT_EQ(origins.missingIncludes[0].name, "missing.txt");
}

TEST_F(TableReader, SelfIncludeStopsAtFixedDepth) {
  dir_.write("loop.txt", "X\r\n~loop.txt\r\nY\r\n");
  TableRows rows;
  ASSERT_TRUE(readTable("loop.txt", archives_, rows));
  // The top file and 32 nested includes each give X ... Y.
  ASSERT_EQ(rows.size(), 2u * (kMaxIncludeDepth + 1));
  EXPECT_EQ(rows.front(), TableRow{"X"});
  EXPECT_EQ(rows.back(), TableRow{"Y"});
}

// Work is bounded per top-level read: a file including itself twice stops after the file
// budget, a flat list of big includes after the byte budget; the rows read are kept and the
// error log names the file refused, once.
TEST_F(TableReader, IncludesStopAtTheBudgetWithOneLogLine) {
  dir_.write("a.eve", "~a.eve\r\n~a.eve\r\n");
  std::string big = "R\r\n;";
  big.resize(kMaxIncludedBytes / 64, 'x');
  dir_.write("big.txt", big);
  std::string flat;
  for (int i = 0; i < 70; ++i)
    flat += "~big.txt\r\n";
  TableRows flatRows(64, {"R"});
  flatRows.push_back({"E"});
  struct Case {
    std::string main;
    TableRows expected;
    std::string refused;
  };
  const Case cases[] = {{"S\r\n~a.eve\r\nE\r\n", {{"S"}, {"E"}}, "a.eve"},
                        {flat + "E\r\n", flatRows, "big.txt"}};
  for (const Case& c : cases) {
    std::filesystem::remove(dir_.path() / "ErrorLog.txt");
    dir_.write("main.txt", c.main);
    TableRows rows;
    ASSERT_TRUE(readTable("main.txt", archives_, rows));
    EXPECT_EQ(rows, c.expected) << c.refused;
    const std::string log = dir_.read("ErrorLog.txt");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_NE(log.find(c.refused), std::string::npos) << log;
  }
}

// The same bomb included from the start script: the player reads what it can and runs it.
TEST(IncludeBomb, StartScriptStillRuns) {
  test::PlayerFixture player;
  player.dir().write("a.eve", "~a.eve\r\n~a.eve\r\n");
  player.runScript({"~a.eve", test::mark("ran")});
  EXPECT_EQ(player.stringVar("trace"), "ran");
  EXPECT_NE(player.errorLog().find("a.eve"), std::string::npos);
}

}  // namespace
}  // namespace avg
