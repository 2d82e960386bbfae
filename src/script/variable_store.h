#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "script/values.h"

namespace avg {

// Named values of one type. Each value lives in its own shared cell: a script that bound
// a cell keeps it alive, so removing the name never leaves a binding dangling; the removed
// cell simply stops being reachable by name.
template <class T>
class NamedCells {
 public:
  using Map = std::map<std::string, std::shared_ptr<T>>;

  // The cell of `name`, created with the default value when absent.
  const std::shared_ptr<T>& bind(const std::string& name) {
    auto it = map_.lower_bound(name);
    if (it == map_.end() || it->first != name) {
      it = map_.emplace_hint(it, name, std::make_shared<T>());
    }
    return it->second;
  }
  T* find(const std::string& name) {
    auto it = map_.find(name);
    return it == map_.end() ? nullptr : it->second.get();
  }
  void remove(const std::string& name) { map_.erase(name); }
  void removeAll() { map_.clear(); }
  const Map& entries() const { return map_; }
  Map& entries() { return map_; }

 private:
  Map map_;
};

// The script engine's data memory: integer, float and string variables and arrays.
struct VariableStore {
  NamedCells<int32_t> ints;
  NamedCells<float> floats;
  NamedCells<std::string> strings;
  NamedCells<IntArray> intArrays;
  NamedCells<FloatArray> floatArrays;
  NamedCells<StringArray> stringArrays;

  // Convenience for the player's own system variables ("Flag-Skip", ...).
  int32_t& intVariable(const std::string& name) { return *ints.bind(name); }
};

// Interned literal values of all loaded scripts; entries never change or go away.
class LiteralPool {
 public:
  const int32_t* intLiteral(int32_t value) { return &*ints_.insert(value).first; }
  const float* floatLiteral(float value);
  const std::string* stringLiteral(const std::string& value) {
    return &*strings_.insert(value).first;
  }
  size_t size() const { return ints_.size() + floats_.size() + strings_.size(); }

 private:
  std::set<int32_t> ints_;
  std::map<uint32_t, float> floats_;  // keyed by bit pattern, so NaN and -0.0 are safe
  std::set<std::string> strings_;
};

}  // namespace avg
