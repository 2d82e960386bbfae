#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace avg {

// An array key: a list of indices ordered element by element, a shorter list before a
// longer list that it begins. Commands use one index; the save format keeps the list.
using ArrayKey = std::vector<int32_t>;

// Orders keys and also compares a key with a single index without building a key, so that
// element look-ups allocate nothing.
struct ArrayKeyLess {
  using is_transparent = void;
  bool operator()(const ArrayKey& a, const ArrayKey& b) const { return a < b; }
  bool operator()(const ArrayKey& a, int32_t b) const { return a.empty() || a[0] < b; }
  bool operator()(int32_t a, const ArrayKey& b) const {
    return !b.empty() && (a < b[0] || (a == b[0] && b.size() > 1));
  }
};

template <class T>
using ScriptArray = std::map<ArrayKey, T, ArrayKeyLess>;
using IntArray = ScriptArray<int32_t>;
using FloatArray = ScriptArray<float>;
using StringArray = ScriptArray<std::string>;

// Returns the element at one index, creating it with the default value when missing.
template <class T>
T& arrayElement(ScriptArray<T>& array, int32_t index) {
  auto it = array.lower_bound(index);
  if (it == array.end() || it->first.size() != 1 || it->first[0] != index) {
    it = array.emplace_hint(it, ArrayKey{index}, T{});
  }
  return it->second;
}

// What a bound argument designates.
enum class RefKind : uint8_t { None, Int, Float, String, IntArray, FloatArray, StringArray };

// The load-time binding of an argument: a pointer to the storage cell of a variable, a
// pooled literal or a built-in cell. Literals are read-only.
struct ValueRef {
  RefKind kind = RefKind::None;
  bool writable = false;
  void* cell = nullptr;
};

// Names of the engine's built-in integer cells, in the order of their "$$__" codes.
enum class BuiltinCell : uint8_t { MBUT, MBEX, MMOV, M_PX, M_PY, M_PZ, PDIR, PBUT, RET_, Count };

// A four-character keyword or command code read as a little-endian 32-bit value.
constexpr uint32_t fourCC(const char (&text)[5]) {
  return static_cast<uint32_t>(static_cast<unsigned char>(text[0])) |
         static_cast<uint32_t>(static_cast<unsigned char>(text[1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(text[2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(text[3])) << 24;
}

// The code of a field: its first four bytes, or 0 when it is shorter.
uint32_t fourCCOf(const std::string& field);

}  // namespace avg
