#include "save/packed_block.h"

#include <gtest/gtest.h>

#include <random>

#include "save/lzss.h"

namespace avg {
namespace {

using namespace std::string_literals;

uint32_t modeOf(const std::string& block) {
  return readLE32(block.data() + 4);
}

std::string randomBytes(size_t size) {
  std::mt19937 random(11);
  std::string bytes(size, '\0');
  for (char& c : bytes)
    c = static_cast<char>(random());
  return bytes;
}

std::string header(uint32_t total, uint32_t mode, uint32_t size) {
  std::string out;
  for (uint32_t value : {total, mode, size})
    appendLE32(out, value);
  return out;
}

// Content whose compressed size is exactly the content size minus `saving`: a run of zeros
// (a few references) followed by random bytes (one flag byte per eight).
std::string contentSaving(size_t saving) {
  std::string random = randomBytes(4000);
  for (size_t tail = 0; tail < random.size(); ++tail) {
    std::string content = std::string(300, '\0') + random.substr(0, tail);
    if (lzssCompress(content, SIZE_MAX)->size() + saving == content.size()) return content;
  }
  ADD_FAILURE() << "no content saves " << saving;
  return {};
}

struct RoundTripCase {
  const char* name;
  std::string content;
  uint32_t compressMode;  // mode that Compress yields; CompressInverted adds the inversion
};

TEST(PackedBlock, RoundTripsEveryModeAndSize) {
  const RoundTripCase cases[] = {
      {"empty", "", 1},
      {"sixteen_bytes", std::string(16, 'a'), 1},
      {"seventeen_bytes", std::string(17, 'a'), 2},
      {"saves_nine", contentSaving(9), 2},
      {"saves_exactly_eight", contentSaving(8), 1},
      {"large_text", std::string(200000, 'x') + "MESS,ADD_\r\n", 2},
      {"random", randomBytes(100000), 1},
  };
  for (const RoundTripCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string compressed = packBlock(c.content, PackRequest::Compress);
    std::string inverted = packBlock(c.content, PackRequest::CompressInverted);
    std::string stored = packBlock(c.content, PackRequest::StoreInverted);
    EXPECT_EQ(modeOf(compressed), c.compressMode);
    EXPECT_EQ(modeOf(inverted), c.compressMode | 1);
    EXPECT_EQ(modeOf(stored), 1u);
    for (const std::string* block : {&compressed, &inverted, &stored}) {
      EXPECT_EQ(readLE32(block->data()), block->size());
      EXPECT_EQ(readLE32(block->data() + 8), c.content.size());
      EXPECT_TRUE(unpackBlock(*block) == c.content);
    }
  }
}

TEST(PackedBlock, StoresShortContentInvertedAndIgnoresTrailingBytes) {
  std::string block = packBlock("hello", PackRequest::Compress);
  EXPECT_EQ(block, header(17, 1, 5) + "\x97\x9A\x93\x93\x90");
  EXPECT_EQ(unpackBlock(block + "trailing"), "hello");  // bytes after the total are ignored
}

TEST(PackedBlock, RefusesInvalidBlocks) {
  const std::pair<const char*, std::string> cases[] = {
      {"shorter_than_header", "\x0C\0\0\0\x01\0\0\0"s},
      {"total_below_header", header(11, 1, 0)},
      {"total_beyond_bytes", header(20, 1, 0) + "abc"},
      {"mode_zero", header(12, 0, 0)},
      {"mode_four", header(12, 4, 0)},
      {"stored_payload_short", header(15, 1, 4) + "abc"},
      {"truncated_stream", header(15, 2, 5) + "\377ab"},
      {"size_far_beyond_stream", header(15, 3, 0x7FFFFFFF) + "\xFF\x11\x00"s},
  };
  for (const auto& [name, block] : cases)
    EXPECT_FALSE(unpackBlock(block)) << name;
}

}  // namespace
}  // namespace avg
