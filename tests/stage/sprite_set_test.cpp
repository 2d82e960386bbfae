// Sprite definition files: headers, part rows, defaults, the timeline and bad input.
#include "stage/sprite_set.h"

#include <gtest/gtest.h>

#include <tuple>

#include "script/archive.h"
#include "stage/stage_view.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::crlf;

SpriteSet setFrom(const std::vector<std::string>& lines) {
  TableRows rows;
  parseTable(crlf(lines), ArchiveSet(), rows);
  SpriteSet set;
  set.build(rows);
  return set;
}

const SpriteAnimation& animationOf(const SpriteSet& set, const std::string& name) {
  static const SpriteAnimation kNone;
  auto animation = set.findAnimation(name);
  return animation ? *animation : kNone;
}

TEST(SpriteFile, TimedRowsBuildTheTimeline) {
  SpriteSet set = setFrom({"#anim,walk,3,0", "4,a.png", "4,a.png", "8,b.png"});
  const SpriteAnimation& walk = animationOf(set, "walk");
  EXPECT_EQ(walk.length, 16);
  EXPECT_EQ(walk.loopStep, 0);
  const int32_t expected[][2] = {{-1, -1}, {0, 0}, {3, 0}, {4, 1}, {9, 2}, {15, 2}, {16, -1}};
  for (const auto& [tick, frame] : expected)
    EXPECT_EQ(walk.frameIndexAt(tick), frame) << "tick " << tick;
}

TEST(SpriteFile, HeaderDefaultsToOneFrameWithoutLoopAndRepeatedHeaderResets) {
  SpriteSet set = setFrom({"#", "#,short,1,5", "7,a.png", "#,short", "2,a.png"});
  EXPECT_EQ(animationOf(set, "short").frames.size(), 1u);
  EXPECT_EQ(animationOf(set, "short").loopStep, -1);
  EXPECT_EQ(animationOf(set, "short").length, 2);
  EXPECT_NE(set.findAnimation(""), nullptr);  // a header without a name names ""
}

TEST(SpriteFile, DashRowsAddPartsAndTimedRowsGrowTheAnimation) {
  SpriteSet set = setFrom({"-,x.png", "#,a,1", "4,a.png", "-,b.png", "2,a.png", "1,a.png", "#,b",
                           "-,y.png", "3,a.png"});
  const SpriteAnimation& a = animationOf(set, "a");
  ASSERT_EQ(a.frames.size(), 3u);  // more timed rows than the header's frames
  EXPECT_EQ(a.frames[0].size(), 2u);
  EXPECT_EQ(a.frames[1].size(), 1u);
  EXPECT_EQ(a.length, 7);
  EXPECT_EQ(a.frameIndexAt(4), 1);
  EXPECT_EQ(a.frameIndexAt(6), 2);
  // A dash row before any timed row is ignored.
  EXPECT_EQ(animationOf(set, "b").frames.at(0).size(), 1u);
  EXPECT_EQ(set.images().count("x.png") + set.images().count("y.png"), 0u);
}

TEST(SpriteFile, PartFieldsAndTheirDefaults) {
  SpriteSet set =
      setFrom({"#,a", "1,a.png,0,0,64,32", "-,a.png,1,2,3,4,0,0,80FFFFFF,1",
               "-,a.png,0,0,1,1,0,0,80ffffff", "-,a.png,0,0,1,1,0,0,FFF", "-,a.png,1,2,3"});
  const SpriteFrame& frame = animationOf(set, "a").frames[0];
  ASSERT_EQ(frame.size(), 5u);
  // Colours of fewer than eight digits read as 0; five fields give no rectangle.
  const std::tuple<Rect, uint32_t, int32_t> expected[] = {{{0, 0, 64, 32}, 0xFFFFFFFF, 0},
                                                          {{1, 2, 3, 4}, 0x80FFFFFF, 1},
                                                          {{0, 0, 1, 1}, 0x80FFFFFF, 0},
                                                          {{0, 0, 1, 1}, 0, 0},
                                                          {{}, 0xFFFFFFFF, 0}};
  for (size_t i = 0; i < frame.size(); ++i)
    EXPECT_EQ(std::tie(frame[i].source, frame[i].color, frame[i].blendMode), expected[i]) << i;
}

TEST(SpriteFile, PartPivotScaleRotationAndPosition) {
  const std::pair<std::string, IntPoint> cases[] = {
      {"1,a.png,10,10,74,42,4,-6", {-36, -10}},
      {"1,a.png,0,0,64,32,0,0,FFFFFFFF,0,100,50", {68, 34}},
      {"1,a.png,0,0,64,32,0,0,FFFFFFFF,0,100,50,2,3", {36, 2}},
      // A quarter roll turns the pivot offset (-32, -16) into (16, -32).
      {"1,a.png,0,0,64,32,0,0,FFFFFFFF,0,0,0,1,1,0,0,90", {16, -32}}};
  for (const auto& [row, origin] : cases) {
    SpriteSet set = setFrom({"#,a", row});
    EXPECT_EQ(screenPosition(animationOf(set, "a").frames.at(0).at(0).placement), origin) << row;
  }
}

TEST(SpriteFile, PartsNamingOneFileShareOneHandle) {
  SpriteSet set = setFrom({"#,a", "1,one.png", "-,two.png", "#,b", "1,one.png"});
  EXPECT_EQ(set.images().size(), 2u);
  EXPECT_EQ(animationOf(set, "a").frames[0][0].image, animationOf(set, "b").frames[0][0].image);
  EXPECT_NE(animationOf(set, "a").frames[0][0].image, animationOf(set, "a").frames[0][1].image);
}

TEST(SpriteFile, BadInputNeitherCrashesNorAllocatesWithoutBound) {
  SpriteSet set = setFrom({"5,before-any-header.png", "#,huge,2000000000,x", "x", "abc,a.png",
                           "-5,a.png", "2147483647,a.png", "9,a.png", "#,negative,-7",
                           "3,a.png,z,z,z,z,z,z,z,z,z,z,z,z,z,z,z"});
  const SpriteAnimation& huge = animationOf(set, "huge");
  EXPECT_LE(huge.frames.capacity(), 1024u);
  EXPECT_EQ(huge.loopStep, 0);  // "x" has no digits
  // "abc" and "-5" last no tick; the third row reaches the largest tick, where the timeline
  // stops.
  EXPECT_EQ(huge.frames.size(), 4u);
  EXPECT_EQ(huge.length, 2147483647);
  EXPECT_EQ(huge.frameIndexAt(0), 2);
  EXPECT_EQ(huge.frameIndexAt(2147483646), 2);
  EXPECT_EQ(animationOf(set, "negative").length, 3);
  EXPECT_EQ(animationOf(set, "negative").frames[0][0].source, Rect{});
}

TEST(SpriteSetFile, LoadingTheSameFileAgainReadsNothing) {
  test::TempGameDir dir;
  dir.write("chars.spr", crlf({"#,a", "1,a.png"}));
  SpriteSet set;
  ArchiveSet archives;
  set.load("chars.spr", archives);
  dir.write("chars.spr", crlf({"#,b", "1,a.png"}));
  set.load("chars.spr", archives);
  EXPECT_NE(set.findAnimation("a"), nullptr);
  EXPECT_EQ(set.findAnimation("b"), nullptr);
  set.load("missing.spr", archives);
  EXPECT_TRUE(set.animations().empty());
  EXPECT_EQ(set.fileName(), "missing.spr");
}

TEST(SpriteSetFile, ClearingLetsGoOfTheAnimations) {
  SpriteSet set = setFrom({"#,a", "1,a.png"});
  std::weak_ptr<const SpriteAnimation> watched = set.findAnimation("a");
  set.active = 1;
  set.clear();
  EXPECT_TRUE(watched.expired());
  EXPECT_TRUE(set.images().empty());
  EXPECT_EQ(set.active, 1);
}

}  // namespace
}  // namespace avg
