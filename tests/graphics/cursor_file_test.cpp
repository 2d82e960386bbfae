// Cursor files built in memory: bitmap depths and masks, PNG images, the choice among
// entries, hot spots, animated cursors and damaged files.
#include "graphics/cursor_file.h"

#include <gtest/gtest.h>

#include "support/cursor_files.h"
#include "support/fake_services.h"
#include "support/png_files.h"

namespace avg {
namespace {

using test::CursorBitmap;
using test::cursorBitmap;
using test::CursorEntry;
using test::cursorFile;
using test::iconContainer;
using test::littleEndian32;

std::string chunk(const std::string& id, const std::string& data) {
  return id + littleEndian32(data.size()) + data + std::string(data.size() % 2, '\0');
}

// An animated cursor with the frames in its "fram" list, behind an odd-sized "INFO" list.
std::string animatedCursor(const std::vector<std::string>& frames) {
  std::string icons;
  for (const std::string& frame : frames)
    icons += chunk("icon", frame);
  std::string body = "ACON" + chunk("LIST", "INFOtitle") + chunk("anih", std::string(36, '\0')) +
                     chunk("LIST", "fram" + icons);
  return "RIFF" + littleEndian32(body.size()) + body;
}

// A square black bitmap entry at `bitsPerPixel`, told apart by its hot spot.
CursorEntry squareEntry(int32_t side, int32_t bitsPerPixel, uint16_t hot) {
  CursorBitmap bitmap{.width = side, .height = side, .bitsPerPixel = bitsPerPixel};
  if (bitsPerPixel <= 8) bitmap.palette = {0};
  bitmap.colours.assign(static_cast<size_t>(side * side), 0);
  return {static_cast<uint8_t>(side), static_cast<uint8_t>(side), hot, hot, cursorBitmap(bitmap)};
}

class CursorFile : public testing::Test {
 protected:
  std::optional<CursorImage> decode(const std::string& bytes) const {
    return decodeCursorFile({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, codec_);
  }

  static std::vector<uint32_t> pixelsOf(const CursorImage& cursor) {
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < cursor.pixels.height(); ++y) {
      for (int32_t x = 0; x < cursor.pixels.width(); ++x)
        pixels.push_back(cursor.pixels.pixel(x, y));
    }
    return pixels;
  }

  test::FakeImageCodec codec_;
};

const uint32_t kTransparent = 0;
const uint32_t kBlack = 0xFF000000;
const uint32_t kWhite = 0xFFFFFFFF;

TEST_F(CursorFile, BitmapsDecodeToStraightAlphaTopRowFirst) {
  struct Case {
    const char* name;
    CursorBitmap bitmap;
    std::vector<uint32_t> expected;
  };
  // Bitmaps as {width, height, bits per pixel, palette, colours, mask}.
  const Case cases[] = {
      {"alpha32_ignores_mask",
       {2, 2, 32, {}, {0x80FF0000, 0x00123456, 0xFF00FF00, 0x400000FF}, {1, 0, 1, 0}},
       {0x80FF0000, 0x00123456, 0xFF00FF00, 0x400000FF}},
      {"zero_alpha32_uses_mask",
       {2, 1, 32, {}, {0x00112233, 0}, {0, 1}},
       {0xFF112233, kTransparent}},
      // Black, white, transparent, inverting.
      {"monochrome",
       {4, 1, 1, {0, 0xFFFFFF}, {0, 1, 0, 1}, {0, 0, 1, 1}},
       {kBlack, kWhite, kTransparent, kBlack}},
      {"palette4_odd_width",
       {3, 1, 4, {0x0000FF, 0x00FF00, 0xFF0000}, {2, 1, 0}, {}},
       {0xFFFF0000, 0xFF00FF00, 0xFF0000FF}},
      {"rgb24_odd_width",
       {3, 2, 24, {}, {0xABCDEF, 0x010203, 0, 0xFFFFFF, 0, 0x808080}, {0, 0, 1, 0, 0, 0}},
       {0xFFABCDEF, 0xFF010203, kTransparent, kWhite, kBlack, 0xFF808080}}};
  for (const Case& c : cases) {
    std::optional<CursorImage> cursor = decode(cursorFile(c.bitmap, 0, 0));
    ASSERT_TRUE(cursor) << c.name;
    EXPECT_EQ(cursor->pixels.width(), c.bitmap.width) << c.name;
    EXPECT_EQ(pixelsOf(*cursor), c.expected) << c.name;
  }
}

TEST_F(CursorFile, HotSpotComesFromCursorDirectoryOrIconCentre) {
  struct Case {
    uint16_t type, hotX, hotY;
    int32_t expectedX, expectedY;
  };
  const CursorBitmap bitmap{.width = 6, .height = 4, .colours = std::vector<uint32_t>(24)};
  for (const Case& c : {Case{2, 5, 3, 5, 3}, Case{2, 9, 40, 5, 3}, Case{1, 1, 1, 3, 2}}) {
    std::optional<CursorImage> cursor =
        decode(iconContainer({{6, 4, c.hotX, c.hotY, cursorBitmap(bitmap)}}, c.type));
    ASSERT_TRUE(cursor) << c.type;
    EXPECT_EQ(cursor->hotX, c.expectedX) << c.type << " " << c.hotX;
    EXPECT_EQ(cursor->hotY, c.expectedY) << c.type << " " << c.hotY;
  }
}

TEST_F(CursorFile, ChoosesTheEntryNearest32ThenTheDeepest) {
  struct Case {
    const char* name;
    std::vector<CursorEntry> entries;
    int32_t chosenHot;
  };
  const std::vector<Case> cases = {
      {"exact_size_wins",
       {squareEntry(16, 32, 1), squareEntry(32, 1, 2), squareEntry(48, 32, 3)},
       2},
      {"deeper_of_same_size",
       {squareEntry(32, 4, 1), squareEntry(32, 24, 2), squareEntry(32, 8, 3)},
       2},
      // A side of 0 stands for 256, which is farther than 64.
      {"zero_side_is_256", {squareEntry(256, 32, 1), squareEntry(64, 32, 2)}, 2},
  };
  for (const Case& c : cases) {
    std::optional<CursorImage> cursor = decode(iconContainer(c.entries));
    ASSERT_TRUE(cursor) << c.name;
    EXPECT_EQ(cursor->hotX, c.chosenHot) << c.name;
  }
}

TEST_F(CursorFile, PngEntryKeepsItsAlphaAndAnimatedCursorShowsItsFirstFrame) {
  const std::vector<uint32_t> pixels = {0xFF102030, 0x00000000, 0x80FF0000, 0xFFFFFFFF};
  std::optional<CursorImage> cursor =
      decode(iconContainer({{2, 2, 1, 1, test::pngImage(2, 2, pixels)}}));
  ASSERT_TRUE(cursor);
  EXPECT_EQ(pixelsOf(*cursor), pixels);
  EXPECT_EQ(cursor->hotX, 1);
  const CursorBitmap red{.width = 1, .height = 1, .colours = {0xFFFF0000}};
  const CursorBitmap blue{.width = 1, .height = 1, .colours = {0xFF0000FF}};
  cursor = decode(animatedCursor({cursorFile(red, 0, 0), cursorFile(blue, 0, 0)}));
  ASSERT_TRUE(cursor);
  EXPECT_EQ(pixelsOf(*cursor), std::vector<uint32_t>{0xFFFF0000});
}

// `file` with the 32-bit word at `offset` replaced.
std::string patched(std::string file, size_t offset, uint32_t word) {
  return file.replace(offset, 4, littleEndian32(word));
}

TEST_F(CursorFile, RefusesDamagedFiles) {
  const CursorBitmap bitmap{.width = 3, .height = 2, .colours = std::vector<uint32_t>(6)};
  const std::string good = cursorFile(bitmap, 0, 0);
  constexpr size_t kOffsetField = 18;  // the directory entry's image offset
  constexpr size_t kImage = 22;        // the bitmap header
  std::string widePng = test::pngImage(2, 2, std::vector<uint32_t>(4));
  widePng[16 + 2] = 1;  // width 0x102 in the big-endian header
  const std::pair<const char*, std::string> cases[] = {
      {"reserved_not_zero", "\x01" + good.substr(1)},
      {"type_3", patched(good, 2, 3)},
      {"no_entries", good.substr(0, 4) + std::string(2, '\0') + good.substr(6)},
      {"offset_past_end", patched(good, kOffsetField, good.size())},
      {"header_size_huge", patched(good, kImage, 0xFFFFFFFF)},
      {"width_zero", patched(good, kImage + 4, 0)},
      {"height_zero", patched(good, kImage + 8, 1)},
      {"depth_16", patched(good, kImage + 12, 16 << 16 | 1)},
      {"compressed", patched(good, kImage + 16, 1)},
      {"palette_too_long",
       cursorFile(
           {.width = 1, .height = 1, .bitsPerPixel = 1, .palette = {0, 0, 0}, .colours = {0}}, 0,
           0)},
      {"png_too_wide", iconContainer({{2, 2, 0, 0, widePng}})},
      {"riff_not_acon", "RIFF" + littleEndian32(4) + "AVI "},
      {"ani_without_frames", "RIFF" + littleEndian32(4) + "ACON" + chunk("anih", "")},
  };
  for (const auto& [name, bytes] : cases)
    EXPECT_FALSE(decode(bytes)) << name;
}

TEST_F(CursorFile, RefusesEveryCutShortFile) {
  const CursorBitmap bitmap{
      .width = 3, .height = 2, .bitsPerPixel = 8, .palette = {0, 1}, .colours = {0, 1, 0, 1, 0, 1}};
  for (const std::string& file :
       {cursorFile(bitmap, 0, 0), animatedCursor({cursorFile(bitmap, 0, 0)})}) {
    ASSERT_TRUE(decode(file));
    for (size_t length = 0; length < file.size(); ++length)
      EXPECT_FALSE(decode(file.substr(0, length))) << length;
  }
}

}  // namespace
}  // namespace avg
