#include "script/flag_set.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "save/packed_block.h"
#include "script/archive.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using namespace std::string_literals;

std::string rawOf(const std::vector<std::string>& names) {
  std::string raw;
  for (const std::string& name : names) {
    appendLE32(raw, static_cast<uint32_t>(name.size()));
    raw += name + '\0';
  }
  return raw;
}

class FlagSet : public testing::Test {
 protected:
  FlagSet() { flags_.setPath("flags.dat"); }
  test::TempGameDir dir_;
  ArchiveSet archives_;
  PersistentFlagSet flags_;
};

TEST_F(FlagSet, SavesNamesInByteOrderAsCompressedInvertedBlock) {
  std::string longName(40, 'L');
  for (const std::string& name : {"b"s, "\x82\xA0"s, "a"s, longName, ""s})
    flags_.set(name);
  std::string file = dir_.read("flags.dat");
  EXPECT_EQ(readLE32(file.data() + 4), 3u);
  EXPECT_EQ(unpackBlock(file), rawOf({"", longName, "a", "b", "\x82\xA0"}));
}

TEST_F(FlagSet, ShortContentIsStoredInverted) {
  flags_.set("a");
  EXPECT_EQ(dir_.read("flags.dat"), "\x12\0\0\0\x01\0\0\0\x06\0\0\0\xFE\xFF\xFF\xFF\x9E\xFF"s);
}

TEST_F(FlagSet, UnchangedSetIsNotWritten) {
  flags_.set("a");
  std::filesystem::remove(dir_.path() / "flags.dat");
  flags_.set("a");
  flags_.clear("missing");
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "flags.dat"));
  flags_.clear("a");
  EXPECT_EQ(unpackBlock(dir_.read("flags.dat")), "");
}

TEST_F(FlagSet, MissingFileEmptiesTheSetAndCreatesItsDirectories) {
  flags_.set("a");
  flags_.setPath("save\\sub\\global.flg");
  flags_.load(archives_);
  EXPECT_TRUE(flags_.names().empty());
  EXPECT_TRUE(std::filesystem::is_directory(dir_.path() / "save/sub"));
  flags_.set("b");
  EXPECT_EQ(unpackBlock(dir_.read("save/sub/global.flg")), rawOf({"b"}));
}

TEST_F(FlagSet, LoadsWhatIsWholeOfSavedOrDamagedFiles) {
  for (const char* name : {"one", "two", "three"})
    flags_.set(name);
  const std::pair<std::string, std::set<std::string>> cases[] = {
      {dir_.read("flags.dat"), {"one", "three", "two"}},
      {"not a block", {}},
      {packBlock(rawOf({"a"}) + "\x09\0\0\0ab"s, PackRequest::Compress), {"a"}},
      {packBlock(rawOf({"a"}) + "\x01\0"s, PackRequest::Compress), {"a"}},
      {packBlock("\x01\0\0\0z"s, PackRequest::Compress), {"z"}},
  };
  for (const auto& [file, names] : cases) {
    dir_.write("flags.dat", file);
    PersistentFlagSet loaded;
    loaded.set("stale");
    loaded.setPath("flags.dat");
    loaded.load(archives_);
    EXPECT_EQ(loaded.names(), names);
  }
}

TEST(FlagCommands, GlobAndGredKeepTheirOwnFiles) {
  test::PlayerFixture player;
  player.runScript({"GLOB,FLAG,PATH,SET_,%s__save\\glob.flg", "GLOB,FLAG,LOAD",
                    "GLOB,FLAG,SET_,%s__end1,%n__5", "GLOB,FLAG,GET_,$n__end1,%s__end1",
                    "GLOB,FLAG,GET_,$n__end2,%s__end2", "GRED,FLAG,PATH,SET_,%s__read.flg",
                    "GRED,FLAG,SET_,%s__line9,%n__1", "GRED,FLAG,SET_,%s__line9,%n__0",
                    "GRED,FLAG,GET_,$n__gred,%s__end1", "GRED,FLAG,PATH,GET_,$s__path"});
  EXPECT_EQ(player.intVars("end1 end2 gred"), "end1=1 end2=0 gred=0");
  EXPECT_EQ(player.stringVar("path"), "read.flg");
  EXPECT_EQ(unpackBlock(player.dir().read("save/glob.flg")), rawOf({"end1"}));
  EXPECT_EQ(unpackBlock(player.dir().read("read.flg")), "");
}

}  // namespace
}  // namespace avg
