#include "platform/sdl/ffmpeg_stream.h"

#include <cstdio>

#include "base/error.h"

namespace nova {
namespace {

// A run of consecutive undecodable packets this long ends the stream.
constexpr int kMaxBadPackets = 64;

}  // namespace

TFfmpegStream::TFfmpegStream(std::unique_ptr<TStream> data, const std::string& nameHint, AVMediaType kind,
                             const char* noStream, const char* what)
    : input_(std::move(data), nameHint) {
  try {
    Open(kind, noStream, what);
  } catch (...) {
    Free();
    throw;
  }
}

TFfmpegStream::~TFfmpegStream() { Free(); }

void TFfmpegStream::Open(AVMediaType kind, const char* noStream, const char* what) {
  AVFormatContext* fmt = input_.Format();
  index_ = av_find_best_stream(fmt, kind, -1, -1, nullptr, 0);
  if (index_ < 0) RaiseError(noStream);
  AVStream* st = fmt->streams[index_];
  const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
  if (!codec) RaiseError(std::string("no decoder for ") + avcodec_get_name(st->codecpar->codec_id));
  codec_ = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(codec_, st->codecpar);
  codec_->thread_count = 1;
  int rc = avcodec_open2(codec_, codec, nullptr);
  if (rc < 0) RaiseError(std::string("cannot decode the ") + what + ": " + FfmpegErrorText(rc));
  packet_ = av_packet_alloc();
}

void TFfmpegStream::Free() {
  if (packet_) av_packet_free(&packet_);
  if (codec_) avcodec_free_context(&codec_);
}

bool TFfmpegStream::Feed() {
  if (ended_) {
    if (flushed_) return false;
    flushed_ = true;
    avcodec_send_packet(codec_, nullptr);
    return true;
  }
  if (av_read_frame(input_.Format(), packet_) < 0) {
    ended_ = true;
    return true;
  }
  if (packet_->stream_index == index_) {
    int sent = avcodec_send_packet(codec_, packet_);
    if (sent < 0 && sent != AVERROR(EAGAIN)) {
      if (++badPackets_ > kMaxBadPackets) ended_ = true;
    } else {
      badPackets_ = 0;
    }
  }
  av_packet_unref(packet_);
  return true;
}

void TFfmpegStream::Seek(int64_t position, AVRational unit, bool fromStart) {
  AVFormatContext* fmt = input_.Format();
  AVStream* st = fmt->streams[index_];
  int64_t start = st->start_time == AV_NOPTS_VALUE ? 0 : st->start_time;
  int64_t ts = start + av_rescale_q(position, unit, st->time_base);
  if (fromStart || av_seek_frame(fmt, index_, ts, AVSEEK_FLAG_BACKWARD) < 0) {
    // From the very start (also where the container cannot seek).
    avio_seek(fmt->pb, 0, SEEK_SET);
    av_seek_frame(fmt, index_, start, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY);
  }
  avcodec_flush_buffers(codec_);
  ended_ = flushed_ = false;
  badPackets_ = 0;
}

}  // namespace nova
