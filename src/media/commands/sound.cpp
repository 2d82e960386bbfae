// SND_ and VICE: sound effects and voices from named sound sets.
#include "media/commands/families.h"
#include "media/sound_channel.h"
#include "script/command_table.h"
#include "script/exec.h"

namespace avg {
namespace {

// <channel> LOAD set | ACTI | SLEE | AUTO value | PLAY name [loop] | STOP [name] | CLE_ |
// SET_ VOL_ volume | GET_ VOL_ dst
Outcome channelCommand(Exec& x, SoundChannel& channel) {
  switch (x.keyword(1)) {
    case fourCC("LOAD"):
      channel.load(x.stringValue(2));
      break;
    case fourCC("ACTI"):
      channel.activate();
      break;
    case fourCC("SLEE"):
      channel.sleep();
      break;
    case fourCC("AUTO"):
      if (x.wordCount() >= 3) channel.setAuto(x.intValue(2));
      break;
    case fourCC("PLAY"):
      if (x.wordCount() >= 3) channel.play(x.stringValue(2), x.intValue(3));
      break;
    case fourCC("STOP"):
      if (x.wordCount() >= 3) {
        channel.stop(x.stringValue(2));
      } else {
        channel.stopAll();
      }
      break;
    case fourCC("CLE_"):
      channel.clear();
      break;
    case fourCC("SET_"):
      if (x.keyword(2) == fourCC("VOL_")) channel.setVolume(x.intValue(3), x.engine.variables());
      break;
    case fourCC("GET_"):
      if (x.keyword(2) == fourCC("VOL_")) x.intSlot(3) = channel.scriptVolume();
      break;
  }
  return x.next();
}

// SND_ <sub-command> ...: the effects channel.
Outcome effects(Exec& x) {
  return channelCommand(x, x.engine.companion<SoundChannels>().effects);
}

// VICE <sub-command> ...: the voice channel.
Outcome voices(Exec& x) {
  return channelCommand(x, x.engine.companion<SoundChannels>().voice);
}

constexpr const char* kChannelForms =
    "LOAD file:str@sounds | ACTI | SLEE | AUTO value:int | PLAY name:str [loop:int] | "
    "STOP [name:str] | CLE_ | SET_ VOL_ volume:int | GET_ VOL_ dst:int&";

}  // namespace

void registerSoundCommands(CommandTable& table) {
  table.add("SND_", effects, kChannelForms);
  table.add("VICE", voices, kChannelForms);
}

}  // namespace avg
