// What a run takes from its options rather than from the game: the display mode a recording
// fixes, and every composed frame for the hash file.
#include <gtest/gtest.h>

#include <sstream>

#include "support/game_dir.h"

namespace avg {
namespace {

TEST(RunOptions, DisplayModeOverridesConfigAndEveryFrameIsHandedOver) {
  for (bool fullScreen : {false, true}) {
    test::TempGameDir dir;
    dir.write("config.ini", fullScreen ? "" : "[SCREEN]\r\nFULL=1\r\n");
    dir.write("autoexec.eve",
              test::crlf({"CALN,=___,$n__full,$n__Flag-FullScreen", "NEXT", "NEXT", "QUIT"}));
    std::ostringstream log;
    Platform platform = makeHeadlessPlatform(test::makeFakeServices(), {}, log);
    std::vector<uint64_t> passes;
    RunOptions options;
    options.fullScreen = fullScreen;
    options.everyFrame = true;
    options.onFrame = [&](uint64_t pass, const Surface& picture) {
      passes.push_back(pass);
      EXPECT_EQ(picture.width(), Display::kWidth);
    };
    PlayerApp app(platform, options);
    app.run();
    EXPECT_EQ(*app.engine().variables().ints.find("full"), fullScreen ? 1 : 0);
    EXPECT_EQ(passes, (std::vector<uint64_t>{1, 2}));  // pass 3 ran QUIT and drew nothing
  }
}

}  // namespace
}  // namespace avg
