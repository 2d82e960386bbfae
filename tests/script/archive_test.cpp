#include "script/archive.h"

#include <gtest/gtest.h>

#include "save/packed_block.h"
#include "script/whole_file.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using namespace std::string_literals;

struct Member {
  std::string name;
  std::string content;
  PackRequest request = PackRequest::CompressInverted;
};

std::string archiveOf(const std::vector<Member>& members) {
  std::vector<PackedMember> packed;
  for (const Member& m : members)
    packed.push_back({m.name, packBlock(m.content, m.request)});
  return buildArchive(packed);
}

// The archive bytes with the unpacked index replaced by `index`.
std::string withIndex(const std::string& index, const std::string& memberArea = "") {
  return std::string(archive_format::kMagic, 8) + packBlock(index, PackRequest::Compress) +
         memberArea;
}

std::string record(const std::string& name, uint32_t offset, uint32_t size) {
  std::string bytes(archive_format::kNameSize, '\0');
  name.copy(bytes.data(), bytes.size());
  appendLE32(bytes, offset);
  appendLE32(bytes, size);
  return bytes;
}

std::string count(uint32_t n) {
  std::string bytes;
  appendLE32(bytes, n);
  return bytes;
}

class Archives : public testing::Test {
 protected:
  std::optional<std::string> read(const std::string& name) const {
    return ReadWholeFile(name, archives_);
  }
  test::TempGameDir dir_;
  ArchiveSet archives_;
};

TEST_F(Archives, SearchInByteOrderOfArchiveNamesWhateverTheAddOrder) {
  dir_.write("b.arc", archiveOf({{"x.txt", "from b"}, {"only_b", "b"}}));
  dir_.write("a.arc", archiveOf({{"x.txt", "from a", PackRequest::StoreInverted}}));
  EXPECT_TRUE(archives_.add("b.arc"));
  EXPECT_TRUE(archives_.add("a.arc"));
  EXPECT_EQ(read("x.txt"), "from a");
  EXPECT_EQ(read("only_b"), "b");
}

// Plain files shadow members; member names match exact bytes; clearing leaves plain files.
TEST_F(Archives, PlainFilesShadowAndNamesMatchExactly) {
  dir_.write("data.arc", archiveOf({{"x.txt", "member"}, {"Dir\\File.txt", "content"}}));
  dir_.write("x.txt", "plain");
  archives_.add("data.arc");
  EXPECT_EQ(read("x.txt"), "plain");
  EXPECT_EQ(read("Dir\\File.txt"), "content");
  EXPECT_FALSE(read("dir\\file.txt"));
  EXPECT_FALSE(read("Dir/File.txt"));
  archives_.clear();
  EXPECT_FALSE(read("Dir\\File.txt"));
}

// Of two records of one name the later wins; a name filling all its bytes is taken whole.
TEST_F(Archives, LaterDuplicateWinsAndFullLengthNamesAreWhole) {
  const std::string name(archive_format::kNameSize, 'n');
  std::string index = count(3), members;
  for (const auto& [member, content] :
       {std::pair{"x"s, "first"}, {"x"s, "second"}, {name, "long"}}) {
    std::string block = packBlock(content, PackRequest::Compress);
    index += record(member, uint32_t(members.size()), uint32_t(block.size()));
    members += block;
  }
  dir_.write("data.arc", withIndex(index, members));
  EXPECT_TRUE(archives_.add("data.arc"));
  EXPECT_EQ(read("x"), "second");
  EXPECT_EQ(read(name), "long");
}

TEST_F(Archives, InvalidMemberFailsWithoutTryingLaterArchives) {
  std::string bad = "\x0C\0\0\0\x07\0\0\0\0\0\0\0"s;
  dir_.write("a.arc", withIndex(count(1) + record("x", 0, uint32_t(bad.size())), bad));
  dir_.write("b.arc", archiveOf({{"x", "good"}}));
  archives_.add("a.arc");
  archives_.add("b.arc");
  EXPECT_FALSE(read("x"));
}

TEST_F(Archives, RefusesCorruptArchives) {
  std::string good = archiveOf({{"x", "content"}});
  std::string block = packBlock("content", PackRequest::Compress);
  const std::pair<const char*, std::string> cases[] = {
      {"wrong_magic", "\xBE\xAD\xBC\xB7\xB6\xA9\xBA\xFE"s + good.substr(8)},
      {"index_cut_short", good.substr(0, 20)},
      {"index_not_a_block", good.substr(0, 12) + "\x09\0\0\0"s + good.substr(16)},
      {"count_beyond_records", withIndex(count(2) + record("x", 0, uint32_t(block.size())), block)},
      {"huge_count", withIndex(count(0xFFFFFFFF) + record("x", 0, 1), block)},
      {"record_beyond_file",
       withIndex(count(1) + record("x", 0, uint32_t(block.size()) + 1), block)},
      {"offset_beyond_file", withIndex(count(1) + record("x", 0xFFFFFFF0, 16), block)},
  };
  for (const auto& [name, bytes] : cases) {
    dir_.write("bad.arc", bytes);
    EXPECT_FALSE(archives_.add("bad.arc")) << name;
    EXPECT_FALSE(read("x")) << name;
  }
  EXPECT_FALSE(archives_.add("missing.arc"));
}

// ARC_ registers in the engine that runs it: another engine does not see the archive.
TEST(ArchiveCommands, EachEngineReadsOnlyTheArchivesItsScriptsRegistered) {
  const std::string archive = archiveOf({{"next.eve", test::crlf({"CALN,=___,$n__seen,%n__7"})}});
  test::PlayerFixture first;
  first.dir().write("data.arc", archive);
  first.runScript({"ARC_,ADD_,%s__data.arc", "CONT,%s__next.eve"});
  test::PlayerFixture second;
  second.dir().write("data.arc", archive);
  second.runScript({"CALN,=___,$n__seen,%n__0", "CONT,%s__next.eve"});
  EXPECT_EQ(first.intVar("seen"), 7);
  EXPECT_EQ(second.intVar("seen"), 0);
}

}  // namespace
}  // namespace avg
