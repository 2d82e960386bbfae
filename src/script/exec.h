#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "script/engine.h"

namespace avg {

// What a command handler sees: the engine, the running thread and its command, with typed
// access to the bound arguments. Words are counted from 0 (the command name). A word that
// is absent or bound to nothing reads as 0, 0.0 or "", and writes to it are dropped; a
// float cell read as an integer gives its bits, and the other way round; a write to a cell
// of another type is dropped.
struct Exec {
  ScriptEngine& engine;
  ScriptThread& thread;
  const ScriptCommand& command;

  size_t wordCount() const { return command.words.size(); }
  bool has(size_t k) const { return k < command.words.size(); }
  uint32_t keyword(size_t k) const { return has(k) ? command.words[k].keyword : 0; }
  const std::string& text(size_t k) const;
  const ValueRef& ref(size_t k) const;

  int32_t intValue(size_t k) const;
  float floatValue(size_t k) const;
  const std::string& stringValue(size_t k) const;
  // Optional arguments: the value of word k, or `fallback` when the command has no word k.
  int32_t intOr(size_t k, int32_t fallback) const;
  float floatOr(size_t k, float fallback) const;
  int32_t& intSlot(size_t k) const;
  float& floatSlot(size_t k) const;
  std::string& stringSlot(size_t k) const;
  IntArray* intArray(size_t k) const;
  FloatArray* floatArray(size_t k) const;
  StringArray* stringArray(size_t k) const;

  // Moves on to the next command.
  Outcome next() const {
    ++thread.index;
    return Outcome::Continue;
  }
};

// Reads and writes through a binding, with the rules above.
int32_t readInt(const ValueRef& ref);
float readFloat(const ValueRef& ref);
const std::string& readString(const ValueRef& ref);
int32_t& writableInt(const ValueRef& ref);
float& writableFloat(const ValueRef& ref);
std::string& writableString(const ValueRef& ref);

}  // namespace avg
