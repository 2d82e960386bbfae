#include "app/frame_hasher.h"

#include <gtest/gtest.h>

#include <sstream>

namespace avg {
namespace {

Surface picture(std::initializer_list<uint32_t> pixels) {
  Surface surface;
  if (pixels.size() == 0) return surface;
  surface.create(static_cast<int32_t>(pixels.size()), 1);
  std::copy(pixels.begin(), pixels.end(), surface.row(0));
  return surface;
}

// Expected values are FNV-1a 64 of the byte strings named, as any implementation gives them.
TEST(FrameHasher, PictureHashIsFnv1aOfTheRgbBytes) {
  EXPECT_EQ(pictureHash(picture({})), 0xCBF29CE484222325u);                        // ""
  EXPECT_EQ(pictureHash(picture({0xFF616263})), 0xE71FA2190541574Bu);              // "abc"
  EXPECT_EQ(pictureHash(picture({0x00616263, 0x00646566})), 0xD80BDA3FBE244A0Au);  // "abcdef"
}

TEST(FrameHasher, WritesFramesAndWholeSecondsThenTheRest) {
  std::ostringstream out;
  FrameHashWriter writer(out, 2);
  writer.frame(7, picture({0x616263}));
  const int16_t samples[] = {0x6261, -2, 7};
  writer.sound(samples, 3);
  writer.finish();
  writer.finish();
  EXPECT_EQ(out.str(),
            "7 e71fa2190541574b\n"
            "AUDIO 0 fdf02483ef98b799\n"    // bytes 61 62 fe ff
            "AUDIO 1 08285607b4e2c672\n");  // bytes 07 00
}

}  // namespace
}  // namespace avg
