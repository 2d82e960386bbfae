#include "script/exec.h"

#include <bit>

namespace avg {
namespace {

const std::string kEmptyText;
const ValueRef kNoRef;

// Writes to arguments without a writable cell land here and are never read.
int32_t intSink;
float floatSink;
std::string stringSink;

template <class T>
T* cellOf(const ValueRef& ref, RefKind kind) {
  return ref.kind == kind ? static_cast<T*>(ref.cell) : nullptr;
}

}  // namespace

int32_t readInt(const ValueRef& ref) {
  switch (ref.kind) {
    case RefKind::Int:
      return *static_cast<const int32_t*>(ref.cell);
    case RefKind::Float:
      return std::bit_cast<int32_t>(*static_cast<const float*>(ref.cell));
    default:
      return 0;
  }
}

float readFloat(const ValueRef& ref) {
  switch (ref.kind) {
    case RefKind::Float:
      return *static_cast<const float*>(ref.cell);
    case RefKind::Int:
      return std::bit_cast<float>(*static_cast<const int32_t*>(ref.cell));
    default:
      return 0.0f;
  }
}

const std::string& readString(const ValueRef& ref) {
  const auto* cell = cellOf<const std::string>(ref, RefKind::String);
  return cell ? *cell : kEmptyText;
}

int32_t& writableInt(const ValueRef& ref) {
  if (ref.writable && ref.kind == RefKind::Int) return *static_cast<int32_t*>(ref.cell);
  return intSink;
}

float& writableFloat(const ValueRef& ref) {
  if (ref.writable && ref.kind == RefKind::Float) return *static_cast<float*>(ref.cell);
  return floatSink;
}

std::string& writableString(const ValueRef& ref) {
  if (ref.writable && ref.kind == RefKind::String) return *static_cast<std::string*>(ref.cell);
  stringSink.clear();
  return stringSink;
}

const std::string& Exec::text(size_t k) const {
  return has(k) ? command.words[k].text : kEmptyText;
}

const ValueRef& Exec::ref(size_t k) const {
  return has(k) ? command.words[k].ref : kNoRef;
}

int32_t Exec::intValue(size_t k) const {
  return readInt(ref(k));
}
float Exec::floatValue(size_t k) const {
  return readFloat(ref(k));
}
const std::string& Exec::stringValue(size_t k) const {
  return readString(ref(k));
}
int32_t Exec::intOr(size_t k, int32_t fallback) const {
  return has(k) ? intValue(k) : fallback;
}
float Exec::floatOr(size_t k, float fallback) const {
  return has(k) ? floatValue(k) : fallback;
}
int32_t& Exec::intSlot(size_t k) const {
  return writableInt(ref(k));
}
float& Exec::floatSlot(size_t k) const {
  return writableFloat(ref(k));
}
std::string& Exec::stringSlot(size_t k) const {
  return writableString(ref(k));
}

IntArray* Exec::intArray(size_t k) const {
  return cellOf<IntArray>(ref(k), RefKind::IntArray);
}
FloatArray* Exec::floatArray(size_t k) const {
  return cellOf<FloatArray>(ref(k), RefKind::FloatArray);
}
StringArray* Exec::stringArray(size_t k) const {
  return cellOf<StringArray>(ref(k), RefKind::StringArray);
}

}  // namespace avg
