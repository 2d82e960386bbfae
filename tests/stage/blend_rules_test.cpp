// Which blend draws a sprite part or a glyph, checked on real pixels.
#include "stage/blend_rules.h"

#include <gtest/gtest.h>

namespace avg {
namespace {

constexpr uint32_t kDestination = 0x00646464;
constexpr uint32_t kHalfOpaqueSource = 0x80C86432;  // alpha 128, red 200, green 100, blue 50

struct BlendCase {
  int32_t mode;
  bool alphaChannel;
  uint8_t alpha;
  uint32_t expected;  // colour bytes of the destination afterwards
};

// Draws a one-pixel picture (its alpha byte cleared unless it has an alpha channel) with the
// part blend onto a one-pixel destination.
uint32_t drawnPixel(const BlendCase& c, uint32_t source) {
  Surface picture;
  picture.create(1, 1);
  picture.fill(c.alphaChannel ? source : source & 0xFFFFFF);
  picture.setAlphaChannel(c.alphaChannel);
  picture.setColorKey(0x00FF00);
  Surface target;
  target.create(1, 1);
  target.fill(kDestination);
  std::optional<Blend> blend = partBlend(c.mode, c.alphaChannel, c.alpha);
  if (blend) target.blit(picture, 0, 0, *blend);
  return target.pixel(0, 0) & 0xFFFFFF;
}

class PartBlendTable : public testing::TestWithParam<BlendCase> {};

TEST_P(PartBlendTable, ModeAlphaChannelAndOpacityChooseTheOperation) {
  EXPECT_EQ(drawnPixel(GetParam(), kHalfOpaqueSource), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Stage, PartBlendTable,
    testing::Values(
        // mode 0, alpha channel: alpha-channel blend with rates a and 255 - a
        BlendCase{0, true, 255, 0x95634A}, BlendCase{0, true, 128, 0x7C6356},
        // mode 0, no alpha channel: opaque copy, or constant alpha a and 255 - a
        BlendCase{0, false, 255, 0xC86432}, BlendCase{0, false, 128, 0x95634A},
        // mode 1, alpha channel: additive with colour key, or alpha-channel a and 255
        BlendCase{1, true, 255, 0xFFC896}, BlendCase{1, true, 128, 0x957C6F},
        // mode 1, no alpha channel: additive, or constant alpha a and 255
        BlendCase{1, false, 255, 0xFFC896}, BlendCase{1, false, 128, 0xC7957C},
        // other modes draw nothing
        BlendCase{2, false, 255, kDestination}, BlendCase{-1, true, 128, kDestination}));

TEST(PartBlend, ColourKeyOnlyHoldsForAdditiveOnAlphaChannelPictures) {
  constexpr uint32_t kGreen = 0xFF00FF00;
  EXPECT_EQ(drawnPixel({1, true, 255, 0}, kGreen), kDestination);
  EXPECT_EQ(drawnPixel({1, false, 255, 0}, kGreen), 0x64FF64u);
  EXPECT_EQ(drawnPixel({0, false, 255, 0}, kGreen), 0x00FF00u);  // covers, key or not
}

TEST(GlyphBlend, AlphaChannelBlendInTheOwnersMode) {
  std::optional<Blend> normal = glyphBlend(0, 0x40);
  ASSERT_TRUE(normal);
  EXPECT_EQ(normal->kind, BlendKind::Alpha);
  EXPECT_EQ(normal->sourceRates, 0x404040u);
  EXPECT_EQ(normal->destRates, 0xBFBFBFu);
  std::optional<Blend> glow = glyphBlend(1, 255);
  ASSERT_TRUE(glow);
  EXPECT_EQ(glow->kind, BlendKind::Alpha);
  EXPECT_EQ(glow->destRates, 0xFFFFFFu);
  EXPECT_FALSE(glyphBlend(3, 255));
}

}  // namespace
}  // namespace avg
