#include "media/cd_tracks.h"

#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "base/game_path.h"

namespace avg {
namespace {

constexpr std::array<std::string_view, 5> kExtensions = {"ogg", "opus", "flac", "mp3", "wav"};
constexpr int32_t kMaxTrack = 99;

std::string lowerCase(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// "trackNN.EXT" (lower case) as (track, preference), or nothing.
std::optional<std::pair<int32_t, size_t>> trackFileName(const std::string& lower) {
  if (lower.size() < 9 || lower.compare(0, 5, "track") != 0 || !std::isdigit(lower[5]) ||
      !std::isdigit(lower[6]) || lower[7] != '.') {
    return std::nullopt;
  }
  for (size_t preference = 0; preference < kExtensions.size(); ++preference) {
    if (lower.substr(8) == kExtensions[preference]) {
      return std::make_pair((lower[5] - '0') * 10 + (lower[6] - '0'), preference);
    }
  }
  return std::nullopt;
}

// Adds the track files of one directory for the tracks not found yet.
void addTrackFiles(const std::string& directory, std::map<int32_t, std::string>& tracks) {
  std::map<int32_t, std::pair<size_t, std::string>> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
    auto track = trackFileName(lowerCase(entry.path().filename().string()));
    if (!track || track->first == 0 || !entry.is_regular_file(error)) continue;
    auto it = found.find(track->first);
    if (it == found.end() || track->second < it->second.first) {
      found[track->first] = {track->second, entry.path().string()};
    }
  }
  for (const auto& [track, file] : found)
    tracks.emplace(track, file.second);
}

void addPlaylist(std::map<int32_t, std::string>& tracks) {
  std::optional<std::string> playlist = findGameFile("playlist.txt");
  if (!playlist) return;
  std::ifstream in(*playlist, std::ios::binary);
  std::string line;
  for (int32_t track = 1; track <= kMaxTrack && std::getline(in, line); ++track) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (std::optional<std::string> file = findGameFile(line)) tracks.emplace(track, *file);
  }
}

}  // namespace

std::map<int32_t, std::string> findCdTracks() {
  std::map<int32_t, std::string> tracks;
  addPlaylist(tracks);
  if (std::optional<std::string> cd = findGameFile("cd")) addTrackFiles(*cd, tracks);
  addTrackFiles(".", tracks);
  return tracks;
}

}  // namespace avg
