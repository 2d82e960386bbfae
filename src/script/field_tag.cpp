#include "script/field_tag.h"

#include <iterator>

namespace avg {
namespace {

constexpr std::string_view kBuiltinNames[] = {"MBUT", "MBEX", "MMOV", "M_PX", "M_PY",
                                              "M_PZ", "PDIR", "PBUT", "RET_"};
static_assert(std::size(kBuiltinNames) == static_cast<size_t>(BuiltinCell::Count));

struct TagEntry {
  char tag[5];
  FieldTag field;
};

constexpr TagEntry kTags[] = {
    {"$n__", FieldTag::IntVariable},    {"$f__", FieldTag::FloatVariable},
    {"$s__", FieldTag::StringVariable}, {"$na_", FieldTag::IntArray},
    {"$fa_", FieldTag::FloatArray},     {"$sa_", FieldTag::StringArray},
    {"%n__", FieldTag::DecimalInt},     {"%x__", FieldTag::HexInt},
    {"%f__", FieldTag::FloatLiteral},   {"%s__", FieldTag::StringLiteral},
};

}  // namespace

std::optional<BuiltinCell> builtinCellOf(std::string_view operand) {
  for (size_t i = 0; i < std::size(kBuiltinNames); ++i) {
    if (operand.starts_with(kBuiltinNames[i])) return static_cast<BuiltinCell>(i);
  }
  return std::nullopt;
}

FieldTag fieldTagOf(std::string_view field) {
  if (field.size() < 4) return FieldTag::Plain;
  std::string_view tag = field.substr(0, 4);
  for (const TagEntry& entry : kTags) {
    if (tag == entry.tag) return entry.field;
  }
  if (tag == "$$__" && builtinCellOf(field.substr(4))) return FieldTag::Builtin;
  return FieldTag::Plain;
}

RefKind refKindOf(FieldTag tag) {
  switch (tag) {
    case FieldTag::IntVariable:
    case FieldTag::DecimalInt:
    case FieldTag::HexInt:
    case FieldTag::Builtin:
      return RefKind::Int;
    case FieldTag::FloatVariable:
    case FieldTag::FloatLiteral:
      return RefKind::Float;
    case FieldTag::StringVariable:
    case FieldTag::StringLiteral:
      return RefKind::String;
    case FieldTag::IntArray:
      return RefKind::IntArray;
    case FieldTag::FloatArray:
      return RefKind::FloatArray;
    case FieldTag::StringArray:
      return RefKind::StringArray;
    case FieldTag::Plain:
      break;
  }
  return RefKind::None;
}

bool isWritable(FieldTag tag) {
  switch (tag) {
    case FieldTag::IntVariable:
    case FieldTag::FloatVariable:
    case FieldTag::StringVariable:
    case FieldTag::IntArray:
    case FieldTag::FloatArray:
    case FieldTag::StringArray:
    case FieldTag::Builtin:
      return true;
    default:
      return false;
  }
}

}  // namespace avg
