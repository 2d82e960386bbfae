// VID_: films from the video list.
#include "media/commands/families.h"
#include "media/video_player.h"
#include "script/command_table.h"
#include "script/exec.h"

namespace avg {
namespace {

// VID_ LIST LOAD file | LIST CLE_ | PLAY name
Outcome video(Exec& x) {
  VideoPlayer& video = x.engine.companion<VideoPlayer>();
  switch (x.keyword(1)) {
    case fourCC("LIST"):
      if (x.keyword(2) == fourCC("LOAD")) video.readList(x.stringValue(3));
      if (x.keyword(2) == fourCC("CLE_")) video.clearList();
      break;
    case fourCC("PLAY"):
      video.play(x.stringValue(2));
      break;
  }
  return x.next();
}

}  // namespace

void registerVideoCommands(CommandTable& table) {
  table.add("VID_", video, "LIST LOAD file:str@videos | LIST CLE_ | PLAY name:str");
}

}  // namespace avg
