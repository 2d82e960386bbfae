// Music streaming: time from play to the first audible sample of a 10-minute Ogg Vorbis
// piece and a 10-minute MP3 (made with the ffmpeg tool), the resident memory that playing
// one adds, and the frames inserted where a loop wraps.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/audio_decoder.h"
#include "audio/mixer.h"
#include "platform/ffmpeg/ffmpeg_audio.h"
#include "resident_memory.h"

namespace {

constexpr uint32_t kRate = 48000;
constexpr size_t kCallbackFrames = 480;  // 10 ms, as an audio callback would ask
constexpr int kPieceSeconds = 600;
constexpr int kPlaySeconds = 30;
constexpr size_t kCompareFrames = 2000;

using Clock = std::chrono::steady_clock;

bool makePiece(const std::string& file, const std::string& codec, int seconds) {
  std::string command =
      "ffmpeg -nostdin -y -loglevel error -f lavfi -i \"sine=frequency=440:sample_rate=44100:"
      "duration=" +
      std::to_string(seconds) + "\" -f lavfi -i \"anoisesrc=a=0.05:d=" + std::to_string(seconds) +
      ":r=44100\" -filter_complex amix=inputs=2 -ac 2 " + codec + " " + file;
  return std::system(command.c_str()) == 0;
}

// Mixes until a sample is not silent; false when the piece ended first.
bool mixToFirstSound(avg::Mixer& mixer) {
  std::vector<float> out(2 * kCallbackFrames);
  for (int i = 0; i < 1000; ++i) {
    mixer.mix(out.data(), kCallbackFrames);
    if (std::any_of(out.begin(), out.end(), [](float s) { return s != 0.0f; })) return true;
  }
  return false;
}

// Milliseconds from opening and playing to the first audible sample, the best of three.
double startMs(const std::shared_ptr<avg::Mixer>& mixer, avg::AudioDecoder& decoder,
               const std::string& file) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    Clock::time_point start = Clock::now();
    std::unique_ptr<avg::MusicStream> music = avg::openMixerMusic(mixer, decoder, file);
    if (!music) return -1;
    music->play(true);
    if (!mixToFirstSound(*mixer)) return -1;
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  return best;
}

double addedMemoryMb(const std::shared_ptr<avg::Mixer>& mixer, avg::AudioDecoder& decoder,
                     const std::string& file) {
  double before = residentMb();
  std::unique_ptr<avg::MusicStream> music = avg::openMixerMusic(mixer, decoder, file);
  if (!music) return -1;
  music->play(true);
  std::vector<float> out(2 * kCallbackFrames);
  double peak = before;
  for (size_t i = 0; i < kPlaySeconds * kRate / kCallbackFrames; ++i) {
    mixer->mix(out.data(), kCallbackFrames);
    if (i % 100 == 0) peak = std::max(peak, residentMb());
  }
  return peak - before;
}

std::vector<float> mixLeft(avg::Mixer& mixer, size_t frames) {
  std::vector<float> out(2 * frames);
  mixer.mix(out.data(), frames);
  std::vector<float> left(frames);
  for (size_t i = 0; i < frames; ++i)
    left[i] = out[2 * i];
  return left;
}

// Frames between the end of one pass of a looping piece and the start of the next; -1 when
// the start is not found at all.
long loopGapFrames(const std::shared_ptr<avg::Mixer>& mixer, avg::AudioDecoder& decoder,
                   const std::string& file) {
  std::unique_ptr<avg::MusicStream> music = avg::openMixerMusic(mixer, decoder, file);
  if (!music) return -1;
  music->play(false);
  std::vector<float> once = mixLeft(*mixer, 4 * kRate);
  size_t length = once.size();
  while (length > 0 && once[length - 1] == 0.0f)
    --length;
  music->play(true);
  std::vector<float> looped = mixLeft(*mixer, 2 * length + kRate);
  for (size_t gap = 0; gap < kRate; ++gap) {
    if (std::equal(once.begin(), once.begin() + kCompareFrames, looped.begin() + length + gap)) {
      return static_cast<long>(gap);
    }
  }
  return -1;
}

}  // namespace

int main() {
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("avgplayer-bench-music-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  bool made = makePiece("long.ogg", "-c:a libvorbis -q:a 4", kPieceSeconds) &&
              makePiece("long.mp3", "-c:a libmp3lame -b:a 192k", kPieceSeconds) &&
              makePiece("short.ogg", "-ar 48000 -c:a libvorbis -q:a 4", 1);
  auto mixer = std::make_shared<avg::Mixer>(kRate, true);
  avg::SoundFileDecoder decoder(std::make_shared<avg::FfmpegAudioCodec>());
  double vorbis = -1;
  double mp3 = -1;
  double memory = -1;
  long gap = -1;
  if (made) {
    // First, in a fresh process: what it adds includes the decoders' first use.
    memory = addedMemoryMb(mixer, decoder, "long.ogg");
    vorbis = startMs(mixer, decoder, "long.ogg");
    mp3 = startMs(mixer, decoder, "long.mp3");
    gap = loopGapFrames(mixer, decoder, "short.ogg");
  }
  std::filesystem::current_path("/");
  std::filesystem::remove_all(dir);
  std::printf("10-minute pieces at 44100 Hz played at %u Hz; loop gap of a 1 s Ogg Vorbis piece\n",
              kRate);
  std::printf("RESULT start_ms_vorbis %.2f ms\n", vorbis);
  std::printf("RESULT start_ms_mp3 %.2f ms\n", mp3);
  std::printf("RESULT music_rss_mb %.2f MB\n", memory);
  std::printf("RESULT loop_gap_samples %ld samples\n", gap);
  return 0;
}
