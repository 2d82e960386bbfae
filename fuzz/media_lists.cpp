// Reads "list.txt" as an active sound set (loading the sounds it names from the other files
// of the input through the WAVE reader) and as a music list.
#include "media/music_player.h"
#include "media/sound_channel.h"
#include "memory_game.h"
#include "script/error_reports.h"
#include "support/fake_services.h"

namespace {

struct NoReports : avg::ErrorReports {
  void report(std::string_view, std::optional<std::string_view>) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  avg::fuzz::MemoryGame game({reinterpret_cast<const char*>(data), size}, "list.txt");
  avg::test::HeadlessSound sound;
  avg::SoundChannel sounds(sound.device, game.archives(), "Volume-Sound");
  sounds.activate();
  sounds.load("list.txt");
  NoReports reports;
  avg::MusicPlayer music(sound.device, reports, game.archives());
  music.readList("list.txt", true);
  return 0;
}
