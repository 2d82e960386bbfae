// SPR_: loading and clearing sprite sets, and when their images stay in memory.
#include "script/command_table.h"
#include "script/exec.h"
#include "stage/commands/families.h"
#include "stage/display_list.h"

namespace avg {
namespace {

// Applies f to the set named by word 2 when the command has `singleWords` words, else to
// every set.
template <class F>
void onSetOrAll(Exec& x, SpriteSets& sets, size_t singleWords, F&& f) {
  if (x.wordCount() >= singleWords) {
    f(sets.named(x.stringValue(2)));
    return;
  }
  for (auto& [name, set] : sets.sets())
    f(set);
}

// SPR_ LOAD set file | CLE_ [set] | ACTI [set] | SLEE [set] | AUTO [set] value: sprite sets.
Outcome sprites(Exec& x) {
  SpriteSets& sets = x.engine.companion<DisplayList>().sprites();
  switch (x.keyword(1)) {
    case fourCC("LOAD"):
      sets.named(x.stringValue(2)).load(x.stringValue(3), x.engine.archives());
      break;
    case fourCC("CLE_"):
      if (x.wordCount() >= 3) {
        sets.named(x.stringValue(2)).clear();
      } else {
        sets.removeAll();
      }
      break;
    case fourCC("ACTI"):
      onSetOrAll(x, sets, 3, [](SpriteSet& set) { set.activate(); });
      break;
    case fourCC("SLEE"):
      onSetOrAll(x, sets, 3, [](SpriteSet& set) { set.sleep(); });
      break;
    case fourCC("AUTO"): {
      const int32_t value = x.intValue(x.wordCount() >= 4 ? 3 : 2);
      onSetOrAll(x, sets, 4, [value](SpriteSet& set) { set.setAuto(value); });
      break;
    }
  }
  return x.next();
}

}  // namespace

void registerSpriteCommands(CommandTable& table) {
  table.add("SPR_", sprites,
            "LOAD set:str file:str@sprites | CLE_ [set:str] | ACTI [set:str] | "
            "SLEE [set:str] | AUTO value:int | AUTO set:str value:int");
}

}  // namespace avg
