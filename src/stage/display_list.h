#pragma once
#include "script/engine.h"
#include "stage/object_stage.h"
#include "stage/sprite_set.h"
#include "stage/stage_view.h"

namespace avg {

// The stage as the engine holds it: the view, the sprite sets and the 2D objects. Every
// pass advances the animations by one tick before the scripts run.
class DisplayList : public EngineCompanion {
 public:
  StageView& view() { return view_; }
  SpriteSets& sprites() { return sprites_; }
  ObjectStage2D& objects() { return objects_; }

  void beforeThreads() override { objects_.tick(); }

 private:
  StageView view_;
  SpriteSets sprites_;
  ObjectStage2D objects_;
};

}  // namespace avg
