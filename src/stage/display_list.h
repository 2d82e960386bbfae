#pragma once
#include <array>

#include "base/region.h"
#include "base/surface.h"
#include "platform/image_codec.h"
#include "script/engine.h"
#include "stage/draw_list.h"
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
  // Adds its drawing steps, in drawing order.
  virtual void collect(DrawList& list, const StageView& view) = 0;
};

// The stage as the engine holds it: the view, the sprite sets and the 2D objects. Every
// pass advances the animations by one tick before the scripts run; every drawn frame shows
// the 2D objects by priority, then the edit boxes, then the message windows. Frames are
// composed over the previous one; only the pixels where a frame differs from the one before
// are drawn again, which gives the same picture as drawing everything.
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

  // Composes the frame onto `target` over what it holds and returns the pixels drawn: those
  // where the frame differs from the one composed last, all of them when the target is new
  // or invalidated or full redraw is on, and none on a still frame.
  const Region& draw(Surface& target);
  // The target was drawn on by someone else (a film): the next frame is composed whole.
  void invalidate() { targetId_ = 0; }
  // Composes every frame whole (checking that partial composition changes nothing).
  void setFullRedraw(bool on) { fullRedraw_ = on; }

 private:
  void collect(const Rect& screen);
  void collectObject(const DisplayObject2D& object);
  void collectPart(const SpritePart& part, const Matrix4& world);

  const ImageCodec& codec_;
  StageView view_;
  SpriteSets sprites_;
  ObjectStage2D objects_;
  std::array<StageOverlay*, static_cast<size_t>(Overlay::Count)> overlays_{};
  DrawList frame_;
  DrawList previous_;
  Region drawn_;
  // Pixels that change whenever the frame is drawn again; redrawn on every frame.
  Region unsettled_;
  uint64_t targetId_ = 0;
  bool fullRedraw_ = false;
};

// Whether the `source` rectangle of a picture placed at `at` misses `screen` entirely.
bool outside(const Rect& screen, IntPoint at, const Rect& source);

}  // namespace avg
