#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/surface.h"
#include "graphics/blit.h"

namespace avg {
namespace {

Surface solid(int32_t width, int32_t height, uint32_t pixel) {
  Surface surface;
  surface.create(width, height);
  surface.fill(pixel);
  return surface;
}

// Every implementation of the blend family built in and runnable here.
std::vector<const BlendKernels*> allKernels() {
  std::vector<const BlendKernels*> kernels;
  for (BlendIsa isa : {BlendIsa::Scalar, BlendIsa::Sse2, BlendIsa::Avx2}) {
    if (const BlendKernels* found = blendKernelsFor(isa)) kernels.push_back(found);
  }
  return kernels;
}

std::string kernelName(const testing::TestParamInfo<const BlendKernels*>& info) {
  return info.param->name;
}

struct PixelCase {
  const char* name;
  Blend blend;
  uint32_t source;
  uint32_t dest;
  uint32_t expected;
  uint32_t colorKey = 0;
};

// Worked values of the blend arithmetic: saturation, alpha 0 and 255, rates per channel,
// and colour keys that only the keyed blend honours.
const PixelCase kPixelCases[] = {
    {"const_alpha_half_white_on_black", Blend::constAlpha(uniformRates(128), uniformRates(127)),
     0xFFFFFFFF, 0x00000000, 0x007F7F7F},
    {"const_alpha_glow_dims_destination", Blend::constAlpha(uniformRates(0), uniformRates(255)),
     0x00FFFFFF, 0xFF804020, 0x007F3F1F},
    {"const_alpha_saturates", Blend::constAlpha(uniformRates(255), uniformRates(255)), 0x00FFFFFF,
     0x00FFFFFF, 0x00FFFFFF},
    {"const_alpha_rates_per_channel", Blend::constAlpha(0x00FF8000, 0x000080FF), 0x00C8C8C8,
     0x00646464, 0x00C79663},
    // Factors of 255 still shift right by 8: an opaque pixel at full rates comes out one
    // step darker per non-zero channel, like the destination under alpha 0.
    {"alpha_opaque_full_rates", Blend::alpha(uniformRates(255), uniformRates(0)), 0xFF123456,
     0x00ABCDEF, 0x00113355},
    {"alpha_transparent_keeps_dimmed_destination", Blend::alpha(uniformRates(255), uniformRates(0)),
     0x00123456, 0x00FFFFFF, 0x00FEFEFE},
    {"alpha_half_additive_mode", Blend::alpha(uniformRates(255), uniformRates(255)), 0x80C8C8C8,
     0x00646464, 0x00C6C6C6},
    {"alpha_half_with_rates", Blend::alpha(uniformRates(200), uniformRates(55)), 0x80FF0080,
     0x0000FF80, 0x00639A7F},
    {"add_saturates", Blend::add(), 0xC8C8C8C8, 0x64646464, 0xFFFFFFFF},
    {"add_sums_all_four_bytes", Blend::add(), 0x01020304, 0x10203040, 0x11223344},
    {"add_ignores_colour_key", Blend::add(), 0x00112233, 0x00010101, 0x00122334, 0x112233},
    {"add_keyed_skips_key", Blend::addKeyed(), 0xAA112233, 0x00010101, 0x00010101, 0x112233},
    {"copy_takes_all_four_bytes", Blend::copy(), 0x80123456, 0x00FFFFFF, 0x80123456, 0x123456},
};

class BlendPixels : public testing::TestWithParam<const BlendKernels*> {};

TEST_P(BlendPixels, GiveTheWorkedValues) {
  for (const PixelCase& c : kPixelCases) {
    // Wide enough that vector implementations use whole vectors and a tail.
    Surface source = solid(13, 1, c.source);
    source.setColorKey(c.colorKey);
    Surface target = solid(13, 1, c.dest);
    blitWith(*GetParam(), target, source, 0, 0, c.blend);
    for (int32_t x = 0; x < 13; ++x) {
      ASSERT_EQ(target.pixel(x, 0), c.expected) << c.name << " at " << x;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Kernels, BlendPixels, testing::ValuesIn(allKernels()), kernelName);

// A source whose pixel (x, y) is 0x00YYXX, to see which source pixel landed where.
Surface coordinates(int32_t width, int32_t height) {
  Surface surface;
  surface.create(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      surface.row(y)[x] = static_cast<uint32_t>(y << 8 | x);
  }
  return surface;
}

constexpr uint32_t kUntouched = 0xFF0000FF;

// The target as rows of "source x,y" or "." for untouched pixels, split by '|'.
std::string picture(const Surface& target) {
  std::string rows;
  for (int32_t y = 0; y < target.height(); ++y) {
    for (int32_t x = 0; x < target.width(); ++x) {
      uint32_t pixel = target.pixel(x, y);
      rows += pixel == kUntouched ? std::string(".")
                                  : std::to_string(pixel & 0xFF) + std::to_string(pixel >> 8);
      rows += x + 1 < target.width() ? " " : y + 1 < target.height() ? "|" : "";
    }
  }
  return rows;
}

struct PlacementCase {
  const char* name;
  int32_t x;
  int32_t y;
  BlitArea area;
  const char* expected;  // rows split by '|'
  std::optional<Rect> targetClip = std::nullopt;
};

class BlitPlacement : public testing::TestWithParam<PlacementCase> {};

TEST_P(BlitPlacement, PutsSourcePixelsWhereExpected) {
  const PlacementCase& c = GetParam();
  Surface target = solid(4, 3, kUntouched);
  if (c.targetClip) target.setClipRect(*c.targetClip);
  blit(target, coordinates(3, 2), c.x, c.y, Blend::copy(), c.area);
  EXPECT_EQ(picture(target), c.expected);
}

const char* const kEmpty = ". . . .|. . . .|. . . .";

const PlacementCase kPlacements[] = {
    {"whole", 1, 1, {}, ". . . .|. 00 10 20|. 01 11 21"},
    {"cut_left", -2, 0, {}, "20 . . .|21 . . .|. . . ."},
    {"cut_bottom", 0, 2, {}, ". . . .|. . . .|00 10 20 ."},
    {"outside", 4, 0, {}, kEmpty},
    {"source_rect", 0, 0, {.source = Rect{1, 0, 3, 1}}, "10 20 . .|. . . .|. . . ."},
    {"empty_source_rect", 0, 0, {.source = Rect{1, 0, 1, 2}}, kEmpty},
    // A source rectangle reaching left of the source moves the picture along.
    {"source_left", 0, 0, {.source = Rect{-1, 0, 2, 1}}, ". 00 10 .|. . . .|. . . ."},
    {"given_clip", 0, 0, {.clip = Rect{1, 1, 2, 3}}, ". . . .|. 11 . .|. . . ."},
    {"huge_clip", 2, 1, {.clip = Rect{-5, -5, 50, 50}}, ". . . .|. . 00 10|. . 01 11"},
    {"target_clip", 0, 0, {}, ". . . .|. 11 21 .|. . . .", Rect{1, 1, 4, 2}},
    {"stretch_up", 0, 0, {Rect{0, 0, 2, 2}, Size{4, 3}}, "00 00 10 10|00 00 10 10|01 01 11 11"},
    {"stretch_down", 0, 0, {.destSize = Size{2, 1}}, "00 10 . .|. . . .|. . . ."},
    {"stretch_clip", -1, 0, {Rect{0, 0, 2, 2}, Size{4, 3}}, "00 10 10 .|00 10 10 .|01 11 11 ."},
    {"stretch_to_nothing", 0, 0, {.destSize = Size{0, 2}}, kEmpty},
    // Placements from hostile data: the origin moved by a source rectangle reaching far
    // outside the source passes the 32-bit range and must not wrap back onto the target.
    {"from_int_min", 0, 0, {.source = Rect{INT32_MIN, 0, 4, 4}}, kEmpty},
    {"far_right", INT32_MAX - 1, INT32_MAX - 1, {.source = Rect{-5, -5, 3, 2}}, kEmpty},
    {"far_left", INT32_MIN, 0, {Rect{INT32_MIN, 0, INT32_MAX, 2}}, "00 10 20 .|01 11 21 .|. . . ."},
    {"stretch_far", INT32_MIN + 4, 0, {{}, Size{INT32_MAX, 3}}, "20 20 20 .|20 20 20 .|21 21 21 ."},
    {"inverted_clip", 0, 0, {.clip = Rect{3, 3, 1, 1}}, kEmpty}};

INSTANTIATE_TEST_SUITE_P(Areas, BlitPlacement, testing::ValuesIn(kPlacements),
                         [](const auto& info) { return info.param.name; });

TEST(Surface, ColourKeyFromPixelInsideOnlyAndEmptySurfacesDrawNothing) {
  Surface surface = coordinates(3, 2);
  EXPECT_TRUE(surface.setColorKeyFromPixel(2, 1));
  EXPECT_EQ(surface.colorKey(), 0x000102u);
  EXPECT_FALSE(surface.setColorKeyFromPixel(-1, 0));
  EXPECT_EQ(surface.colorKey(), 0u);
  Surface empty;
  EXPECT_FALSE(empty.create(0, 10));
  Surface target = solid(2, 2, kUntouched);
  blit(target, empty, 0, 0, Blend::copy());
  EXPECT_EQ(target.pixel(0, 0), kUntouched);
  // Inverted and far-away areas fill nothing.
  for (const Rect& area : {Rect{2, 0, 1, 2}, Rect{INT32_MIN, INT32_MIN, INT32_MIN + 1, 0},
                           Rect{INT32_MAX, 0, INT32_MIN, 2}})
    target.fill(0, area);
  EXPECT_EQ(target.pixel(0, 0), kUntouched);
  EXPECT_EQ(target.pixel(1, 1), kUntouched);
  EXPECT_EQ((Rect{INT32_MIN, 0, INT32_MAX, 1}).width(), INT32_MAX);
  EXPECT_EQ((Rect{INT32_MAX, 0, INT32_MIN, 1}).width(), INT32_MIN);
}

// Scalar and vector implementations agree on random pictures, positions, clips, source
// rectangles and stretches, including widths that are not multiples of the vector width.
TEST(BlendImplementations, AgreeOnRandomBlits) {
  std::vector<const BlendKernels*> kernels = allKernels();
  std::mt19937 random(12345);
  auto between = [&](int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random);
  };
  auto randomSurface = [&](int32_t width, int32_t height) {
    Surface surface;
    surface.create(width, height);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        // Some pixels fully opaque, transparent or equal to the key, the rest random.
        uint32_t pixel = random();
        int kind = between(0, 5);
        if (kind == 0) pixel |= 0xFF000000;
        if (kind == 1) pixel &= 0x00FFFFFF;
        if (kind == 2) pixel = (pixel & 0xFF000000) | 0x00336699;
        surface.row(y)[x] = pixel;
      }
    }
    return surface;
  };
  const BlendKind kinds[] = {BlendKind::Copy, BlendKind::ConstAlpha, BlendKind::Add,
                             BlendKind::AddKeyed, BlendKind::Alpha};
  for (int round = 0; round < 400; ++round) {
    Surface source = randomSurface(between(1, 70), between(1, 6));
    source.setColorKey(0x336699);
    Surface original = randomSurface(between(1, 70), between(1, 6));
    Blend blend{kinds[round % 5], static_cast<uint32_t>(random()), static_cast<uint32_t>(random())};
    BlitArea area;
    if (between(0, 1)) {
      area.source = Rect{between(-3, source.width()), between(-2, source.height()),
                         between(0, source.width() + 3), between(0, source.height() + 2)};
    }
    if (between(0, 2) == 0) area.destSize = Size{between(0, 90), between(0, 8)};
    if (between(0, 1)) {
      area.clip = Rect{between(-5, 20), between(-2, 3), between(0, 80), between(0, 8)};
    }
    int32_t x = between(-20, 60);
    int32_t y = between(-3, 5);
    Surface expected = original;
    blitWith(*kernels[0], expected, source, x, y, blend, area);
    for (const BlendKernels* implementation : kernels) {
      Surface target = original;
      blitWith(*implementation, target, source, x, y, blend, area);
      for (int32_t row = 0; row < target.height(); ++row) {
        for (int32_t column = 0; column < target.width(); ++column) {
          ASSERT_EQ(target.pixel(column, row), expected.pixel(column, row))
              << implementation->name << " round " << round << " at " << column << "," << row;
        }
      }
    }
  }
}

TEST(BlendImplementations, VectorOnesAreBuiltIn) {
#if defined(__x86_64__)
  EXPECT_NE(blendKernelsFor(BlendIsa::Sse2), nullptr);
  EXPECT_STRNE(selectedBlendKernels().name, "scalar");
#endif
  EXPECT_NE(blendKernelsFor(BlendIsa::Scalar), nullptr);
}

}  // namespace
}  // namespace avg
