// Sound decoding with libavcodec, converted to interleaved 16-bit samples by libswresample.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>

#include "base/error.h"
#include "platform/sdl/ffmpeg_decoders.h"
#include "platform/sdl/ffmpeg_stream.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace nova {
namespace {

// The most frames one conversion step produces. A decoded frame is converted in pieces of
// this size at most, whatever the ratio of the rates: a file that claims a rate of a few
// samples a second would otherwise turn one packet into hours of samples at once.
constexpr int64_t kMaxConvertFrames = 16384;

int64_t TagFrames(AVDictionary* tags, const char* key) {
  AVDictionaryEntry* e = av_dict_get(tags, key, nullptr, 0);
  if (!e || !e->value || !*e->value) return -1;
  char* end = nullptr;
  long long v = std::strtoll(e->value, &end, 10);
  return (*end == 0 && v >= 0) ? v : -1;
}

class TFfmpegAudioDecoder : public TAudioDecoder {
public:
  TFfmpegAudioDecoder(std::unique_ptr<TStream> data, const std::string& nameHint, const TAudioDecodeOptions& options)
      : stream_(std::move(data), nameHint, AVMEDIA_TYPE_AUDIO, "no sound in the data", "sound"), codec_(stream_.Codec()) {
    try {
      Open(options);
    } catch (...) {
      Free();
      throw;
    }
  }
  ~TFfmpegAudioDecoder() override { Free(); }

  const TPcmFormat& Format() const override { return out_; }
  int64_t LengthFrames() const override { return length_; }
  int64_t Position() const override { return pos_; }
  int64_t LoopStart() const override { return loopStart_; }
  int64_t LoopEnd() const override { return loopEnd_; }

  int64_t Read(int16_t* out, int64_t frames) override {
    int64_t done = 0;
    const int ch = out_.Channels;
    while (done < frames) {
      if (pendingOffset_ >= pending_.size()) {
        pending_.clear();
        pendingOffset_ = 0;
        if (!DecodeMore()) break;
        continue;
      }
      int64_t available = static_cast<int64_t>(pending_.size() - pendingOffset_) / ch;
      int64_t n = std::min(frames - done, available);
      std::memcpy(out + done * ch, pending_.data() + pendingOffset_, static_cast<size_t>(n * ch) * sizeof(int16_t));
      pendingOffset_ += static_cast<size_t>(n * ch);
      done += n;
    }
    pos_ += done;
    return done;
  }

  void Seek(int64_t frame) override {
    if (frame < 0) frame = 0;
    if (frame == pos_) return;  // the mixer seeks to where it stands before every block
    if (frame > pos_ && frame - pos_ < out_.Rate / 4) {
      Skip(frame - pos_);  // a short way forward: decode through
      return;
    }
    stream_.Seek(frame, AVRational{1, out_.Rate}, frame == 0);
    DropHeldFrame();
    ResetResampler();
    pending_.clear();
    pendingOffset_ = 0;
    drained_ = false;
    nextFrameKnown_ = false;
    seekTarget_ = frame;
    pos_ = frame;
    // Decoded frames before the target are dropped in DecodeMore by their timestamps.
  }

private:
  void Open(const TAudioDecodeOptions& options) {
    AVFormatContext* fmt = stream_.Format();
    AVStream* st = stream_.Stream();
    int inRate = codec_->sample_rate, inChannels = codec_->ch_layout.nb_channels;
    if (inRate <= 0 || inChannels <= 0) RaiseError("damaged sound format");
    out_.Bits = 16;
    out_.Rate = options.Rate ? options.Rate : inRate;
    out_.Channels = options.Channels ? options.Channels : std::min(inChannels, 2);
    if (options.MixerRatesOnly && !options.Rate && inRate != 44100 && inRate != 22050) out_.Rate = 44100;
    frame_ = av_frame_alloc();
    ResetResampler();

    int64_t durationMs = -1;
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0)
      length_ = av_rescale_q(st->duration, st->time_base, AVRational{1, out_.Rate});
    else if (fmt->duration != AV_NOPTS_VALUE && fmt->duration > 0)
      length_ = av_rescale(fmt->duration, out_.Rate, AV_TIME_BASE);
    (void)durationMs;
    AVDictionary* tags = st->metadata ? st->metadata : fmt->metadata;
    int64_t loopStart = TagFrames(tags, "LOOPSTART"), loopLength = TagFrames(tags, "LOOPLENGTH");
    int64_t loopEnd = TagFrames(tags, "LOOPEND");
    if (loopStart < 0) {
      tags = fmt->metadata;
      loopStart = TagFrames(tags, "LOOPSTART"), loopLength = TagFrames(tags, "LOOPLENGTH"), loopEnd = TagFrames(tags, "LOOPEND");
    }
    if (loopStart >= 0) {
      loopStart_ = av_rescale(loopStart, out_.Rate, inRate);
      if (loopLength > 0) loopEnd_ = av_rescale(loopStart + loopLength, out_.Rate, inRate);
      else if (loopEnd > loopStart) loopEnd_ = av_rescale(loopEnd, out_.Rate, inRate);
    }
  }

  void ResetResampler() {
    if (swr_) swr_free(&swr_);
    AVChannelLayout outLayout{};
    av_channel_layout_default(&outLayout, out_.Channels);
    // Zeroed: the copy below frees what the destination held first.
    AVChannelLayout inLayout{};
    if (codec_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
      av_channel_layout_default(&inLayout, codec_->ch_layout.nb_channels);
    else
      av_channel_layout_copy(&inLayout, &codec_->ch_layout);
    int rc = swr_alloc_set_opts2(&swr_, &outLayout, AV_SAMPLE_FMT_S16, out_.Rate, &inLayout, codec_->sample_fmt,
                                 codec_->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    // One channel goes into both sides at its own level, as the mixer widens it: the default
    // matrix spreads a centre channel at 1/sqrt(2), 3 dB below every stereo sound.
    if (rc >= 0 && codec_->ch_layout.nb_channels == 1 && out_.Channels == 2) {
      const double unity[2] = {1.0, 1.0};
      rc = swr_set_matrix(swr_, unity, 1);
    }
    if (rc < 0 || swr_init(swr_) < 0) RaiseError("cannot convert the sound");
    resamplerFormat_ = codec_->sample_fmt;
  }

  void Skip(int64_t frames) {
    std::vector<int16_t> scratch(4096 * static_cast<size_t>(out_.Channels));
    while (frames > 0) {
      int64_t n = Read(scratch.data(), std::min<int64_t>(frames, 4096));
      if (n <= 0) break;
      frames -= n;
    }
  }

  void DropHeldFrame() {
    if (frameHeld_) av_frame_unref(frame_);
    frameHeld_ = false;
    frameOffset_ = 0;
  }

  // Converts the next piece of the held frame into pending samples, dropping those before a
  // seek target; the frame is let go once all of it is converted.
  void ConvertPiece() {
    AVFrame* f = frame_;
    if (frameOffset_ == 0 && f->format != resamplerFormat_) {
      codec_->sample_fmt = static_cast<AVSampleFormat>(f->format);
      ResetResampler();
    }
    if (seekTarget_ >= 0 && !nextFrameKnown_) {
      // The first frame after a seek tells where decoding landed.
      int64_t ts = f->best_effort_timestamp != AV_NOPTS_VALUE ? f->best_effort_timestamp : f->pts;
      AVStream* st = stream_.Stream();
      if (ts != AV_NOPTS_VALUE) {
        int64_t start = st->start_time == AV_NOPTS_VALUE ? 0 : st->start_time;
        nextFrame_ = av_rescale_q(ts - start, st->time_base, AVRational{1, out_.Rate});
      } else {
        nextFrame_ = seekTarget_;  // no timestamps: taken as landed on the target
      }
      nextFrameKnown_ = true;
    }
    const int64_t left = f->nb_samples - frameOffset_;
    const int64_t inRate = std::max(1, codec_->sample_rate);
    const int count = static_cast<int>(std::clamp<int64_t>(kMaxConvertFrames * inRate / out_.Rate, 1, left));
    const auto format = static_cast<AVSampleFormat>(f->format);
    const int channels = f->ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const size_t step = static_cast<size_t>(av_get_bytes_per_sample(format)) * (planar ? 1 : channels);
    std::vector<const uint8_t*> in(planar ? static_cast<size_t>(channels) : 1);
    for (size_t c = 0; c < in.size(); ++c) in[c] = f->extended_data[c] + static_cast<size_t>(frameOffset_) * step;
    int n = 0;
    std::vector<int16_t> buf;
    if (int maxOut = swr_get_out_samples(swr_, count); maxOut > 0) {
      buf.resize(static_cast<size_t>(maxOut) * out_.Channels);
      uint8_t* outPlanes[1] = {reinterpret_cast<uint8_t*>(buf.data())};
      n = swr_convert(swr_, outPlanes, maxOut, in.data(), count);
    }
    frameOffset_ += count;
    if (frameOffset_ >= f->nb_samples) DropHeldFrame();  // converted: its samples are no longer read
    if (n <= 0) return;
    buf.resize(static_cast<size_t>(n) * out_.Channels);
    int64_t first = -1;  // output frame index of buf[0], when known
    if (seekTarget_ >= 0) {
      first = nextFrame_;
      nextFrame_ += n;
      int64_t drop = seekTarget_ - first;
      if (drop >= n) return;
      if (drop > 0) buf.erase(buf.begin(), buf.begin() + drop * out_.Channels);
      seekTarget_ = -1;
      if (drop < 0) {
        // Landed after the target: silence fills the gap, so positions stay exact.
        buf.insert(buf.begin(), static_cast<size_t>(-drop) * out_.Channels, int16_t{0});
      }
    }
    pending_.insert(pending_.end(), buf.begin(), buf.end());
  }

  // Decodes until some samples are pending; false at the end.
  bool DecodeMore() {
    while (pending_.empty()) {
      if (frameHeld_) {
        ConvertPiece();
        continue;
      }
      int rc = avcodec_receive_frame(codec_, frame_);
      if (rc == 0) {
        frameOffset_ = 0;
        frameHeld_ = frame_->nb_samples > 0;
        if (!frameHeld_) av_frame_unref(frame_);
        continue;
      }
      if (rc == AVERROR_EOF) {
        if (!drained_) {
          drained_ = true;
          FlushResampler();
          if (!pending_.empty()) return true;
        }
        return false;
      }
      if (rc != AVERROR(EAGAIN)) return false;
      if (!stream_.Feed()) return false;
    }
    return true;
  }

  void FlushResampler() {
    if (seekTarget_ >= 0) return;
    int n = swr_get_out_samples(swr_, 0);
    if (n <= 0) return;
    std::vector<int16_t> buf(static_cast<size_t>(n) * out_.Channels);
    uint8_t* outPlanes[1] = {reinterpret_cast<uint8_t*>(buf.data())};
    int got = swr_convert(swr_, outPlanes, n, nullptr, 0);
    if (got > 0) pending_.insert(pending_.end(), buf.begin(), buf.begin() + got * out_.Channels);
  }

  void Free() {
    if (swr_) swr_free(&swr_);
    if (frame_) av_frame_free(&frame_);
  }

  TFfmpegStream stream_;
  AVCodecContext* codec_;  // the stream's
  SwrContext* swr_ = nullptr;
  int resamplerFormat_ = -1;
  AVFrame* frame_ = nullptr;
  TPcmFormat out_;
  int64_t length_ = -1, pos_ = 0;
  int64_t loopStart_ = -1, loopEnd_ = -1;
  std::vector<int16_t> pending_;
  size_t pendingOffset_ = 0;
  bool drained_ = false;
  int64_t seekTarget_ = -1, nextFrame_ = 0;
  bool nextFrameKnown_ = false;
  // A decoded frame not yet converted in full, and how many of its samples are.
  bool frameHeld_ = false;
  int64_t frameOffset_ = 0;
};

}  // namespace

std::unique_ptr<TAudioDecoder> OpenFfmpegAudio(std::unique_ptr<TStream> data, const std::string& nameHint,
                                               const TAudioDecodeOptions& options) {
  return std::make_unique<TFfmpegAudioDecoder>(std::move(data), nameHint, options);
}

}  // namespace nova
