// GLOB and GRED: the key switches and the two persistent flag sets.
#include "script/command_signature.h"
#include "script/command_table.h"
#include "script/commands/families.h"
#include "script/exec.h"

namespace avg {
namespace {

// <set> FLAG GET_ dst name | SET_ name value | PATH GET_|SET_ str | LOAD | SAVE, where the
// words start at `first` (the word after "FLAG").
void flagCommand(Exec& x, PersistentFlagSet& flags, size_t first) {
  switch (x.keyword(first)) {
    case fourCC("GET_"):
      x.intSlot(first + 1) = flags.contains(x.stringValue(first + 2));
      break;
    case fourCC("SET_"):
      if (x.intValue(first + 2) != 0) {
        flags.set(x.stringValue(first + 1));
      } else {
        flags.clear(x.stringValue(first + 1));
      }
      break;
    case fourCC("PATH"):
      if (x.keyword(first + 1) == fourCC("GET_")) x.stringSlot(first + 2) = flags.path();
      if (x.keyword(first + 1) == fourCC("SET_")) flags.setPath(x.stringValue(first + 2));
      break;
    case fourCC("LOAD"):
      flags.load(x.engine.archives());
      break;
    case fourCC("SAVE"):
      flags.save();
      break;
  }
}

// GET_ dst | SET_ value on one key switch (stored as 0 or 1).
void switchCommand(Exec& x, int32_t& keySwitch) {
  if (x.keyword(2) == fourCC("GET_")) x.intSlot(3) = keySwitch;
  if (x.keyword(2) == fourCC("SET_")) keySwitch = x.intValue(3) != 0 ? 1 : 0;
}

// GLOB QSL_|DISP|CONF GET_|SET_ value, or GLOB FLAG ...: global switches and flags.
Outcome global(Exec& x) {
  KeySwitches& switches = x.engine.keySwitches();
  switch (x.keyword(1)) {
    case fourCC("QSL_"):
      switchCommand(x, switches.quickKeys);
      break;
    case fourCC("DISP"):
      switchCommand(x, switches.screenKey);
      break;
    case fourCC("CONF"):
      switchCommand(x, switches.configKey);
      break;
    case fourCC("FLAG"):
      flagCommand(x, x.engine.globalFlags(), 2);
      break;
  }
  return x.next();
}

// GRED FLAG ...: the read-flag set.
Outcome readFlags(Exec& x) {
  if (x.keyword(1) == fourCC("FLAG")) flagCommand(x, x.engine.readFlags(), 2);
  return x.next();
}

constexpr std::string_view kSwitchForms = "GET_ dst:int& | SET_ value:int";
constexpr std::string_view kFlagForms =
    "GET_ dst:int& name:str | SET_ name:str value:int | PATH GET_ dst:str& | "
    "PATH SET_ path:str | LOAD | SAVE";

}  // namespace

void registerGlobalCommands(CommandTable& table) {
  table.add("GLOB", global,
            withPrefix("QSL_", kSwitchForms) + " | " + withPrefix("DISP", kSwitchForms) + " | " +
                withPrefix("CONF", kSwitchForms) + " | " + withPrefix("FLAG", kFlagForms));
  table.add("GRED", readFlags, withPrefix("FLAG", kFlagForms));
}

}  // namespace avg
