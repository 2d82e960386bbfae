#pragma once
#include <map>
#include <optional>
#include <string>

namespace avg {

// The tracks of a game's audio CD as ripped files in the game directory. Track t is, in
// this order: the file named on line t of "playlist.txt"; "cd/trackNN.EXT"; "trackNN.EXT"
// (NN two digits, EXT ogg, opus, flac, mp3 or wav in that order of preference, letter case
// ignored). Paths are as found on this system.
std::map<int32_t, std::string> findCdTracks();

}  // namespace avg
