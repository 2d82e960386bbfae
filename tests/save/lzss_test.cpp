#include "save/lzss.h"

#include <gtest/gtest.h>

#include <random>

#include "support/classic_lzss.h"

namespace avg {
namespace {

using namespace std::string_literals;

std::string randomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes)
    c = static_cast<char>(random());
  return bytes;
}

std::string scriptText(size_t size) {
  static const char* const kLines[] = {"MESS,ADD_,$s__line,%n__1\r\n", "WAIT,%n__30\r\n",
                                       "2D__,SET_,%s__bg,%s__title,%n__0\r\n", "#label\r\n"};
  std::string text;
  for (size_t i = 0; text.size() < size; ++i)
    text += kLines[(i * 7 + i / 3) % 4];
  text.resize(size);
  return text;
}

// Samples that exercise matches at the start, overlapping runs, long distances and none.
std::vector<std::string> samples() {
  std::string mixed = scriptText(5000) + randomBytes(3000, 1) + scriptText(9000);
  return {"",   "a", std::string(5000, 'x'), "abcabcabcabcabcabcabcabcabcab", scriptText(20000),
          mixed};
}

// Our streams decode with ours and the classic decoder; the classic encoder's streams, plain
// and inverted, decode with ours.
TEST(Lzss, RoundTripsAndAgreesWithTheClassicCoder) {
  for (const std::string& input : samples()) {
    std::optional<std::string> packed = lzssCompress(input, SIZE_MAX);
    ASSERT_TRUE(packed);
    EXPECT_TRUE(lzssDecompress(*packed, input.size()) == input) << input.size();
    EXPECT_TRUE(classic::LzssCoder::decode(*packed, input.size()) == input) << input.size();
    std::string classic = classic::LzssCoder().encode(input);
    EXPECT_TRUE(lzssDecompress(classic, input.size()) == input) << input.size();
    for (char& c : classic)
      c = static_cast<char>(~c);
    EXPECT_TRUE(lzssDecompress(classic, input.size(), 0xFF) == input) << input.size();
  }
}

TEST(Lzss, GivesUpWhenTheOutputReachesTheLimit) {
  std::string input = scriptText(3000);
  size_t full = lzssCompress(input, SIZE_MAX)->size();
  EXPECT_FALSE(lzssCompress(input, full));
  EXPECT_EQ(lzssCompress(input, full + 1)->size(), full);
}

struct StreamCase {
  const char* name;
  std::string stream;
  size_t size;
  std::string expected;
};

// Hand-made streams: position 4078 (0xFEE) is where the first byte goes; flag bytes before
// letters are written in octal (\001, \377) so that the letters stay letters.
TEST(Lzss, DecodesHandMadeStreams) {
  const StreamCase cases[] = {
      {"zero_ring", "\x00\x00\x00"s, 3, std::string(3, '\0')},
      {"overlapping_run", "\001a\xEE\xF2", 6, "aaaaaa"},
      {"ring_into_output", "\x03xy\xEC\xF3", 8, "xy\0\0xy\0\0"s},
      {"wraps_ring_end", "\377abcdefgh\377ijklmnop\x00\xEE\xF0"s, 19, "abcdefghijklmnopabc"},
      {"stops_inside_literal_group", "\377abcdefgh", 3, "abc"},
      {"stops_inside_reference", "\001z\xEE\xFF", 5, "zzzzz"},
  };
  for (const StreamCase& c : cases) {
    EXPECT_EQ(lzssDecompress(c.stream, c.size), c.expected) << c.name;
    EXPECT_EQ(classic::LzssCoder::decode(c.stream, c.size), c.expected) << c.name;
  }
}

TEST(Lzss, RefusesStreamsThatEndEarly) {
  const StreamCase cases[] = {
      {"no_flag_byte", "", 1, ""},
      {"missing_literal", "\377ab", 3, ""},
      {"half_reference", "\x00\xEE"s, 3, ""},
      {"far_beyond_the_stream", "\x00\xEE\xFF"s, size_t{1} << 31, ""},
  };
  for (const StreamCase& c : cases)
    EXPECT_FALSE(lzssDecompress(c.stream, c.size)) << c.name;
}

}  // namespace
}  // namespace avg
