#include "graphics/picture_header.h"

#include <gtest/gtest.h>

#include <string>

#include "support/png_files.h"

namespace avg {
namespace {

std::string le16(uint16_t value) {
  return {static_cast<char>(value), static_cast<char>(value >> 8)};
}

std::string le32(uint32_t value) {
  return le16(static_cast<uint16_t>(value)) + le16(static_cast<uint16_t>(value >> 16));
}

// The 14-byte file header and the start of an info header of `infoSize` bytes.
std::string bmpHeader(uint32_t infoSize, const std::string& sizes) {
  return "BM" + le32(0) + le32(0) + le32(54) + le32(infoSize) + sizes + std::string(8, '\0');
}

// SOI, an APP0 segment, then a baseline frame header (marker C0) or a progressive one (C2).
std::string jpeg(uint8_t frameMarker, uint16_t width, uint16_t height) {
  std::string app0 = "\xFF\xE0" + std::string{0, 4} + "JF";
  std::string frame = {'\xFF', static_cast<char>(frameMarker), 0, 11, 8};
  frame += {static_cast<char>(height >> 8), static_cast<char>(height),
            static_cast<char>(width >> 8), static_cast<char>(width)};
  return "\xFF\xD8" + app0 + frame + std::string(3, '\0');
}

std::string tga(uint16_t width, uint16_t height) {
  return std::string{0, 0, 2} + std::string(9, '\0') + le16(width) + le16(height) + "\x20\x28";
}

struct HeaderCase {
  const char* name;
  std::string bytes;
  const char* extension;
  std::optional<Size> expected;
};

class DeclaredSize : public testing::TestWithParam<HeaderCase> {};

TEST_P(DeclaredSize, IsReadFromTheHeaderAlone) {
  const std::string& bytes = GetParam().bytes;
  EXPECT_EQ(declaredPictureSize({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()},
                                GetParam().extension),
            GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DeclaredSize,
    testing::Values(
        HeaderCase{"png", test::pngDeclaring(30000, 7), "bmp", Size{30000, 7}},
        HeaderCase{"png_cut", test::pngDeclaring(3, 4).substr(0, 23), "png", std::nullopt},
        HeaderCase{"bmp_info", bmpHeader(40, le32(30000) + le32(30000)), "bmp", Size{30000, 30000}},
        HeaderCase{"bmp_top_down", bmpHeader(40, le32(5) + le32(0xFFFFFFFD)), "bmp", Size{5, 3}},
        HeaderCase{"bmp_int_min", bmpHeader(40, le32(1) + le32(0x80000000)), "bmp",
                   Size{1, INT32_MAX}},
        HeaderCase{"bmp_core", bmpHeader(12, le16(640) + le16(480) + le32(0)), "bmp",
                   Size{640, 480}},
        HeaderCase{"jpeg_baseline", jpeg(0xC0, 1024, 768), "jpg", Size{1024, 768}},
        HeaderCase{"jpeg_progressive", jpeg(0xC2, 65535, 1), "jpg", Size{65535, 1}},
        HeaderCase{"jpeg_scan_before_frame", "\xFF\xD8\xFF\xDA" + std::string(12, '\0'), "jpg",
                   std::nullopt},
        HeaderCase{"gif", "GIF89a" + le16(320) + le16(200) + std::string(3, '\0'), "gif",
                   Size{320, 200}},
        HeaderCase{"tga_by_extension", tga(4, 9), "TGA", Size{4, 9}},
        HeaderCase{"tga_unnamed", tga(4, 9), "dat", std::nullopt},
        HeaderCase{"cgd", le32(0) + le32(0) + le32(0) + le32(0xFFFFFFFF) + le32(2), "Cgd",
                   Size{INT32_MAX, 2}},
        HeaderCase{"cgd_cut", std::string(19, '\0'), "cgd", std::nullopt}),
    [](const auto& info) { return info.param.name; });

TEST(PictureSize, AllowedUpToTheSideAndByteLimits) {
  const struct {
    int64_t width;
    int64_t height;
    bool allowed;
  } cases[] = {{1, 1, true},         {16384, 4096, true}, {4096, 16384, true},
               {16384, 4097, false}, {16385, 1, false},   {1, 16385, false},
               {8193, 8192, false},  {0, 0, true},        {INT32_MAX, INT32_MAX, false}};
  for (const auto& c : cases)
    EXPECT_EQ(pictureSizeAllowed(c.width, c.height), c.allowed) << c.width << " x " << c.height;
}

}  // namespace
}  // namespace avg
