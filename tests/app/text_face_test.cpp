// The face of TEXT/FONT in config.ini reaches every text the game measures and renders (the
// menu bar keeps the desktop's menu face).
#include <gtest/gtest.h>

#include <set>

#include "app/player_app.h"
#include "platform/headless/headless_platform.h"
#include "support/game_dir.h"

namespace avg {
namespace {

// Records the faces asked for; every character is an empty cell.
class FaceRecorder : public TextRasterizer {
 public:
  Size measure(std::u32string_view text, const FontRequest& font) override {
    faces.insert(std::string(font.face));
    return {static_cast<int32_t>(text.size()) * font.height / 2, font.height};
  }
  TextRaster rasterize(std::u32string_view text, const FontRequest& font) override {
    TextRaster raster{measure(text, font), {}};
    raster.coverage.assign(static_cast<size_t>(raster.extent.width) * raster.extent.height * 4, 0);
    return raster;
  }
  std::set<std::string> faces;
};

std::set<std::string> facesUsedWith(const std::string& config) {
  test::TempGameDir dir;
  if (!config.empty()) dir.write("config.ini", config);
  dir.write("autoexec.eve", test::crlf({"MESS,SET_,%n__0", "MESS,ADD_,%s__abc", "NEXT", "CLOS"}));
  std::ostringstream log;
  Platform platform = makeHeadlessPlatform({}, log);
  auto recorder = std::make_unique<FaceRecorder>();
  FaceRecorder& faces = *recorder;
  platform.text = std::move(recorder);
  PlayerApp(platform, {}).run();
  faces.faces.erase(std::string(MenuBarView::kFace));
  return faces.faces;
}

TEST(TextFace, ComesFromConfigInUtf8WithTheUsualDefault) {
  // "IPAゴシック" in CP932.
  EXPECT_EQ(facesUsedWith("[TEXT]\r\nFONT=IPA\x83\x53\x83\x56\x83\x62\x83\x4e\r\n"),
            std::set<std::string>{"IPAゴシック"});
  EXPECT_EQ(facesUsedWith(""), std::set<std::string>{"ＭＳ ゴシック"});
}

}  // namespace
}  // namespace avg
