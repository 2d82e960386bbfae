// PAD_: selects the pad that PDIR and PBUT describe.
#include "input/commands/families.h"
#include "input/input_devices.h"
#include "script/command_table.h"
#include "script/exec.h"

namespace avg {
namespace {

// PAD_ n: selects player n's pad (from 0); PDIR and PBUT follow it at once.
Outcome pad(Exec& x) {
  x.engine.companion<InputDevices>().selectPad(x.intValue(1));
  return x.next();
}

}  // namespace

void registerPadCommands(CommandTable& table) {
  table.add("PAD_", pad, "player:int");
}

}  // namespace avg
