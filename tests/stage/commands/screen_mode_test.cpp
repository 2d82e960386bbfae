// SCRE CHG_: switching between windowed and full-screen display from a script.
#include <gtest/gtest.h>

#include "platform/headless/headless_display.h"
#include "support/fake_services.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::PlayerFixture;

TEST(ScreenMode, SwitchSetsTheFlagToTheModeGivenAndKeepsItWhenUnchanged) {
  PlayerFixture player;
  player.runScript({"CALN,=___,$n__Flag-FullScreen,%n__7", "SCRE,CHG_,$n__same,%n__0",
                    "CALN,=___,$n__afterSame,$n__Flag-FullScreen", "SCRE,CHG_,$n__full,%n__2",
                    "CALN,=___,$n__afterFull,$n__Flag-FullScreen", "SCRE,CHG_,$n__still,%n__1",
                    "SCRE,CHG_,$n__window,%n__0", "CLOS"});
  const std::pair<const char*, int32_t> expected[] = {
      {"same", 1},  {"afterSame", 7}, {"full", 1},           {"afterFull", 2},
      {"still", 1}, {"window", 1},    {"Flag-FullScreen", 0}};
  for (const auto& [name, value] : expected)
    EXPECT_EQ(player.intVar(name), value) << name;
  EXPECT_EQ(player.boxes(), "");
}

// A display on which every mode change fails; it records the depths asked for.
class FailingDisplay : public HeadlessDisplay {
 public:
  explicit FailingDisplay(std::vector<int32_t>& depths) : depths_(depths) {}
  bool changeDisplay(bool, int32_t, int32_t, int32_t bitsPerPixel) override {
    depths_.push_back(bitsPerPixel);
    return false;
  }

 private:
  std::vector<int32_t>& depths_;
};

TEST(ScreenMode, FailedSwitchWarnsAndReportsZero) {
  test::TempGameDir dir;
  dir.write("autoexec.eve",
            test::crlf({"CALN,=___,$n__Flag-FullScreen,%n__5", "SCRE,CHG_,$n__result,%n__1",
                        "CALN,=___,$n__done,%n__1", "CLOS"}));
  std::ostringstream log;
  Platform platform = makeHeadlessPlatform(test::makeFakeServices(), {}, log);
  std::vector<int32_t> depths;
  platform.display = std::make_unique<FailingDisplay>(depths);
  PlayerApp app(platform, {});
  app.run();
  VariableStore& variables = app.engine().variables();
  EXPECT_EQ(*variables.ints.find("result"), 0);
  EXPECT_EQ(*variables.ints.find("done"), 1);
  EXPECT_EQ(*variables.ints.find("Flag-FullScreen"), 5);
  // The start asks for the window at 32, 24 and 16 bits (the game starts anyway), the
  // switch for full screen at 32 and 24.
  EXPECT_EQ(depths, (std::vector<int32_t>{32, 24, 16, 32, 24}));
  EXPECT_EQ(log.str(), "[messagebox] 警告 | 画面の切換に失敗しました -> ok\n");
}

}  // namespace
}  // namespace avg
