// Mixing and decoding cost: 32 looping stereo sounds at different volumes mixed for 60 s
// of output, and whole-file decoding of MP3 and Ogg Vorbis in WAVE (made with the ffmpeg
// tool) to mixer audio.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "audio/attenuation.h"
#include "audio/audio_decoder.h"
#include "audio/mixer.h"
#include "audio/whole_sound.h"
#include "base/game_path.h"
#include "platform/ffmpeg/ffmpeg_audio.h"

namespace {

constexpr uint32_t kRate = 48000;
constexpr int kSounds = 32;
constexpr double kOutputSeconds = 60.0;
constexpr size_t kChunkFrames = 480;  // 10 ms, as an audio callback would ask
constexpr int kDecodeSeconds = 60;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double mixCpuPercent() {
  auto mixer = std::make_shared<avg::Mixer>(kRate);
  std::vector<std::shared_ptr<avg::SoundData>> data;
  std::mt19937 random(1);
  std::uniform_real_distribution<float> sample(-0.5f, 0.5f);
  std::vector<avg::Mixer::Voice> voices(kSounds);
  for (int i = 0; i < kSounds; ++i) {
    auto sound = std::make_shared<avg::SoundData>();
    sound->samples.resize(2 * (kRate + 997 * i));
    for (float& s : sound->samples)
      s = sample(random);
    voices[i].data = sound;
    voices[i].loop = true;
    voices[i].playing = true;
    voices[i].gain = avg::attenuationToGain(-100 * i);
  }
  {
    std::lock_guard lock(mixer->mutex());
    for (auto& voice : voices)
      mixer->add(voice);
  }
  std::vector<float> out(2 * kChunkFrames);
  auto chunks = static_cast<size_t>(kOutputSeconds * kRate / kChunkFrames);
  Clock::time_point start = Clock::now();
  for (size_t i = 0; i < chunks; ++i) {
    mixer->mix(out.data(), kChunkFrames);
    benchmark::DoNotOptimize(out.data());
  }
  double seconds = secondsSince(start);
  std::lock_guard lock(mixer->mutex());
  for (auto& voice : voices)
    mixer->remove(voice);
  return 100.0 * seconds / kOutputSeconds;
}

void writeVorbisWave(const std::string& ogg, const std::string& wave) {
  std::ifstream in(ogg, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), {});
  auto le = [](uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
      s += static_cast<char>(v >> (8 * i));
    return s;
  };
  std::string fmt =
      le(0x674F, 2) + le(2, 2) + le(44100, 4) + le(44100 * 4, 4) + le(4, 2) + le(16, 2) + le(0, 2);
  std::string body = "WAVEfmt " + le(fmt.size(), 4) + fmt + "data" + le(data.size(), 4) + data;
  std::ofstream(wave, std::ios::binary) << "RIFF" << le(body.size(), 4) << body;
}

// Decoding speed as a multiple of real time, the best of three loads (the first also pays
// for fresh memory pages); 0 when the file could not be made or read.
double decodeTimesRealtime(const std::string& file) {
  avg::SoundFileDecoder decoder(std::make_shared<avg::FfmpegAudioCodec>());
  double best = 0.0;
  for (int run = 0; run < 3; ++run) {
    Clock::time_point start = Clock::now();
    std::shared_ptr<const avg::SoundData> sound =
        avg::decodeWholeSound(decoder, avg::readPlainFile(file), file, kRate);
    double seconds = secondsSince(start);
    if (!sound) return 0.0;
    best = std::max(best, static_cast<double>(sound->frames()) / kRate / seconds);
  }
  return best;
}

}  // namespace

int main() {
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("avgplayer-bench-mixer-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  std::string make =
      "ffmpeg -nostdin -y -loglevel error -f lavfi -i \"sine=frequency=440:"
      "sample_rate=44100:duration=" +
      std::to_string(kDecodeSeconds) + "\" -ac 2 ";
  int made = std::system((make + "-c:a libmp3lame -b:a 192k tone.mp3").c_str()) |
             std::system((make + "-c:a libvorbis -q:a 5 tone.ogg").c_str());
  if (made == 0) writeVorbisWave("tone.ogg", "vorbis.wav");

  double mix = mixCpuPercent();
  double mp3 = decodeTimesRealtime("tone.mp3");
  double vorbis = decodeTimesRealtime("vorbis.wav");
  std::filesystem::current_path("/");
  std::filesystem::remove_all(dir);
  std::printf("%d looping stereo sounds, %.0f s of output at %u Hz\n", kSounds, kOutputSeconds,
              kRate);
  std::printf("RESULT mix_cpu_percent %.3f %%\n", mix);
  std::printf("RESULT decode_mp3_x_realtime %.1f x\n", mp3);
  std::printf("RESULT decode_vorbis_x_realtime %.1f x\n", vorbis);
  return 0;
}
