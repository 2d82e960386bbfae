// Code points of UTF-8 and CP932 text, as the rasterizer receives them.
#include "base/text_encoding.h"

#include <gtest/gtest.h>

namespace avg {
namespace {

TEST(TextEncodingTest, Utf8SequencesOfEveryLengthBecomeOneCodePoint) {
  const std::pair<std::string_view, std::u32string_view> cases[] = {
      {"", U""},
      {"a~", U"a~"},
      {"\xC3\xA9", U"\u00E9"},
      {"\xE3\x81\x82\xE6\xB7\xB7", U"\u3042\u6DF7"},
      {"\xF0\x9F\x98\x80!", U"\U0001F600!"},
  };
  for (auto [utf8, codepoints] : cases)
    EXPECT_EQ(utf8ToCodepoints(utf8), codepoints) << utf8;
}

TEST(TextEncodingTest, Cp932BytesThatDoNotConvertBecomeReplacementCharacters) {
  EXPECT_EQ(cp932ToCodepoints("a\x82\xa0"), U"a\u3042");
  EXPECT_EQ(cp932ToCodepoints("a\x82"), U"a\uFFFD");
}

}  // namespace
}  // namespace avg
