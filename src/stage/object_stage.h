#pragma once
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>

#include "stage/matrix.h"
#include "stage/sprite_set.h"

namespace avg {

constexpr int32_t kDefaultPriority = 2147483647;

// A named instance of a sprite animation on the stage, placed by its matrix (which follows
// the placement fields only when refreshed). It only watches its animation: when the sprite
// set lets the animation go, the object shows nothing and leaves at the next tick.
struct DisplayObject2D : PiecePlacement {
  std::string name;
  std::weak_ptr<const SpriteAnimation> animation;
  int32_t frame = -1;  // index of the frame drawn this tick; -1: none
  int32_t step = 0;    // the next tick to show; negative: ticks left while hidden
  int32_t priority = kDefaultPriority;
  std::string setName;
  std::string animationName;

  // Shows another animation from `startStep`, which is checked only at the next tick.
  void show(std::shared_ptr<const SpriteAnimation> next, int32_t startStep);
  // The frame drawn this tick, or none; valid while `lock` (the animation) is held.
  const SpriteFrame* currentFrame(std::shared_ptr<const SpriteAnimation>& lock) const;
  // One tick; false when the object is to be removed.
  bool tick();
};

// The 2D objects: a list by priority (highest first, the newest first among equals), an
// index by name, and the current object that the "SET_" sub-commands change.
class ObjectStage2D {
 public:
  // Creates an object showing `animation` from `startStep` (none when the animation is none
  // or the step lies beyond its end without a loop). An object of the same name is replaced
  // or, on failure, removed.
  DisplayObject2D* add(std::string name, std::shared_ptr<const SpriteAnimation> animation, float x,
                       float y, int32_t priority, int32_t startStep);
  DisplayObject2D* find(const std::string& name);
  void remove(const std::string& name);
  void removeAll();
  // Advances every object by one tick, removing those whose animation ended.
  void tick();
  // Skips n ticks at once.
  void advance(int32_t n);

  DisplayObject2D* current() const { return current_; }
  void setCurrent(DisplayObject2D* object) { current_ = object; }

  // Calls f for every object in drawing order: lowest priority first, the newest last among
  // equal priorities.
  template <class F>
  void forEachInDrawOrder(F&& f) const {
    for (auto it = order_.rbegin(); it != order_.rend(); ++it)
      f(*it);
  }
  // Objects by name (saving).
  template <class F>
  void forEachByName(F&& f) const {
    for (const auto& [name, object] : index_)
      f(*object);
  }
  size_t size() const { return index_.size(); }

 private:
  using Order = std::list<DisplayObject2D>;
  void erase(std::map<std::string, Order::iterator>::iterator entry);

  Order order_;
  std::map<std::string, Order::iterator> index_;
  DisplayObject2D* current_ = nullptr;
};

}  // namespace avg
