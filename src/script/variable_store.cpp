#include "script/variable_store.h"

#include <bit>

#include "base/byte_order.h"

namespace avg {

uint32_t fourCCOf(const std::string& field) {
  return field.size() < 4 ? 0 : readLE32(field.data());
}

const float* LiteralPool::floatLiteral(float value) {
  return &floats_.try_emplace(std::bit_cast<uint32_t>(value), value).first->second;
}

}  // namespace avg
