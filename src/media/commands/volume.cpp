// VOL_: the system's master volume relative to its volume at start.
#include "media/commands/families.h"
#include "media/volume_control.h"
#include "script/command_table.h"
#include "script/exec.h"

namespace avg {
namespace {

// VOL_ SET_ level | GET_ dst | RSET
Outcome volume(Exec& x) {
  VolumeControl& control = x.engine.companion<VolumeControl>();
  switch (x.keyword(1)) {
    case fourCC("SET_"):
      control.setLevel(x.floatValue(2));
      break;
    case fourCC("GET_"):
      x.floatSlot(2) = control.level();
      break;
    case fourCC("RSET"):
      control.restore();
      break;
  }
  return x.next();
}

}  // namespace

void registerVolumeCommands(CommandTable& table) {
  table.add("VOL_", volume, "SET_ level:float | GET_ dst:float& | RSET");
}

}  // namespace avg
