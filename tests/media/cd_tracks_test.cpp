// Ripped CD tracks: which file is which track.
#include "media/cd_tracks.h"

#include <gtest/gtest.h>

#include "support/game_dir.h"

namespace avg {
namespace {

TEST(CdTracks, NamingSchemesPlaylistAndPreference) {
  struct Case {
    std::vector<std::string> files;
    std::string playlist;
    std::map<int32_t, std::string> tracks;
  };
  const Case cases[] = {
      {{}, "", {}},
      {{"cd/track01.ogg"}, "", {{1, "track01.ogg"}}},
      {{"track02.opus"}, "", {{2, "track02.opus"}}},
      {{"Track03.FLAC"}, "", {{3, "Track03.FLAC"}}},
      {{"CD/TRACK04.Mp3", "track04.wav"}, "", {{4, "TRACK04.Mp3"}}},
      {{"track05.wav", "track05.mp3", "track05.ogg"}, "", {{5, "track05.ogg"}}},
      {{"track06.mid", "track6.ogg", "track100.ogg", "track00.ogg", "tracks.ogg"}, "", {}},
      {{"music/opening.ogg", "track01.ogg", "track03.ogg"},
       "music\\Opening.ogg\r\n\r\nnothing.ogg\r\n",
       {{1, "opening.ogg"}, {3, "track03.ogg"}}},
  };
  for (const Case& c : cases) {
    test::TempGameDir dir;
    for (const std::string& file : c.files)
      dir.write(file, "x");
    if (!c.playlist.empty()) dir.write("playlist.txt", c.playlist);
    std::map<int32_t, std::string> found = findCdTracks();
    std::map<int32_t, std::string> names;
    for (const auto& [track, path] : found)
      names[track] = std::filesystem::path(path).filename().string();
    EXPECT_EQ(names, c.tracks) << (c.files.empty() ? "" : c.files[0]);
  }
}

}  // namespace
}  // namespace avg
