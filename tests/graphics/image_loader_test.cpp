#include "graphics/image_loader.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/image_io/sdl_image_codec.h"
#include "support/cursor_files.h"
#include "support/game_dir.h"
#include "support/png_files.h"

namespace avg {
namespace {

constexpr auto word = &test::littleEndian32;
constexpr auto halfword = &test::littleEndian16;

// The 2 × 2 picture every lossless test file holds, top row first, 0x00RRGGBB.
const uint32_t kPicture[4] = {0x00102030, 0x00FF0000, 0x0000FF00, 0x000000FF};

std::string cgd(uint32_t pixelBytes, uint32_t width, uint32_t height, std::string pixels) {
  return word(0x12345678) + word(7) + word(pixelBytes) + word(width) + word(height) + pixels;
}

std::string cgdPixels() {
  std::string pixels;
  for (uint32_t pixel : kPicture)
    pixels += word(pixel | 0x80000000);
  return pixels;
}

std::string bmp24() {
  std::string rows;
  for (int y = 1; y >= 0; --y) {  // bottom row first, each padded to 4 bytes
    for (int x = 0; x < 2; ++x) {
      uint32_t pixel = kPicture[y * 2 + x];
      rows +=
          {static_cast<char>(pixel), static_cast<char>(pixel >> 8), static_cast<char>(pixel >> 16)};
    }
    rows += std::string(2, '\0');
  }
  return "BM" + word(54 + rows.size()) + word(0) + word(54) + word(40) + word(2) + word(2) +
         halfword(1) + halfword(24) + word(0) + word(rows.size()) + word(2835) + word(2835) +
         word(0) + word(0) + rows;
}

// Uncompressed true-colour TGA with an alpha channel, rows top to bottom.
std::string tga32() {
  std::string header = {0, 0, 2, 0, 0, 0, 0, 0};
  header += halfword(0) + halfword(0) + halfword(2) + halfword(2);
  header += {32, 0x28};
  for (uint32_t pixel : kPicture)
    header += word(pixel | 0x40000000);
  return header;
}

// A 1 × 1 GIF whose only pixel is palette entry 0, red.
const char kGif[] =
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
    "\x00\x02\x02\x44\x01\x00;";

// kPicture as PNG, alpha bytes set to 0x80.
std::string png() {
  std::vector<uint32_t> pixels;
  for (uint32_t pixel : kPicture)
    pixels.push_back(pixel | 0x80000000);
  return test::pngImage(2, 2, pixels);
}

class ImageLoad : public testing::Test {
 protected:
  int load(const std::string& name) { return loadImage(surface_, name, *codec_); }

  test::TempGameDir dir_;
  std::unique_ptr<ImageCodec> codec_ = makeSdlImageCodec();
  Surface surface_;
};

TEST_F(ImageLoad, RawFormatKeepsAlphaBytesAndIsFoundAsGamesNameIt) {
  dir_.write("bg/Title.cgd", cgd(16, 2, 2, cgdPixels()));
  ASSERT_EQ(load("BG\\TITLE.CGD"), kImageLoaded);
  EXPECT_TRUE(surface_.hasAlphaChannel());
  EXPECT_EQ(surface_.colorKey(), kPicture[0]);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(surface_.pixel(i % 2, i / 2), kPicture[i] | 0x80000000);
}

struct DecodedCase {
  const char* name;
  std::function<std::string()> bytes;
};

std::string testName(const testing::TestParamInfo<DecodedCase>& info) {
  std::string name = info.param.name;
  std::replace(name.begin(), name.end(), '.', '_');
  return name;
}

class DecodedImage : public ImageLoad, public testing::WithParamInterface<DecodedCase> {};

TEST_P(DecodedImage, LoadsWithoutAlphaAndKeyedOnTheTopLeftPixel) {
  dir_.write(GetParam().name, GetParam().bytes());
  ASSERT_EQ(load(GetParam().name), kImageLoaded);
  EXPECT_FALSE(surface_.hasAlphaChannel());
  ASSERT_EQ(surface_.width(), 2);
  ASSERT_EQ(surface_.height(), 2);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(surface_.pixel(i % 2, i / 2), kPicture[i]) << i;
  EXPECT_EQ(surface_.colorKey(), kPicture[0]);
}

INSTANTIATE_TEST_SUITE_P(Formats, DecodedImage,
                         testing::Values(DecodedCase{"pic.bmp", bmp24},
                                         DecodedCase{"pic.TGA", tga32},
                                         DecodedCase{"named_wrongly.bmp", png}),
                         testName);

TEST_F(ImageLoad, GifTakesItsPalette) {
  dir_.write("pic.gif", std::string(kGif, sizeof kGif - 1));
  ASSERT_EQ(load("pic.gif"), kImageLoaded);
  EXPECT_EQ(surface_.width(), 1);
  EXPECT_EQ(surface_.pixel(0, 0), 0x00FF0000u);
  EXPECT_EQ(surface_.colorKey(), 0xFF0000u);
}

// Cursors take PNG pictures straight from the codec, which keeps the alpha bytes that
// loading clears.
TEST_F(ImageLoad, CodecKeepsPngAlpha) {
  const std::string bytes = png();
  Surface decoded;
  ASSERT_TRUE(codec_->decode({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, "png",
                             decoded));
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(decoded.pixel(i % 2, i / 2), kPicture[i] | 0x80000000) << i;
}

TEST_F(ImageLoad, MissingFileIsUnreadable) {
  surface_.create(3, 3);
  EXPECT_EQ(load("nothing.png"), kImageUnreadable);
  EXPECT_FALSE(surface_.loaded());
}

using BrokenCase = DecodedCase;
class BrokenImage : public ImageLoad, public testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenImage, FailsAndLeavesTheSurfaceEmpty) {
  surface_.create(3, 3);
  dir_.write(GetParam().name, GetParam().bytes());
  EXPECT_EQ(load(GetParam().name), kImageUndecodable);
  EXPECT_FALSE(surface_.loaded());
  EXPECT_EQ(surface_.width(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenImage,
    testing::Values(
        BrokenCase{"short_header.cgd", [] { return std::string(19, '\0'); }},
        BrokenCase{"sizes_disagree.cgd", [] { return cgd(12, 2, 2, cgdPixels()); }},
        BrokenCase{"pixels_cut_off.cgd", [] { return cgd(16, 2, 2, cgdPixels().substr(0, 15)); }},
        BrokenCase{"overflowing_size.cgd", [] { return cgd(0, 0x40000000, 4, cgdPixels()); }},
        BrokenCase{"header_only.bmp", [] { return bmp24().substr(0, 54); }},
        BrokenCase{"half.png", [] { return png().substr(0, png().size() / 2); }},
        BrokenCase{"cut.gif", [] { return std::string(kGif, 20); }}),
    testName);

// A 4-bit BMP of 118 bytes declaring 30000 × 30000 pixels (6.9 GB decoded).
std::string bmpBomb() {
  return "BM" + word(118) + word(0) + word(118) + word(40) + word(30000) + word(30000) +
         halfword(1) + halfword(4) + word(0) + word(0) + word(2835) + word(2835) + word(16) +
         word(0) + std::string(64, '\0');
}

// Pictures whose headers declare too much are refused before decoding: the child that loads
// them stays far below the memory their pixels would take, and each leaves a log line.
TEST_F(ImageLoad, OversizedHeadersAreRefusedBeforeDecoding) {
  ASSERT_EQ(bmpBomb().size(), 118u);
  dir_.write("bomb.bmp", bmpBomb());
  dir_.write("bomb.png", test::pngDeclaring(30000, 30000));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool refused =
        load("bomb.bmp") == kImageUndecodable && load("bomb.png") == kImageUndecodable;
    _exit(refused ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  rusage usage{};
  ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
  EXPECT_LT(usage.ru_maxrss, 300 * 1024);  // kilobytes
  const std::string log = dir_.read("ErrorLog.txt");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;
  EXPECT_NE(log.find("bomb.bmp (30000 x 30000)"), std::string::npos) << log;
  EXPECT_NE(log.find("bomb.png (30000 x 30000)"), std::string::npos) << log;
}

}  // namespace
}  // namespace avg
