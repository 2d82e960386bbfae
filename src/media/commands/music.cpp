// MUSI: background music from music lists.
#include "media/commands/families.h"
#include "media/music_player.h"
#include "script/command_table.h"
#include "script/exec.h"

namespace avg {
namespace {

// MUSI LIST LOAD file | LIST ADD_ file | LIST CLE_
void listCommand(Exec& x, MusicPlayer& music) {
  switch (x.keyword(2)) {
    case fourCC("LOAD"):
      music.readList(x.stringValue(3), true);
      break;
    case fourCC("ADD_"):
      music.readList(x.stringValue(3), false);
      break;
    case fourCC("CLE_"):
      music.clearLists();
      break;
  }
}

// MUSI PLAY [name] | LOAD name | STOP | PAUS | LOOP n | MODE - device | LIST ... |
// SET_ VOL_ volume | GET_ VOL_ dst
Outcome music(Exec& x) {
  MusicPlayer& music = x.engine.companion<MusicPlayer>();
  switch (x.keyword(1)) {
    case fourCC("PLAY"):
      if (x.wordCount() >= 3) {
        music.play(x.stringValue(2));
      } else {
        music.resume();
      }
      break;
    case fourCC("LOAD"):
      music.load(x.stringValue(2));
      break;
    case fourCC("STOP"):
      music.stop();
      break;
    case fourCC("PAUS"):
      music.pause();
      break;
    case fourCC("LOOP"):
      music.setLoop(x.intValue(2));
      break;
    case fourCC("MODE"):
      music.setDevice(x.intValue(3));
      break;
    case fourCC("LIST"):
      listCommand(x, music);
      break;
    case fourCC("SET_"):
      if (x.keyword(2) == fourCC("VOL_")) music.setVolume(x.intValue(3), x.engine.variables());
      break;
    case fourCC("GET_"):
      if (x.keyword(2) == fourCC("VOL_")) x.intSlot(3) = music.scriptVolume();
      break;
  }
  return x.next();
}

}  // namespace

void registerMusicCommands(CommandTable& table) {
  table.add("MUSI", music,
            "PLAY [name:str] | LOAD name:str | STOP | PAUS | LOOP count:int | "
            "MODE unused:text device:int | LIST LOAD file:str@music | LIST ADD_ file:str@music | "
            "LIST CLE_ | SET_ VOL_ volume:int | GET_ VOL_ dst:int&");
}

}  // namespace avg
