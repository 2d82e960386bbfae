#include "stage/object_stage.h"

#include <algorithm>

#include "script/int_ops.h"

namespace avg {

void DisplayObject2D::show(std::shared_ptr<const SpriteAnimation> next, int32_t startStep) {
  step = startStep;
  frame = next ? next->frameIndexAt(step) : -1;
  animation = next;
}

const SpriteFrame* DisplayObject2D::currentFrame(
    std::shared_ptr<const SpriteAnimation>& lock) const {
  if (frame < 0) return nullptr;
  lock = animation.lock();
  return lock ? &lock->frames[static_cast<size_t>(frame)] : nullptr;
}

bool DisplayObject2D::tick() {
  std::shared_ptr<const SpriteAnimation> shown = animation.lock();
  if (!shown) return false;
  if (step < 0) {
    frame = -1;
    ++step;
    return true;
  }
  if (step >= shown->length) {
    if (shown->loopStep < 0) return false;
    step = shown->loopStep;
  }
  frame = shown->frameIndexAt(step);
  step = intops::add(step, 1);
  return true;
}

DisplayObject2D* ObjectStage2D::add(std::string name,
                                    std::shared_ptr<const SpriteAnimation> animation, float x,
                                    float y, int32_t priority, int32_t startStep) {
  remove(name);
  if (!animation) return nullptr;
  if (startStep >= animation->length) {
    if (animation->loopStep < 0) return nullptr;
    startStep = animation->loopStep;
  }
  auto before = std::find_if(order_.begin(), order_.end(), [priority](const DisplayObject2D& o) {
    return o.priority <= priority;
  });
  auto placed = order_.emplace(before);
  DisplayObject2D& object = *placed;
  object.name = std::move(name);
  object.show(std::move(animation), startStep);
  object.x = x;
  object.y = y;
  object.matrix = Matrix4::translation(x, y, 0.0f);
  object.priority = priority;
  index_.emplace(object.name, placed);
  return &object;
}

DisplayObject2D* ObjectStage2D::find(const std::string& name) {
  auto entry = index_.find(name);
  return entry == index_.end() ? nullptr : &*entry->second;
}

void ObjectStage2D::remove(const std::string& name) {
  auto entry = index_.find(name);
  if (entry != index_.end()) erase(entry);
}

void ObjectStage2D::removeAll() {
  index_.clear();
  order_.clear();
  current_ = nullptr;
}

void ObjectStage2D::tick() {
  for (auto entry = index_.begin(); entry != index_.end();) {
    auto next = std::next(entry);
    if (!entry->second->tick()) erase(entry);
    entry = next;
  }
}

void ObjectStage2D::advance(int32_t n) {
  for (auto& [name, object] : index_)
    object->step = intops::add(object->step, intops::sub(n, 1));
  tick();
}

void ObjectStage2D::erase(std::map<std::string, Order::iterator>::iterator entry) {
  if (current_ == &*entry->second) current_ = nullptr;
  order_.erase(entry->second);
  index_.erase(entry);
}

}  // namespace avg
