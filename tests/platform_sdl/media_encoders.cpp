#include "media_encoders.h"

#include <cmath>
#include <stdexcept>
#include <vector>

#include "support/test_support.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace nova::test {
namespace {

void Check(int rc, const char* what) {
  if (rc < 0) throw std::runtime_error(std::string(what) + " failed");
}

struct TOutput {
  AVFormatContext* fmt = nullptr;
  ~TOutput() {
    if (!fmt) return;
    if (fmt->pb) avio_closep(&fmt->pb);
    avformat_free_context(fmt);
  }
};

struct TEncoder {
  AVCodecContext* ctx = nullptr;
  AVStream* stream = nullptr;
  ~TEncoder() { avcodec_free_context(&ctx); }
};

void Drain(AVFormatContext* fmt, TEncoder& e, AVFrame* frame) {
  Check(avcodec_send_frame(e.ctx, frame), "send frame");
  AVPacket* pkt = av_packet_alloc();
  while (avcodec_receive_packet(e.ctx, pkt) == 0) {
    av_packet_rescale_ts(pkt, e.ctx->time_base, e.stream->time_base);
    pkt->stream_index = e.stream->index;
    av_interleaved_write_frame(fmt, pkt);
  }
  av_packet_free(&pkt);
}

void OpenSoundEncoder(AVFormatContext* fmt, TEncoder& e, const char* codecName, int rate, int channels) {
  const AVCodec* codec = avcodec_find_encoder_by_name(codecName);
  if (!codec) throw std::runtime_error(std::string("no encoder ") + codecName);
  e.ctx = avcodec_alloc_context3(codec);
  e.ctx->sample_rate = rate;
  av_channel_layout_default(&e.ctx->ch_layout, channels);
  e.ctx->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  e.ctx->bit_rate = 128000;
  e.ctx->time_base = AVRational{1, rate};
  e.ctx->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
  if (fmt->oformat->flags & AVFMT_GLOBALHEADER) e.ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  Check(avcodec_open2(e.ctx, codec, nullptr), "open sound encoder");
  e.stream = avformat_new_stream(fmt, nullptr);
  avcodec_parameters_from_context(e.stream->codecpar, e.ctx);
  e.stream->time_base = e.ctx->time_base;
}

void EncodeSamples(AVFormatContext* fmt, TEncoder& e, int frames, const std::function<int(int, int)>& sample) {
  int channels = e.ctx->ch_layout.nb_channels;
  int chunk = e.ctx->frame_size > 0 ? e.ctx->frame_size : 1024;
  AVFrame* f = av_frame_alloc();
  for (int done = 0; done < frames; done += chunk) {
    int n = std::min(chunk, frames - done);
    if (e.ctx->frame_size > 0 && !(e.ctx->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE)) n = chunk;
    f->nb_samples = n;
    f->format = e.ctx->sample_fmt;
    av_channel_layout_copy(&f->ch_layout, &e.ctx->ch_layout);
    f->sample_rate = e.ctx->sample_rate;
    Check(av_frame_get_buffer(f, 0), "frame buffer");
    for (int i = 0; i < n; ++i) {
      for (int c = 0; c < channels; ++c) {
        int s = done + i < frames ? sample(done + i, c) : 0;
        switch (e.ctx->sample_fmt) {
          case AV_SAMPLE_FMT_S16: reinterpret_cast<int16_t*>(f->data[0])[i * channels + c] = static_cast<int16_t>(s); break;
          case AV_SAMPLE_FMT_S16P: reinterpret_cast<int16_t*>(f->data[c])[i] = static_cast<int16_t>(s); break;
          case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(f->data[c])[i] = s / 32768.0f; break;
          case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(f->data[0])[i * channels + c] = s / 32768.0f; break;
          default: throw std::runtime_error("sample format");
        }
      }
    }
    f->pts = done;
    Drain(fmt, e, f);
    av_frame_unref(f);
  }
  av_frame_free(&f);
  Drain(fmt, e, nullptr);
}

}  // namespace

std::string EncodeSound(const std::filesystem::path& file, const char* codec, int rate, int channels, int frames,
                        const std::function<int(int, int)>& sample, const std::function<void(void*)>& tags) {
  TOutput out;
  Check(avformat_alloc_output_context2(&out.fmt, nullptr, nullptr, file.c_str()), "output");
  TEncoder e;
  OpenSoundEncoder(out.fmt, e, codec, rate, channels);
  if (tags) tags(&e.stream->metadata);
  Check(avio_open(&out.fmt->pb, file.c_str(), AVIO_FLAG_WRITE), "open file");
  Check(avformat_write_header(out.fmt, nullptr), "header");
  EncodeSamples(out.fmt, e, frames, sample);
  av_write_trailer(out.fmt);
  avio_closep(&out.fmt->pb);
  return ReadFile(file);
}

std::string EncodeMovie(const std::filesystem::path& file, const char* codecName, int width, int height, int fps,
                        int frames, const std::function<uint32_t(int)>& colour, const char* soundCodec) {
  TOutput out;
  Check(avformat_alloc_output_context2(&out.fmt, nullptr, nullptr, file.c_str()), "output");
  const AVCodec* codec = avcodec_find_encoder_by_name(codecName);
  if (!codec) throw std::runtime_error(std::string("no encoder ") + codecName);
  TEncoder v;
  v.ctx = avcodec_alloc_context3(codec);
  v.ctx->width = width;
  v.ctx->height = height;
  v.ctx->time_base = AVRational{1, fps};
  v.ctx->framerate = AVRational{fps, 1};
  v.ctx->pix_fmt = AV_PIX_FMT_YUV420P;
  v.ctx->bit_rate = 4000000;
  v.ctx->gop_size = 12;
  v.ctx->max_b_frames = 0;
  if (out.fmt->oformat->flags & AVFMT_GLOBALHEADER) v.ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  Check(avcodec_open2(v.ctx, codec, nullptr), "open movie encoder");
  v.stream = avformat_new_stream(out.fmt, nullptr);
  avcodec_parameters_from_context(v.stream->codecpar, v.ctx);
  v.stream->time_base = v.ctx->time_base;
  TEncoder a;
  if (soundCodec) OpenSoundEncoder(out.fmt, a, soundCodec, 44100, 2);
  Check(avio_open(&out.fmt->pb, file.c_str(), AVIO_FLAG_WRITE), "open file");
  Check(avformat_write_header(out.fmt, nullptr), "header");
  SwsContext* sws = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_YUV420P, SWS_BILINEAR,
                                   nullptr, nullptr, nullptr);
  std::vector<uint32_t> rgb(static_cast<size_t>(width) * height);
  AVFrame* f = av_frame_alloc();
  f->format = AV_PIX_FMT_YUV420P;
  f->width = width;
  f->height = height;
  Check(av_frame_get_buffer(f, 0), "frame buffer");
  for (int k = 0; k < frames; ++k) {
    av_frame_make_writable(f);
    std::fill(rgb.begin(), rgb.end(), colour(k) | 0xFF000000u);
    const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(rgb.data())};
    int stride[1] = {width * 4};
    sws_scale(sws, src, stride, 0, height, f->data, f->linesize);
    f->pts = k;
    Drain(out.fmt, v, f);
  }
  Drain(out.fmt, v, nullptr);
  av_frame_free(&f);
  sws_freeContext(sws);
  if (soundCodec) {
    int sampleFrames = frames * 44100 / fps;
    EncodeSamples(out.fmt, a, sampleFrames,
                  [](int i, int) { return static_cast<int>(6000 * std::sin(2 * 3.14159265 * 440 * i / 44100.0)); });
  }
  av_write_trailer(out.fmt);
  avio_closep(&out.fmt->pb);
  return ReadFile(file);
}

}  // namespace nova::test
