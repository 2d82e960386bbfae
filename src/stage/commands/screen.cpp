// SCRE: the stage centre and the view matrix.
#include "script/command_table.h"
#include "script/commands/families.h"
#include "script/exec.h"
#include "stage/display_list.h"

namespace avg {
namespace {

// SCRE GET_ CENT x y | SET_ CENT x y | REF_: the centre of the stage view.
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
  }
  return x.next();
}

}  // namespace

void registerScreenCommands(CommandTable& table) {
  table.add("SCRE", screen);
}

}  // namespace avg
