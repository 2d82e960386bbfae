// Calculations in three-address form: CALN (integers), CALF (floats), CALS (strings).
// Layout: word 1 operator, word 2 destination, words 3 and up the operands.
#include "script/command_table.h"
#include "script/commands/families.h"
#include "script/exec.h"

namespace avg {
namespace {

struct IntOperator {
  const char* name;
  uint32_t keyword;
  Op op;
  bool unary;
};

constexpr bool isUnary(Op op) {
  return op == Op::Assign || op == Op::BitNot || op == Op::LogicalNot;
}

#define AVG_INT_OPERATOR_ENTRY(name, keyword, expression) \
  IntOperator{keyword, fourCC(keyword), Op::name, isUnary(Op::name)},
constexpr IntOperator kIntOperators[] = {AVG_INT_OPERATORS(AVG_INT_OPERATOR_ENTRY)};
#undef AVG_INT_OPERATOR_ENTRY

const IntOperator* findIntOperator(uint32_t keyword) {
  for (const IntOperator& entry : kIntOperators) {
    if (entry.keyword == keyword) return &entry;
  }
  return nullptr;
}

int32_t evaluate(Op op, int32_t a, int32_t b) {
  switch (op) {
#define AVG_INT_OP_CASE(name, keyword, expression) \
  case Op::name:                                   \
    return (expression);
    AVG_INT_OPERATORS(AVG_INT_OP_CASE)
#undef AVG_INT_OP_CASE
    default:
      return 0;
  }
}

// "&&&&" and "||||": the first operand, then folded with each further one to 1 or 0.
int32_t foldLogical(const Exec& x, bool all) {
  int32_t result = x.intValue(3);
  for (size_t k = 4; k < x.wordCount(); ++k) {
    bool next = x.intValue(k) != 0;
    result = all ? (result != 0 && next) : (result != 0 || next);
  }
  return result;
}

// "RECT": 1 when (word 3, word 4) lies strictly inside left 5, top 6, right 7, bottom 8.
int32_t insideRect(const Exec& x) {
  int32_t px = x.intValue(3), py = x.intValue(4);
  return x.intValue(5) < px && px < x.intValue(7) && x.intValue(6) < py && py < x.intValue(8);
}

// CALN op dst a [b ...]: integer calculation; unknown operators write nothing.
Outcome calculateInt(Exec& x) {
  uint32_t keyword = x.keyword(1);
  if (const IntOperator* entry = findIntOperator(keyword)) {
    x.intSlot(2) = evaluate(entry->op, x.intValue(3), x.intValue(4));
  } else if (keyword == fourCC("&&&&") || keyword == fourCC("||||")) {
    x.intSlot(2) = foldLogical(x, keyword == fourCC("&&&&"));
  } else if (keyword == fourCC("RECT")) {
    x.intSlot(2) = insideRect(x);
  }
  return x.next();
}

const int32_t* intCell(const ScriptArgument& word) {
  return word.ref.kind == RefKind::Int ? static_cast<const int32_t*>(word.ref.cell) : nullptr;
}

// Integer operators over integer cells run inline in the dispatcher.
bool specializeInt(const ScriptCommand& command, const ScriptFile&, Instruction& in) {
  const auto& words = command.words;
  if (words.size() < 4) return false;
  const IntOperator* entry = findIntOperator(words[1].keyword);
  if (!entry || !words[2].ref.writable || !intCell(words[2]) || !intCell(words[3])) return false;
  const int32_t* b = entry->unary ? intCell(words[3]) : nullptr;
  if (!entry->unary && (words.size() < 5 || !(b = intCell(words[4])))) return false;
  in.op = entry->op;
  in.d = static_cast<int32_t*>(words[2].ref.cell);
  in.a = intCell(words[3]);
  in.b = b;
  return true;
}

// CALF op dst a [b]: float arithmetic into a float, comparisons into an integer.
Outcome calculateFloat(Exec& x) {
  float a = x.floatValue(3), b = x.floatValue(4);
  switch (x.keyword(1)) {
    case fourCC("=___"):
      x.floatSlot(2) = a;
      break;
    case fourCC("+___"):
      x.floatSlot(2) = a + b;
      break;
    case fourCC("-___"):
      x.floatSlot(2) = a - b;
      break;
    case fourCC("*___"):
      x.floatSlot(2) = a * b;
      break;
    case fourCC("/___"):
      x.floatSlot(2) = a / b;
      break;
    case fourCC("<___"):
      x.intSlot(2) = a < b;
      break;
    case fourCC(">___"):
      x.intSlot(2) = a > b;
      break;
    case fourCC("<=__"):
      x.intSlot(2) = a <= b;
      break;
    case fourCC(">=__"):
      x.intSlot(2) = a >= b;
      break;
    case fourCC("==__"):
      x.intSlot(2) = a == b;
      break;
    case fourCC("!=__"):
      x.intSlot(2) = a != b;
      break;
    case fourCC("!___"):
      x.intSlot(2) = a == 0.0f;
      break;
  }
  return x.next();
}

// CALS op dst a [b]: string assignment, concatenation and comparison; SET_ copies word 3's
// own text.
Outcome calculateString(Exec& x) {
  switch (x.keyword(1)) {
    case fourCC("=___"):
      x.stringSlot(2) = x.stringValue(3);
      break;
    case fourCC("+___"): {
      std::string joined = x.stringValue(3) + x.stringValue(4);
      x.stringSlot(2) = std::move(joined);
      break;
    }
    case fourCC("==__"):
      x.intSlot(2) = x.stringValue(3) == x.stringValue(4);
      break;
    case fourCC("!=__"):
      x.intSlot(2) = x.stringValue(3) != x.stringValue(4);
      break;
    case fourCC("SET_"):
      x.stringSlot(2) = x.text(3);
      break;
  }
  return x.next();
}

// The forms of CALN: the operators of the list, then the folds and RECT.
std::string intForms() {
  std::string forms;
  for (const IntOperator& entry : kIntOperators)
    forms += std::string(entry.name) + " dst:int& a:int" + (entry.unary ? "" : " b:int") + " | ";
  return forms +
         "&&&& dst:int& a:int [more:int...] | |||| dst:int& a:int [more:int...] | "
         "RECT dst:int& x:int y:int left:int top:int right:int bottom:int";
}

}  // namespace

void registerCalculationCommands(CommandTable& table) {
  table.add("CALN", calculateInt, intForms(), specializeInt);
  table.add("CALF", calculateFloat,
            "=___ dst:float& a:float | +___ dst:float& a:float b:float | "
            "-___ dst:float& a:float b:float | *___ dst:float& a:float b:float | "
            "/___ dst:float& a:float b:float | <___ dst:int& a:float b:float | "
            ">___ dst:int& a:float b:float | <=__ dst:int& a:float b:float | "
            ">=__ dst:int& a:float b:float | ==__ dst:int& a:float b:float | "
            "!=__ dst:int& a:float b:float | !___ dst:int& a:float");
  table.add("CALS", calculateString,
            "=___ dst:str& a:str | +___ dst:str& a:str b:str | ==__ dst:int& a:str b:str | "
            "!=__ dst:int& a:str b:str | SET_ dst:str& text:text");
}

}  // namespace avg
