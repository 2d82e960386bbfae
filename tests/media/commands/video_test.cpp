// VID_ on the headless player without a film decoder: which plays try to open their file
// (and fail, logged) and which return at once, quietly.
#include <gtest/gtest.h>

#include "support/game_dir.h"

namespace avg {
namespace {

TEST(VideoCommand, OnlyListedFilmsWithVideoEnabledAreOpened) {
  const std::string refused = "CMovieAVI::Open AviFile Open Error";
  struct Case {
    std::vector<std::string> lines;
    std::string config;
    std::string logged;
  };
  const Case cases[] = {
      {{"VID_,LIST,LOAD,%s__video.tbl", "VID_,PLAY,%s__op"}, "", refused},
      {{"VID_,LIST,LOAD,%s__video.tbl", "VID_,PLAY,%s__other"}, "", ""},
      {{"VID_,LIST,LOAD,%s__video.tbl", "VID_,LIST,CLE_", "VID_,PLAY,%s__op"}, "", ""},
      {{"VID_,LIST,LOAD,%s__missing.tbl", "VID_,PLAY,%s__op"}, "", ""},
      {{"VID_,LIST,LOAD,%s__video.tbl", "VID_,PLAY,%s__op"}, "[VIDEO]\r\nDISABLE=1\r\n", ""},
      {{"VID_,LIST,LOAD,%s__video.tbl", "VID_,XXXX,%s__op", "VID_,LIST,XXXX"}, "", ""},
  };
  for (const Case& c : cases) {
    test::PlayerFixture player;
    player.dir().write("config.ini", c.config);
    player.dir().write("video.tbl", test::crlf({"op,op.avi"}));
    std::vector<std::string> lines = c.lines;
    lines.insert(lines.end(), {test::mark("on"), "QUIT"});
    player.runScript(lines);
    EXPECT_EQ(player.stringVar("trace"), "on") << c.lines.back();
    const std::string log = player.errorLog();
    EXPECT_EQ(log.empty(), c.logged.empty()) << c.lines.back() << ": " << log;
    EXPECT_EQ(log.find(c.logged) != std::string::npos, true) << c.lines.back();
    EXPECT_EQ(player.app().passes(), 1u) << "the script went on at once";
  }
}

}  // namespace
}  // namespace avg
