#include "script/variable_store.h"

#include <bit>

namespace avg {

uint32_t fourCCOf(const std::string& field) {
  if (field.size() < 4) return 0;
  return static_cast<uint32_t>(static_cast<unsigned char>(field[0])) |
         static_cast<uint32_t>(static_cast<unsigned char>(field[1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(field[2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(field[3])) << 24;
}

const float* LiteralPool::floatLiteral(float value) {
  return &floats_.try_emplace(std::bit_cast<uint32_t>(value), value).first->second;
}

}  // namespace avg
