// Text images: the box average and colour order, and the FreeType rasterizer's extents.
#include <gtest/gtest.h>

#include "graphics/text_image.h"
#include "platform/freetype/freetype_rasterizer.h"
#include "stage/glyph.h"

namespace avg {
namespace {

TEST(TextImageTest, AlphaIsTheRoundedDownAverageOfEachTwoByTwoBlock) {
  TextRaster raster;
  raster.extent = {2, 1};
  // A 4 × 2 coverage map: blocks {255, 254, 1, 0} and {3, 0, 0, 0}.
  raster.coverage = {255, 254, 3, 0, 1, 0, 0, 0};
  Surface image;
  makeTextImage(raster, 0xFF0000FF, image);
  ASSERT_EQ(image.width(), 2);
  ASSERT_EQ(image.height(), 1);
  EXPECT_TRUE(image.hasAlphaChannel());
  EXPECT_EQ(image.pixel(0, 0), 0x7FFF0000u);  // (255 + 254 + 1 + 0) / 4 = 127, red
  EXPECT_EQ(image.pixel(1, 0), 0x00FF0000u);  // 3 / 4 rounds down to 0
  // A coverage map that does not fill the extent gives an empty image.
  raster.extent = {3, 3};
  makeTextImage(raster, 0xFFFFFFFF, image);
  EXPECT_FALSE(image.loaded());
}

TEST(TextImageTest, ColourOrderIsConvertedToPixelOrder) {
  const std::pair<uint32_t, uint32_t> cases[] = {{0xFF0000FF, 0xFF0000},
                                                 {0xFFFF0000, 0x0000FF},
                                                 {0x8000FF00, 0x00FF00},
                                                 {0xFFFFC0C0, 0xC0C0FF},
                                                 {0x00123456, 0x563412}};
  for (auto [colorRef, pixel] : cases)
    EXPECT_EQ(colorRefToPixel(colorRef), pixel) << std::hex << colorRef;
}

class RasterizerTest : public ::testing::Test {
 protected:
  std::unique_ptr<TextRasterizer> rasterizer_ = makeFreeTypeRasterizer();
  static constexpr std::string_view kFace = kDefaultFaceName;

  static int coveredPixels(const TextRaster& raster) {
    int count = 0;
    for (uint8_t value : raster.coverage)
      count += value > 128;
    return count;
  }
};

TEST_F(RasterizerTest, RasterIsTwiceTheMeasuredExtent) {
  const std::u32string texts[] = {U"Hello, world", U"mixed 混在"};
  for (const std::u32string& text : texts) {
    for (int32_t height : {12, 36}) {
      for (bool bold : {false, true}) {
        const FontRequest font{kFace, height, bold};
        const Size measured = rasterizer_->measure(text, font);
        const TextRaster raster = rasterizer_->rasterize(text, font);
        EXPECT_EQ(raster.extent, measured);
        EXPECT_EQ(measured.height, height);
        EXPECT_GT(measured.width, 0);
        EXPECT_EQ(raster.coverage.size(), static_cast<size_t>(measured.width) * height * 4);
        EXPECT_GT(coveredPixels(raster), 0);
      }
    }
  }
}

TEST_F(RasterizerTest, BoldIsWiderAndRenderingIsRepeatable) {
  const Size regular = rasterizer_->measure(U"日本語", {kFace, 18, false});
  const Size bold = rasterizer_->measure(U"日本語", {kFace, 18, true});
  EXPECT_GT(bold.width, regular.width);
  EXPECT_EQ(rasterizer_->rasterize(U"日本語", {kFace, 18, true}).coverage,
            makeFreeTypeRasterizer()->rasterize(U"日本語", {kFace, 18, true}).coverage);
}

TEST_F(RasterizerTest, MissingFacesFallBackToAJapaneseFace) {
  for (std::string_view face : {kFace, std::string_view("No Such Face"), std::string_view("")}) {
    EXPECT_GT(coveredPixels(rasterizer_->rasterize(U"あ", {face, 18, false})), 20) << face;
  }
  // Characters without glyphs are drawn visibly.
  EXPECT_GT(coveredPixels(rasterizer_->rasterize(U"\uFFFD", {kFace, 18, false})), 20);
}

TEST_F(RasterizerTest, SizesAreClampedAndBadSizesGiveNothing) {
  EXPECT_EQ(rasterizer_->measure(U"A", {kFace, 100000, false}).height, TextRasterizer::kMaxHeight);
  EXPECT_EQ(rasterizer_->measure(U"A", {kFace, 0, false}), Size{});
  EXPECT_EQ(rasterizer_->measure(U"A", {kFace, -18, false}), Size{});
  EXPECT_EQ(rasterizer_->measure(U"", {kFace, 18, false}), Size{});
  const std::u32string longText(5000, U'あ');
  const TextRaster raster = rasterizer_->rasterize(longText, {kFace, 256, false});
  EXPECT_EQ(raster.extent.width, TextRasterizer::kMaxWidth);
}

TEST(GlyphRendererTest, CacheStaysWithinItsBudget) {
  auto rasterizer = makeFreeTypeRasterizer();
  GlyphRenderer renderer(*rasterizer, std::string(kDefaultFaceName));
  const std::string big(20, 'M');
  for (int i = 0; i < 60; ++i)
    renderer.image(big + std::to_string(i), {120, 0, 0xFFFFFFFF});
  EXPECT_LE(renderer.cachedBytes(), GlyphRenderer::kCacheBytes);
  EXPECT_EQ(renderer.renderCount(), 60u);
}

}  // namespace
}  // namespace avg
