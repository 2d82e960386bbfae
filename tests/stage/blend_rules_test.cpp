// Which blend draws a sprite part, checked on real pixels.
#include "stage/blend_rules.h"
#include "graphics/blit.h"

#include <gtest/gtest.h>

namespace avg {
namespace {

constexpr uint32_t kDestination = 0x00646464;
constexpr uint32_t kHalfOpaque = 0x80C86432;  // alpha 128, red 200, green 100, blue 50
constexpr uint32_t kGreen = 0xFF00FF00;       // the colour key

struct BlendCase {
  int32_t mode;
  bool alphaChannel;
  uint8_t alpha;
  uint32_t source;
  uint32_t expected;  // colour bytes of the destination afterwards
};

class PartBlendTable : public testing::TestWithParam<BlendCase> {};

// Draws a one-pixel picture (its alpha byte cleared unless it has an alpha channel) with the
// part blend onto a one-pixel destination.
TEST_P(PartBlendTable, ModeAlphaChannelAndOpacityChooseTheOperation) {
  const BlendCase& c = GetParam();
  Surface picture;
  picture.create(1, 1);
  picture.fill(c.alphaChannel ? c.source : c.source & 0xFFFFFF);
  picture.setAlphaChannel(c.alphaChannel);
  picture.setColorKey(0x00FF00);
  Surface target;
  target.create(1, 1);
  target.fill(kDestination);
  std::optional<Blend> blend = partBlend(c.mode, c.alphaChannel, c.alpha);
  if (blend) blit(target, picture, 0, 0, *blend);
  EXPECT_EQ(target.pixel(0, 0) & 0xFFFFFF, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Stage, PartBlendTable,
    testing::Values(
        // mode 0, alpha channel: alpha-channel blend with rates a and 255 - a
        BlendCase{0, true, 255, kHalfOpaque, 0x95634A},
        BlendCase{0, true, 128, kHalfOpaque, 0x7C6356},
        // mode 0, no alpha channel: opaque copy (key or not), or constant alpha a and 255 - a
        BlendCase{0, false, 255, kHalfOpaque, 0xC86432},
        BlendCase{0, false, 128, kHalfOpaque, 0x95634A}, BlendCase{0, false, 255, kGreen, 0x00FF00},
        // mode 1, alpha channel: additive with colour key, or alpha-channel a and 255
        BlendCase{1, true, 255, kHalfOpaque, 0xFFC896},
        BlendCase{1, true, 255, kGreen, kDestination},
        BlendCase{1, true, 128, kHalfOpaque, 0x957C6F},
        // mode 1, no alpha channel: additive without key, or constant alpha a and 255
        BlendCase{1, false, 255, kGreen, 0x64FF64}, BlendCase{1, false, 128, kHalfOpaque, 0xC7957C},
        // other modes draw nothing
        BlendCase{2, false, 255, kHalfOpaque, kDestination},
        BlendCase{-1, true, 128, kHalfOpaque, kDestination}));

}  // namespace
}  // namespace avg
