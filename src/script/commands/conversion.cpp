// CAST (conversions between integers, floats and strings) and DICE (random sums).
#include <cmath>
#include <string>

#include "script/command_table.h"
#include "script/commands/families.h"
#include "script/exec.h"
#include "script/literals.h"

namespace avg {
namespace {

// Truncates toward zero; NaN gives 0 and values beyond the 32-bit range saturate.
int32_t truncateToInt(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0f) return INT32_MAX;
  if (value <= -2147483648.0f) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// CAST dstType dst srcType src, types INT_, FLT_, STR_; other pairs write nothing.
Outcome cast(Exec& x) {
  uint32_t to = x.keyword(1), from = x.keyword(3);
  constexpr uint32_t kInt = fourCC("INT_"), kFloat = fourCC("FLT_"), kString = fourCC("STR_");
  if (to == kInt && from == kString) x.intSlot(2) = parseDecimalInt(x.stringValue(4));
  if (to == kInt && from == kFloat) x.intSlot(2) = truncateToInt(x.floatValue(4));
  if (to == kFloat && from == kString) x.floatSlot(2) = parseDecimalFloat(x.stringValue(4));
  if (to == kFloat && from == kInt) x.floatSlot(2) = static_cast<float>(x.intValue(4));
  if (to == kString && from == kInt) x.stringSlot(2) = std::to_string(x.intValue(4));
  if (to == kString && from == kFloat) x.stringSlot(2) = formatFloat(x.floatValue(4));
  return x.next();
}

// DICE CAST dst n s: n plus n random numbers modulo s (dice numbered 1 to s). A die with
// fewer than one side adds nothing.
Outcome dice(Exec& x) {
  if (x.keyword(1) != fourCC("CAST")) return x.next();
  int32_t count = x.intValue(3), sides = x.intValue(4);
  uint32_t sum = static_cast<uint32_t>(count);
  for (int32_t i = 0; i < count; ++i) {
    int32_t number = x.engine.nextRandom();
    if (sides > 0) sum += static_cast<uint32_t>(number % sides);
  }
  x.intSlot(2) = static_cast<int32_t>(sum);
  return x.next();
}

}  // namespace

void registerConversionCommands(CommandTable& table) {
  table.add("CAST", cast,
            "INT_ dst:int& STR_ src:str | INT_ dst:int& FLT_ src:float | "
            "FLT_ dst:float& STR_ src:str | FLT_ dst:float& INT_ src:int | "
            "STR_ dst:str& INT_ src:int | STR_ dst:str& FLT_ src:float");
  table.add("DICE", dice, "CAST dst:int& count:int sides:int");
}

}  // namespace avg
