// Film playback: a 640 × 480 MPEG-4 Part 2 film and a Cinepak film (made with the ffmpeg
// tool) decoded, converted and drawn onto a back surface frame by frame, against what
// libavcodec alone takes to decode the same MPEG-4 frames; and the resident memory while
// playing.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/ffmpeg/ffmpeg_film.h"
#include "resident_memory.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

constexpr int kSeconds = 5;
constexpr int kRate = 25;
constexpr int kFrames = kSeconds * kRate;

using Clock = std::chrono::steady_clock;

bool makeFilm(const std::string& file, const std::string& codec) {
  std::string command =
      "ffmpeg -nostdin -y -loglevel error -f lavfi -i \"testsrc2=size=640x480:rate=" +
      std::to_string(kRate) + ":duration=" + std::to_string(kSeconds) + "\" " + codec + " " + file;
  return std::system(command.c_str()) == 0;
}

// Milliseconds per frame of `run`, which handles all kFrames frames, the best of three.
double bestMsPerFrame(const std::function<bool()>& run) {
  double best = 1e9;
  for (int i = 0; i < 3; ++i) {
    Clock::time_point start = Clock::now();
    if (!run()) return -1;
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  return best / kFrames;
}

// The player's path: each frame decoded and converted onto the back surface. Tracks the resident
// memory on the way.
bool playFilm(const std::string& file, double& peakMb) {
  avg::FfmpegFilmDecoder decoder;
  std::unique_ptr<avg::Film> film = decoder.open(file);
  if (!film) return false;
  avg::Surface back;
  back.create(640, 480);
  for (int64_t frame = 0; frame < kFrames; ++frame) {
    if (!film->decodeFrame(frame, back)) return false;
    if (frame % 25 == 0) peakMb = std::max(peakMb, residentMb());
  }
  return true;
}

// libavcodec alone: every frame of the file's video stream decoded, nothing converted.
bool decodeOnly(const std::string& file) {
  AVFormatContext* demuxer = nullptr;
  if (avformat_open_input(&demuxer, file.c_str(), nullptr, nullptr) < 0) return false;
  avformat_find_stream_info(demuxer, nullptr);
  int stream = av_find_best_stream(demuxer, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const AVCodec* codec = avcodec_find_decoder(demuxer->streams[stream]->codecpar->codec_id);
  AVCodecContext* context = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(context, demuxer->streams[stream]->codecpar);
  avcodec_open2(context, codec, nullptr);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  int decoded = 0;
  while (av_read_frame(demuxer, packet) >= 0) {
    if (packet->stream_index == stream) avcodec_send_packet(context, packet);
    av_packet_unref(packet);
    while (avcodec_receive_frame(context, frame) == 0)
      ++decoded;
  }
  avcodec_send_packet(context, nullptr);
  while (avcodec_receive_frame(context, frame) == 0)
    ++decoded;
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&context);
  avformat_close_input(&demuxer);
  return decoded == kFrames;
}

}  // namespace

int main() {
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("avgplayer-bench-video-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  bool made = makeFilm("mpeg4.avi", "-c:v mpeg4 -q:v 4") && makeFilm("cinepak.avi", "-c:v cinepak");
  double peak = 0;
  double mpeg4 = -1;
  double cinepak = -1;
  double bare = -1;
  if (made) {
    mpeg4 = bestMsPerFrame([&] { return playFilm("mpeg4.avi", peak); });
    cinepak = bestMsPerFrame([&] { return playFilm("cinepak.avi", peak); });
    bare = bestMsPerFrame([] { return decodeOnly("mpeg4.avi"); });
  }
  std::filesystem::current_path("/");
  std::filesystem::remove_all(dir);
  std::printf("%d frames of 640 x 480 at %d fps, decoded, converted and drawn\n", kFrames, kRate);
  std::printf("RESULT video_ms_per_frame_mpeg4 %.3f ms\n", mpeg4);
  std::printf("RESULT video_ms_per_frame_cinepak %.3f ms\n", cinepak);
  std::printf("RESULT ffmpeg_ms_per_frame_mpeg4 %.3f ms\n", bare);
  std::printf("RESULT video_rss_mb %.2f MB\n", made ? peak : -1.0);
  return 0;
}
