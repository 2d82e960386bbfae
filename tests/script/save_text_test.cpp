// Save text: serialising rows, reading them back without comments or includes, sections
// found by name and bounded by the next section, and free text read whole.
#include "script/save_text.h"

#include <gtest/gtest.h>

namespace avg {
namespace {

TEST(SaveText, WriterJoinsFieldsAndSkipsEmptyRows) {
  SaveWriter out;
  out.row().field("#A").field(size_t{2});
  out.row();
  out.row().field("");
  out.row().field("").field("");
  out.row().field("x").field(-7).field(4294967295u).field(true).field(0.5f);
  EXPECT_EQ(out.finish(), "#A,2\r\n,\r\nx,-7,4294967295,1,0.500000\r\n");
  EXPECT_EQ(SaveWriter().finish(), "");
  EXPECT_EQ(saveFloat(0.1f), "0.100000");
  EXPECT_EQ(saveFloat(-2.5f), "-2.500000");
  EXPECT_EQ(saveFloat(0.0000001f), "0.000000");
  EXPECT_EQ(saveFloat(1e30f), "1000000015047466219876688855040.000000");
  EXPECT_EQ(saveFloat(-3.4028235e38f).size(), 47u);
  EXPECT_EQ(saveFloat(2.5e-7f), "0.000000");
}

TEST(SaveText, TildeAndSemicolonAreData) {
  SaveText text;
  ASSERT_TRUE(text.parse("#S\r\n~include\r\na;b,c\r\n\r\n"));
  SaveSection section = *text.section("S");
  EXPECT_EQ(*section.next(), (TableRow{"~include"}));
  EXPECT_EQ(*section.next(), (TableRow{"a;b", "c"}));
  EXPECT_EQ(section.next(), nullptr);
  EXPECT_TRUE(section.take().empty());
  EXPECT_FALSE(text.parse(""));
}

TEST(SaveText, SectionsAreFoundByNameAndEndAtTheNextSection) {
  SaveText text;
  ASSERT_TRUE(text.parse("#B,5\r\nb1\r\n#A,1\r\na1\r\na2\r\n#B,1\r\nlater\r\n#C,-3\r\nc\r\n"));
  EXPECT_FALSE(text.section("D"));
  EXPECT_FALSE(text.hasSaveSections());
  SaveSection a = *text.section("A");
  EXPECT_EQ(a.count(), 1u);
  EXPECT_EQ(a.rowsLeft(), 2u);
  SaveSection b = *text.section("B");  // the later of the two
  EXPECT_EQ(b.count(), 1u);
  EXPECT_EQ(b.take(), (TableRow{"later"}));
  EXPECT_EQ(text.section("C")->count(), 0u);
  ASSERT_TRUE(text.parse("#B,5\r\nb1\r\n"));
  EXPECT_EQ(text.section("B")->count(), 1u);  // bounded by the rows present
  ASSERT_TRUE(text.parse("x\r\n#THREAD,0\r\n"));
  EXPECT_TRUE(text.hasSaveSections());
}

TEST(SaveText, FieldsReadSafelyAndTextWhole) {
  TableRow row{"a", "b", "12", "1.5"};
  EXPECT_EQ(fieldAt(row, 9), "");
  EXPECT_EQ(intAt(row, 2), 12);
  EXPECT_EQ(intAt(row, 9), 0);
  EXPECT_EQ(floatAt(row, 3), 1.5f);
  EXPECT_EQ(textAt(row, 1), "b,12,1.5");
  EXPECT_EQ(textAt(row, 0, 2), "a,b");
  EXPECT_EQ(textAt(row, 3, 2), "");
  EXPECT_EQ(textAt(row, 4), "");
}

}  // namespace
}  // namespace avg
