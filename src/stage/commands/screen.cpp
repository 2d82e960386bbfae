// SCRE: the stage centre, the view matrix and the display mode.
#include "script/app_control.h"
#include "script/command_table.h"
#include "script/exec.h"
#include "stage/commands/families.h"
#include "stage/display_list.h"

namespace avg {
namespace {

// SCRE CHG_ result mode: windowed for mode 0, else full screen; result 1 when the requested
// mode is in force. A switch sets "Flag-FullScreen" to the mode as given.
void changeDisplay(Exec& x) {
  const int32_t mode = x.intValue(3);
  const DisplaySwitch outcome = x.engine.services().app.switchDisplay(mode != 0);
  if (outcome == DisplaySwitch::Switched) {
    x.engine.variables().intVariable("Flag-FullScreen") = mode;
  }
  x.intSlot(2) = outcome == DisplaySwitch::Failed ? 0 : 1;
}

// SCRE GET_ CENT x y | SET_ CENT x y | REF_ | CHG_ result mode: the centre of the stage view
// and the display mode.
Outcome screen(Exec& x) {
  StageView& view = x.engine.companion<DisplayList>().view();
  const bool centre = x.keyword(2) == fourCC("CENT");
  switch (x.keyword(1)) {
    case fourCC("GET_"):
      if (!centre) break;
      x.floatSlot(3) = view.centreX();
      x.floatSlot(4) = view.centreY();
      break;
    case fourCC("SET_"):
      if (centre) view.setCentre(x.floatValue(3), x.floatValue(4));
      break;
    case fourCC("REF_"):
      view.refresh();
      break;
    case fourCC("CHG_"):
      changeDisplay(x);
      break;
  }
  return x.next();
}

}  // namespace

void registerScreenCommands(CommandTable& table) {
  table.add("SCRE", screen,
            "GET_ CENT x:float& y:float& | SET_ CENT x:float y:float | REF_ | "
            "CHG_ result:int& mode:int");
}

}  // namespace avg
