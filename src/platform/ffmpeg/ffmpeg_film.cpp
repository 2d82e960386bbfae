#include "platform/ffmpeg/ffmpeg_film.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/error_log.h"
#include "platform/ffmpeg/receive_frame.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace avg {
namespace {

// Copies the top-left part of `from` that fits into `to`.
void copyTopLeft(const Surface& from, Surface& to) {
  const int32_t width = std::min(from.width(), to.width());
  const int32_t height = std::min(from.height(), to.height());
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(to.row(y), from.row(y), static_cast<size_t>(width) * sizeof(uint32_t));
}

class FfmpegFilm : public Film {
 public:
  FfmpegFilm() = default;
  ~FfmpegFilm() override;
  FfmpegFilm(const FfmpegFilm&) = delete;
  FfmpegFilm& operator=(const FfmpegFilm&) = delete;

  // Opens the file and decodes its first frame; false, with a log entry, when it cannot.
  bool open(const std::string& path);

  Size size() const override { return {codec_->width, codec_->height}; }
  uint32_t lengthMs() const override;
  int64_t frameAt(uint32_t ms) const override;
  bool decodeFrame(int64_t frame, Surface& target) override;
  std::optional<uint32_t> soundFormatTag() const override { return soundTag_; }

 private:
  bool openStream();
  // Decodes the next frame into next_; false at the end of the stream or on damaged data.
  bool decodeNext();
  bool convert(Surface& target);

  AVFormatContext* demuxer_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  SwsContext* scaler_ = nullptr;
  Surface oversize_;  // a frame larger than the target
  AVPacket* packet_ = nullptr;
  // The frame shown last and the next one decoded, each with its number. An AVI frame may
  // be left empty, so the next frame's number may lie further ahead than one.
  AVFrame* held_ = nullptr;
  AVFrame* next_ = nullptr;
  int64_t nextNumber_ = -1;
  bool nextDecoded_ = false;
  int stream_ = -1;
  AVRational timeBase_{1, 1};
  int64_t frameCount_ = 0;
  std::optional<uint32_t> soundTag_;
};

FfmpegFilm::~FfmpegFilm() {
  sws_freeContext(scaler_);
  av_frame_free(&held_);
  av_frame_free(&next_);
  av_packet_free(&packet_);
  avcodec_free_context(&codec_);
  avformat_close_input(&demuxer_);
}

bool FfmpegFilm::open(const std::string& path) {
  av_log_set_level(AV_LOG_QUIET);
  if (avformat_open_input(&demuxer_, path.c_str(), av_find_input_format("avi"), nullptr) < 0) {
    writeErrorLog("CMovieAVI::Open AviFile Open Error");
    return false;
  }
  if (!openStream()) {
    writeErrorLog("CMovieAVI::Open StreamOpenError");
    return false;
  }
  if (frameCount_ <= 0) {
    writeErrorLog("CMovieAVI::Open サイズが異常");
    return false;
  }
  return true;
}

bool FfmpegFilm::openStream() {
  if (avformat_find_stream_info(demuxer_, nullptr) < 0) return false;
  stream_ = av_find_best_stream(demuxer_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (stream_ < 0) return false;
  const AVStream* video = demuxer_->streams[stream_];
  const AVCodec* decoder = avcodec_find_decoder(video->codecpar->codec_id);
  if (!decoder) return false;
  codec_ = avcodec_alloc_context3(decoder);
  packet_ = av_packet_alloc();
  next_ = av_frame_alloc();
  held_ = av_frame_alloc();
  if (!codec_ || !packet_ || !next_ || !held_) return false;
  if (avcodec_parameters_to_context(codec_, video->codecpar) < 0 ||
      avcodec_open2(codec_, decoder, nullptr) < 0) {
    return false;
  }
  timeBase_ = video->time_base;
  frameCount_ = video->nb_frames > 0 ? video->nb_frames : video->duration;
  int sound = av_find_best_stream(demuxer_, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (sound >= 0) soundTag_ = demuxer_->streams[sound]->codecpar->codec_tag;
  // A stream whose first frame does not decode is refused whole.
  return timeBase_.num > 0 && timeBase_.den > 0 && decodeNext() && codec_->width > 0 &&
         codec_->height > 0 && codec_->width <= Surface::kMaxSide &&
         codec_->height <= Surface::kMaxSide;
}

uint32_t FfmpegFilm::lengthMs() const {
  int64_t ms =
      av_rescale_rnd(frameCount_, int64_t{1000} * timeBase_.num, timeBase_.den, AV_ROUND_DOWN);
  return static_cast<uint32_t>(std::min<int64_t>(ms, UINT32_MAX));
}

int64_t FfmpegFilm::frameAt(uint32_t ms) const {
  return av_rescale_rnd(ms, timeBase_.den, int64_t{1000} * timeBase_.num, AV_ROUND_DOWN);
}

bool FfmpegFilm::decodeNext() {
  if (!receiveFrame(demuxer_, codec_, packet_, stream_, next_)) return false;
  int64_t stamp = next_->best_effort_timestamp;
  nextNumber_ = stamp == AV_NOPTS_VALUE ? nextNumber_ + 1 : stamp;
  nextDecoded_ = true;
  return true;
}

bool FfmpegFilm::decodeFrame(int64_t frame, Surface& target) {
  bool advanced = false;
  while ((nextDecoded_ || decodeNext()) && nextNumber_ <= frame) {
    std::swap(held_, next_);
    av_frame_unref(next_);
    nextDecoded_ = false;
    advanced = true;
  }
  return advanced && convert(target);
}

// A frame that fits is converted straight into the target; a larger one into a picture of
// its own, whose top-left part is then copied.
bool FfmpegFilm::convert(Surface& target) {
  const int width = held_->width;
  const int height = held_->height;
  scaler_ =
      sws_getCachedContext(scaler_, width, height, static_cast<AVPixelFormat>(held_->format), width,
                           height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!scaler_) return false;
  const bool fits = width <= target.width() && height <= target.height();
  if (!fits && (oversize_.width() != width || oversize_.height() != height)) {
    oversize_.create(width, height);
  }
  Surface& out = fits ? target : oversize_;
  uint8_t* planes[1] = {reinterpret_cast<uint8_t*>(out.row(0))};
  int pitches[1] = {out.pitch()};
  if (sws_scale(scaler_, held_->data, held_->linesize, 0, height, planes, pitches) <= 0) {
    return false;
  }
  if (!fits) copyTopLeft(oversize_, target);
  return true;
}

}  // namespace

std::unique_ptr<Film> FfmpegFilmDecoder::open(const std::string& path) {
  auto film = std::make_unique<FfmpegFilm>();
  if (!film->open(path)) return nullptr;
  return film;
}

}  // namespace avg
