// The display mode a recording fixes at start, in place of config.ini's.
#include <gtest/gtest.h>

#include <sstream>

#include "support/game_dir.h"

namespace avg {
namespace {

TEST(RunOptions, DisplayModeOverridesConfig) {
  for (bool fullScreen : {false, true}) {
    test::TempGameDir dir;
    dir.write("config.ini", fullScreen ? "" : "[SCREEN]\r\nFULL=1\r\n");
    dir.write("autoexec.eve", test::crlf({"CALN,=___,$n__full,$n__Flag-FullScreen", "QUIT"}));
    std::ostringstream log;
    Platform platform = makeHeadlessPlatform(test::makeFakeServices(), {}, log);
    RunOptions options;
    options.fullScreen = fullScreen;
    PlayerApp app(platform, options);
    app.run();
    EXPECT_EQ(*app.engine().variables().ints.find("full"), fullScreen ? 1 : 0);
  }
}

}  // namespace
}  // namespace avg
