#pragma once
#include <optional>
#include <string_view>

#include "script/values.h"

namespace avg {

// What the four-byte tag of an argument field makes of it at load time.
enum class FieldTag : uint8_t {
  Plain,  // no known tag: plain text, bound to nothing
  IntVariable,
  FloatVariable,
  StringVariable,
  IntArray,
  FloatArray,
  StringArray,
  DecimalInt,
  HexInt,
  FloatLiteral,
  StringLiteral,
  Builtin,  // an engine cell such as MBUT, when the name is known
};

FieldTag fieldTagOf(std::string_view field);
// The kind of cell a field of this tag is bound to.
RefKind refKindOf(FieldTag tag);
// Whether the field names a cell that commands may write.
bool isWritable(FieldTag tag);
// The built-in cell named by the operand of a "$$__" field.
std::optional<BuiltinCell> builtinCellOf(std::string_view operand);

}  // namespace avg
