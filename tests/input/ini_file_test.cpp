// The initialisation file: reading keys as the private-profile readers do, and writing keys
// without disturbing any other byte of the file.
#include "input/ini_file.h"

#include <gtest/gtest.h>

namespace avg {
namespace {

struct IntCase {
  const char* value;
  int32_t expected;
};

class ProfileInt : public ::testing::TestWithParam<IntCase> {};

TEST_P(ProfileInt, ParsesSignAndLeadingDigits) {
  IniFile file("[S]\r\nK=" + std::string(GetParam().value) + "\r\n");
  EXPECT_EQ(file.integer("S", "K", 77), GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileInt,
                         ::testing::Values(IntCase{"-5", -5}, IntCase{"+12", 12},
                                           IntCase{"  42  ", 42}, IntCase{"12abc", 12},
                                           IntCase{"0x10", 0}, IntCase{"", 77}, IntCase{"-", 0},
                                           IntCase{"4294967356", 60},
                                           IntCase{"99999999999999999999", 1661992959},
                                           IntCase{"\"7\"", 7}, IntCase{"1 2", 1}));

TEST(IniFile, MissingKeysAndFilesGiveTheFallback) {
  IniFile file("[GAME]\r\nNAME=x\r\n");
  EXPECT_TRUE(file.exists());
  EXPECT_EQ(file.integer("GAME", "OTHER", 3), 3);
  EXPECT_EQ(file.integer("NONE", "NAME", 4), 4);
  EXPECT_EQ(file.string("GAME", "OTHER", "AVG"), "AVG");
  IniFile missing = IniFile::load("/nonexistent/config.ini");
  EXPECT_FALSE(missing.exists());
  EXPECT_EQ(missing.integer("FRAME", "RATE", 60), 60);
}

TEST(IniFile, NamesIgnoreCaseAndBlanks) {
  IniFile file(
      "; comment=1\r\n[ game ]\r\n  name  =  My Game  \r\n[Input]\r\nbutton=4\r\n"
      "[TEXT]\r\nFONT='quoted'\r\n");
  EXPECT_EQ(file.string("GAME", "NAME"), "My Game");
  EXPECT_EQ(file.integer("INPUT", "Button", 6), 4);
  EXPECT_EQ(file.string("text", "font"), "quoted");
  EXPECT_EQ(file.string("", "comment"), std::nullopt);
  // 0x83 0x41 and 0x83 0x61 are different characters although 0x41 and 0x61 are 'A' and 'a'.
  IniFile kana("[\x83\x41]\r\nK=1\r\n");
  EXPECT_EQ(kana.integer("\x83\x41", "K", 0), 1);
  EXPECT_EQ(kana.integer("\x83\x61", "K", 0), 0);
}

TEST(IniFile, FirstOccurrenceAnswersAcrossDuplicateSections) {
  IniFile file("[A]\r\nX=1\r\nX=2\r\n[B]\r\n[A]\r\nX=3\r\nY=4\r\n");
  EXPECT_EQ(file.integer("A", "X", 0), 1);
  EXPECT_EQ(file.integer("A", "Y", 0), 4);
  file.set("A", "X", 9);
  EXPECT_EQ(file.bytes(), "[A]\r\nX=9\r\nX=2\r\n[B]\r\n[A]\r\nX=3\r\nY=4\r\n");
}

TEST(IniFile, LongStringsAreCutWithoutSplittingACharacter) {
  std::string longName(300, 'a');
  EXPECT_EQ(IniFile("[G]\r\nN=" + longName + "\r\n").string("G", "N")->size(), 259u);
  // A two-byte character that would straddle the limit is left out whole.
  std::string straddling = std::string(258, 'a') + "\x82\xA0";
  EXPECT_EQ(*IniFile("[G]\r\nN=" + straddling + "\r\n").string("G", "N"), std::string(258, 'a'));
}

struct WriteCase {
  const char* name;
  std::string before;
  std::string after;
};

class IniWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(IniWrite, ChangesOnlyWhatItWrites) {
  IniFile file(GetParam().before);
  file.set("FRAME", "RATE", 60);
  EXPECT_EQ(file.bytes(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniWrite,
    ::testing::Values(
        WriteCase{"replaces_value", "; keep\r\n[frame]\r\nrate = 90 ; x\r\nWAIT=1\r\n",
                  "; keep\r\n[frame]\r\nrate=60\r\nWAIT=1\r\n"},
        WriteCase{"same_value_keeps_line", "[FRAME]\r\n RATE = 60 \r\n",
                  "[FRAME]\r\n RATE = 60 \r\n"},
        WriteCase{"adds_key_after_last_key", "[FRAME]\r\nWAIT=1\r\n\r\n[NEXT]\r\n",
                  "[FRAME]\r\nWAIT=1\r\nRATE=60\r\n\r\n[NEXT]\r\n"},
        WriteCase{"adds_section", "[GAME]\r\nNAME=x", "[GAME]\r\nNAME=x\r\n[FRAME]\r\nRATE=60\r\n"},
        WriteCase{"keeps_lf_files", "[GAME]\nNAME=x\n", "[GAME]\nNAME=x\n[FRAME]\nRATE=60\n"},
        WriteCase{
            "keeps_garbage_and_binary",
            std::string("garbage\r\n\x01\x00\xFF=\r\n[FRAME]\r\n=5\r\n[x\r\n", 32),
            std::string("garbage\r\n\x01\x00\xFF=\r\n[FRAME]\r\nRATE=60\r\n=5\r\n[x\r\n", 41)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace avg
