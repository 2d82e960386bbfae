#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace avg {

// The next decoded frame of `stream`, demuxing packets as the decoder asks for them and
// draining it at the end of the data; false at the end or on a decoder error. A damaged
// packet is skipped and decoding goes on with the next one.
inline bool receiveFrame(AVFormatContext* demuxer, AVCodecContext* codec, AVPacket* packet,
                         int stream, AVFrame* frame) {
  for (;;) {
    int received = avcodec_receive_frame(codec, frame);
    if (received == 0) return true;
    if (received != AVERROR(EAGAIN)) return false;
    if (av_read_frame(demuxer, packet) < 0) {
      avcodec_send_packet(codec, nullptr);
      continue;
    }
    if (packet->stream_index == stream) avcodec_send_packet(codec, packet);
    av_packet_unref(packet);
  }
}

}  // namespace avg
