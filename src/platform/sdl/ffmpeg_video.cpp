// Movie decoding with libavcodec, frames converted to 32-bit 0x00RRGGBB by libswscale.
#include <algorithm>

#include "base/error.h"
#include "platform/sdl/ffmpeg_decoders.h"
#include "platform/sdl/ffmpeg_io.h"
#include "platform/sdl/ffmpeg_stream.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace nova {
namespace {

constexpr int kMaxSide = 8192;

class TFfmpegVideoDecoder : public TVideoDecoder {
public:
  TFfmpegVideoDecoder(std::unique_ptr<TStream> data, const std::string& nameHint)
      : stream_(std::move(data), nameHint, AVMEDIA_TYPE_VIDEO, "no picture in the data", "movie"),
        codec_(stream_.Codec()) {
    try {
      Open();
    } catch (...) {
      Free();
      throw;
    }
  }
  ~TFfmpegVideoDecoder() override { Free(); }

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int64_t DurationMs() const override { return durationMs_; }
  bool HasAudio() const override { return hasAudio_; }

  bool ReadFrame(TVideoFrame& out) override {
    if (held_) {
      held_ = false;
      return Emit(held_frame_, out);
    }
    for (;;) {
      if (!DecodeOne(frame_)) {
        if (haveCandidate_) {
          haveCandidate_ = false;
          seekMs_ = -1;
          return Emit(candidate_, out);
        }
        return false;
      }
      int64_t t = FrameMs(frame_);
      if (seekMs_ < 0) return Emit(frame_, out);
      if (t <= seekMs_) {
        // Due at or before the target: the best so far.
        av_frame_unref(candidate_);
        av_frame_move_ref(candidate_, frame_);
        haveCandidate_ = true;
        if (t == seekMs_) {
          haveCandidate_ = false;
          seekMs_ = -1;
          return Emit(candidate_, out);
        }
        continue;
      }
      seekMs_ = -1;
      if (!haveCandidate_) return Emit(frame_, out);
      haveCandidate_ = false;
      av_frame_unref(held_frame_);
      av_frame_move_ref(held_frame_, frame_);
      held_ = true;
      return Emit(candidate_, out);
    }
  }

  void Seek(int64_t ms) override {
    if (ms < 0) ms = 0;
    stream_.Seek(ms, AVRational{1, 1000}, false);
    held_ = haveCandidate_ = false;
    av_frame_unref(held_frame_);
    av_frame_unref(candidate_);
    seekMs_ = ms;
  }

private:
  void Open() {
    AVFormatContext* fmt = stream_.Format();
    hasAudio_ = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0;
    AVStream* st = stream_.Stream();
    width_ = codec_->width;
    height_ = codec_->height;
    if (width_ <= 0 || height_ <= 0 || width_ > kMaxSide || height_ > kMaxSide) RaiseError("damaged movie size");
    // Program streams often carry no usable stream duration: the longer of the two counts.
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
      durationMs_ = av_rescale_q(st->duration, st->time_base, AVRational{1, 1000});
    if (fmt->duration != AV_NOPTS_VALUE && fmt->duration > 0) durationMs_ = std::max<int64_t>(durationMs_, fmt->duration / 1000);
    frame_ = av_frame_alloc();
    candidate_ = av_frame_alloc();
    held_frame_ = av_frame_alloc();
  }

  int64_t FrameMs(AVFrame* f) {
    int64_t ts = f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : f->pts;
    if (ts == AV_NOPTS_VALUE) return lastMs_;
    return StreamTimeMs(stream_.Stream(), ts);
  }

  bool DecodeOne(AVFrame* into) {
    for (;;) {
      int rc = avcodec_receive_frame(codec_, into);
      if (rc == 0) {
        if (into->width != width_ || into->height != height_ || into->width <= 0) {
          av_frame_unref(into);  // a frame of another size (damaged data): dropped
          continue;
        }
        return true;
      }
      if (rc == AVERROR_EOF) return false;
      if (rc != AVERROR(EAGAIN)) return false;
      if (!stream_.Feed()) return false;
    }
  }

  bool Emit(AVFrame* f, TVideoFrame& out) {
    out.TimeMs = lastMs_ = FrameMs(f);
    out.Width = width_;
    out.Height = height_;
    out.Pixels.resize(static_cast<size_t>(width_) * height_);
    sws_ = sws_getCachedContext(sws_, width_, height_, static_cast<AVPixelFormat>(f->format), width_, height_,
                                AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws_) {
      av_frame_unref(f);
      return false;
    }
    uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(out.Pixels.data()), nullptr, nullptr, nullptr};
    int dstStride[4] = {width_ * 4, 0, 0, 0};
    sws_scale(sws_, f->data, f->linesize, 0, height_, dst, dstStride);
    for (uint32_t& p : out.Pixels) p &= 0x00FFFFFF;  // the alpha byte of BGRA is not ours
    av_frame_unref(f);
    return true;
  }

  void Free() {
    if (sws_) sws_freeContext(sws_), sws_ = nullptr;
    if (frame_) av_frame_free(&frame_);
    if (candidate_) av_frame_free(&candidate_);
    if (held_frame_) av_frame_free(&held_frame_);
  }

  TFfmpegStream stream_;
  AVCodecContext* codec_;  // the stream's
  SwsContext* sws_ = nullptr;
  AVFrame *frame_ = nullptr, *candidate_ = nullptr, *held_frame_ = nullptr;
  int width_ = 0, height_ = 0;
  int64_t durationMs_ = 0, lastMs_ = 0, seekMs_ = -1;
  bool hasAudio_ = false, held_ = false, haveCandidate_ = false;
};

class TFfmpegDecoders : public TMediaDecoders {
public:
  std::unique_ptr<TAudioDecoder> OpenAudio(std::unique_ptr<TStream> data, const std::string& nameHint,
                                           const TAudioDecodeOptions& options) override {
    return OpenFfmpegAudio(std::move(data), nameHint, options);
  }
  std::unique_ptr<TVideoDecoder> OpenVideo(std::unique_ptr<TStream> data, const std::string& nameHint) override {
    return std::make_unique<TFfmpegVideoDecoder>(std::move(data), nameHint);
  }
};

}  // namespace

std::unique_ptr<TMediaDecoders> CreateFfmpegDecoders() { return std::make_unique<TFfmpegDecoders>(); }

}  // namespace nova
