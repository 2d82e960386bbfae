// The 2D__, SPR_, SCRE and FPS_ PASS commands on a headless player.
#include <gtest/gtest.h>

#include <tuple>

#include "stage/display_list.h"
#include "support/game_dir.h"

namespace avg {
namespace {

using test::crlf;
using test::PlayerFixture;

// "walk": three frames of 2 ticks; "dot": one part 100 units right of the origin.
const std::vector<std::string> kSpriteFile = {"#,walk,3",  "2,a.png,0,0,10,10",
                                              "2,a.png",   "2,a.png",
                                              "#,dot,1,0", "1,a.png,0,0,0,0,0,0,FFFFFFFF,0,100,0"};

class StageCommands : public testing::Test {
 protected:
  void run(std::vector<std::string> lines) {
    player_.dir().write("chars.spr", crlf(kSpriteFile));
    lines.insert(lines.begin(), "SPR_,LOAD,%s__chars,%s__chars.spr");
    lines.push_back("CLOS");
    player_.runScript(lines);
  }
  DisplayList& stage() { return player_.engine().companion<DisplayList>(); }
  ObjectStage2D& objects() { return stage().objects(); }
  DisplayObject2D& object(const std::string& name) {
    DisplayObject2D* found = objects().find(name);
    if (!found) throw std::runtime_error("no object " + name);
    return *found;
  }

  PlayerFixture player_;
};

TEST_F(StageCommands, AddTakesDefaultsAndBecomesCurrent) {
  run({"2D__,ADD_,%s__a,%s__chars,%s__walk",
       "2D__,ADD_,%s__b,%s__chars,%s__walk,%f__1.5,%f__-2,"
       "%n__7,%n__3"});
  const DisplayObject2D& a = object("a");
  const DisplayObject2D& b = object("b");
  EXPECT_EQ(std::tie(a.priority, a.setName, a.animationName),
            std::tuple(2147483647, "chars", "walk"));
  EXPECT_EQ(std::tie(b.x, b.y, b.priority, b.step), std::tuple(1.5f, -2.0f, 7, 3));
  EXPECT_EQ(objects().current(), &object("b"));
}

// A failed ADD_ and the DEL_ of the current object leave none current, so SET_ changes
// nothing until EDIT selects an object.
TEST_F(StageCommands, SetNeedsACurrentObject) {
  run({"2D__,ADD_,%s__a,%s__chars,%s__walk", "2D__,ADD_,%s__b,%s__chars,%s__nothing",
       "2D__,SET_,POS_,%f__5,%f__5", "2D__,ADD_,%s__c,%s__chars,%s__walk", "2D__,DEL_,%s__c",
       "2D__,SET_,POS_,%f__9,%f__9", "2D__,SET_,REF_", "2D__,EDIT,%s__a",
       "2D__,SET_,SCA_,%f__4,%f__4"});
  EXPECT_EQ(objects().size(), 1u);
  EXPECT_EQ(object("a").x, 0.0f);
  EXPECT_EQ(object("a").scaleX, 4.0f);
  EXPECT_EQ(objects().current(), &object("a"));
}

TEST_F(StageCommands, PlacementChangesTheObjectOnlyAfterRefresh) {
  run({"2D__,ADD_,%s__a,%s__chars,%s__walk", "2D__,SET_,POS_,%f__10,%f__20",
       "2D__,SET_,SCA_,%f__2,%f__3", "2D__,ADD_,%s__b,%s__chars,%s__dot",
       "2D__,SET_,POS_,%f__10.5,%f__20", "2D__,SET_,ROT_,%f__0,%f__0,%f__90", "2D__,SET_,REF_"});
  EXPECT_EQ(object("a").matrix, Matrix4::identity());
  EXPECT_EQ(object("a").scaleY, 3.0f);
  // The part 100 units right of b's origin is turned (in degrees) to 100 below it.
  const SpritePart& part = stage().sprites().findAnimation("chars", "dot")->frames[0][0];
  EXPECT_EQ(screenPosition(part.placement * object("b").matrix), (IntPoint{10, 120}));
}

TEST_F(StageCommands, SpriteSubCommandsChangeTheAnimation) {
  run({"2D__,ADD_,%s__a,%s__chars,%s__walk", "2D__,ADD_,%s__b,%s__chars,%s__walk",
       "2D__,SPR_,%s__a,%s__chars,%s__dot", "2D__,SET_,SPR_,%s__chars,%s__walk,%n__5",
       "2D__,SPR_,%s__missing,%s__chars,%s__dot"});
  EXPECT_EQ(object("a").animationName, "walk");
  EXPECT_EQ(object("a").step, 5);
  EXPECT_EQ(object("a").frame, 2);
  EXPECT_EQ(object("b").animationName, "walk");
  EXPECT_EQ(objects().current(), nullptr);
}

TEST_F(StageCommands, FramePassSkipsAnimationsAhead) {
  run({"2D__,ADD_,%s__a,%s__chars,%s__walk", "2D__,ADD_,%s__d,%s__chars,%s__dot", "FPS_,PASS,%n__5",
       "2D__,ADD_,%s__late,%s__chars,%s__walk", "FPS_,PASS,%n__6"});
  EXPECT_EQ(objects().find("a"), nullptr);
  EXPECT_EQ(object("late").frame, 2);
  EXPECT_EQ(object("d").frame, 0);
}

TEST_F(StageCommands, ClearingASetRemovesItsObjectsAtTheNextTick) {
  run({"2D__,ADD_,%s__a,%s__chars,%s__walk", "SPR_,CLE_,%s__chars", "NEXT",
       "SPR_,LOAD,%s__chars,%s__chars.spr", "2D__,ADD_,%s__b,%s__chars,%s__walk", "SPR_,CLE_",
       "NEXT", "2D__,ADD_,%s__c,%s__chars,%s__walk"});
  EXPECT_EQ(objects().size(), 0u);
  EXPECT_TRUE(stage().sprites().sets().empty());
}

TEST_F(StageCommands, ActivitySwitchesForOneSetOrAll) {
  run({"SPR_,ACTI,%s__chars", "SPR_,AUTO,%s__other,%n__1", "SPR_,SLEE,%s__third", "SPR_,ACTI",
       "SPR_,SLEE,%s__chars", "SPR_,AUTO,%n__2"});
  std::map<std::string, SpriteSet>& sets = stage().sprites().sets();
  ASSERT_EQ(sets.size(), 3u);
  EXPECT_EQ(sets["chars"].active, 0);
  EXPECT_EQ(sets["other"].active, 1);
  EXPECT_EQ(sets["third"].active, 1);
  for (auto& [name, set] : sets)
    EXPECT_EQ(set.autoRelease, 2) << name;
  EXPECT_NE(sets["chars"].findAnimation("walk"), nullptr);
}

TEST_F(StageCommands, ScreenCentreIsReadAndSetAndRefreshed) {
  run({"SCRE,GET_,CENT,$f__x0,$f__y0", "SCRE,SET_,CENT,%f__0,%f__10",
       "SCRE,GET_,CENT,$f__x1,$f__y1", "SCRE,SET_,SIZE,%f__99,%f__99", "SCRE,GET_,SIZE,$f__x2",
       "SCRE,XXXX", "SCRE,REF_"});
  for (const auto& [name, value] :
       {std::pair{"x0", 320.0f}, {"y0", 240.0f}, {"x1", 0.0f}, {"y1", 10.0f}, {"x2", 0.0f}})
    EXPECT_EQ(player_.floatVar(name), value) << name;
  EXPECT_EQ(screenPosition(stage().view().viewMatrix()), (IntPoint{0, 10}));
}

}  // namespace
}  // namespace avg
