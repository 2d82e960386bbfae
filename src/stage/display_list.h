#pragma once
#include <array>

#include "base/surface.h"
#include "platform/image_codec.h"
#include "script/engine.h"
#include "stage/object_stage.h"
#include "stage/sprite_set.h"
#include "stage/stage_view.h"

namespace avg {

// What is drawn above all 2D objects, in this order.
enum class Overlay { EditBoxes, MessageWindows, Count };

// A collection drawn above the 2D objects (edit boxes, message windows).
class StageOverlay {
 public:
  virtual ~StageOverlay() = default;
  virtual void draw(Surface& target, const StageView& view) = 0;
};

// The stage as the engine holds it: the view, the sprite sets and the 2D objects. Every
// pass advances the animations by one tick before the scripts run; every drawn frame shows
// the 2D objects by priority, then the edit boxes, then the message windows.
class DisplayList : public EngineCompanion {
 public:
  explicit DisplayList(const ImageCodec& codec) : codec_(codec), sprites_(&codec) {}

  StageView& view() { return view_; }
  SpriteSets& sprites() { return sprites_; }
  ObjectStage2D& objects() { return objects_; }
  // The overlay drawn in `slot`; the overlay must outlive the display list or be unset.
  void setOverlay(Overlay slot, StageOverlay* overlay) {
    overlays_[static_cast<size_t>(slot)] = overlay;
  }

  void beforeThreads() override { objects_.tick(); }
  void skipAnimations(int32_t frames) override { objects_.advance(frames); }

  // Draws the frame onto `target` over what it holds.
  void draw(Surface& target);

 private:
  void drawObject(Surface& target, const DisplayObject2D& object);
  void drawPart(Surface& target, const SpritePart& part, const Matrix4& world);

  const ImageCodec& codec_;
  StageView view_;
  SpriteSets sprites_;
  ObjectStage2D objects_;
  std::array<StageOverlay*, static_cast<size_t>(Overlay::Count)> overlays_{};
};

// Whether the `source` rectangle of a picture placed at `at` misses `target` entirely.
bool outside(const Surface& target, IntPoint at, const Rect& source);

}  // namespace avg
