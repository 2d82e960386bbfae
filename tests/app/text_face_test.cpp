// The face of TEXT/FONT in config.ini reaches every text the game measures and renders (the
// menu bar keeps the desktop's menu face).
#include <gtest/gtest.h>

#include <set>

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
  std::set<std::string> faces;
  test::PlayerFixture player({}, [&] {
    HeadlessServices services = test::makeFakeServices();
    services.text = std::make_unique<FaceRecorder>(faces);
    return services;
  });
  if (!config.empty()) player.dir().write("config.ini", config);
  player.runScript({"MESS,SET_,%n__0", "MESS,ADD_,%s__abc", "NEXT", "CLOS"});
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
