// The face of TEXT/FONT in config.ini reaches every text the game measures and renders (the
// menu bar keeps the desktop's menu face).
#include <gtest/gtest.h>

#include <set>

#include "app/player_app.h"
#include "platform/headless/headless_platform.h"
#include "support/fake_services.h"
#include "support/game_dir.h"

namespace avg {
namespace {

// Records the faces asked for.
class FaceRecorder : public test::BlockTextRasterizer {
 public:
  explicit FaceRecorder(std::set<std::string>& faces) : faces_(faces) {}
  Size measure(std::u32string_view text, const FontRequest& font) override {
    faces_.insert(std::string(font.face));
    return BlockTextRasterizer::measure(text, font);
  }

 private:
  std::set<std::string>& faces_;
};

std::set<std::string> facesUsedWith(const std::string& config) {
  test::TempGameDir dir;
  if (!config.empty()) dir.write("config.ini", config);
  dir.write("autoexec.eve", test::crlf({"MESS,SET_,%n__0", "MESS,ADD_,%s__abc", "NEXT", "CLOS"}));
  std::set<std::string> faces;
  HeadlessServices services = test::makeFakeServices();
  services.text = std::make_unique<FaceRecorder>(faces);
  std::ostringstream log;
  Platform platform = makeHeadlessPlatform(std::move(services), {}, log);
  PlayerApp(platform, {}).run();
  faces.erase(std::string(MenuBarView::kFace));
  return faces;
}

TEST(TextFace, ComesFromConfigInUtf8WithTheUsualDefault) {
  // "IPAゴシック" in CP932.
  EXPECT_EQ(facesUsedWith("[TEXT]\r\nFONT=IPA\x83\x53\x83\x56\x83\x62\x83\x4e\r\n"),
            std::set<std::string>{"IPAゴシック"});
  EXPECT_EQ(facesUsedWith(""), std::set<std::string>{"ＭＳ ゴシック"});
}

}  // namespace
}  // namespace avg
