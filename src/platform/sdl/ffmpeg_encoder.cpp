#include "platform/sdl/ffmpeg_encoder.h"

#include <algorithm>
#include <string>

#include "base/error.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswscale/swscale.h>
}

namespace nova {
namespace {

void Check(int rc, const char* what, const char* kind = "Ogg Vorbis") {
  if (rc < 0) RaiseError(std::string(kind) + ": " + what + " failed");
}

// What one encoding holds, freed in every case.
struct TEncoding {
  AVFormatContext* Format = nullptr;
  AVCodecContext* Codec = nullptr;
  AVFrame* Frame = nullptr;
  AVPacket* Packet = nullptr;
  ~TEncoding() {
    av_packet_free(&Packet);
    av_frame_free(&Frame);
    avcodec_free_context(&Codec);
    if (Format) {
      if (Format->pb) avio_closep(&Format->pb);
      avformat_free_context(Format);
    }
  }
};

void Send(TEncoding& e, AVStream* stream, AVFrame* frame, const char* kind = "Ogg Vorbis") {
  Check(avcodec_send_frame(e.Codec, frame), "encoding", kind);
  while (avcodec_receive_packet(e.Codec, e.Packet) == 0) {
    av_packet_rescale_ts(e.Packet, e.Codec->time_base, stream->time_base);
    e.Packet->stream_index = stream->index;
    Check(av_interleaved_write_frame(e.Format, e.Packet), "writing", kind);
  }
}

}  // namespace

void WriteOggVorbis(const std::filesystem::path& file, const std::vector<int16_t>& samples, int rate, int channels) {
  const AVCodec* codec = avcodec_find_encoder_by_name("libvorbis");
  if (!codec) codec = avcodec_find_encoder(AV_CODEC_ID_VORBIS);  // FFmpeg's own (experimental)
  if (!codec) RaiseError("Ogg Vorbis: no encoder in this FFmpeg");
  TEncoding e;
  Check(avformat_alloc_output_context2(&e.Format, nullptr, "ogg", file.c_str()), "output");
  e.Codec = avcodec_alloc_context3(codec);
  e.Codec->sample_rate = rate;
  av_channel_layout_default(&e.Codec->ch_layout, channels);
  e.Codec->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
  e.Codec->time_base = AVRational{1, rate};
  e.Codec->flags |= AV_CODEC_FLAG_QSCALE;
  e.Codec->global_quality = 4 * FF_QP2LAMBDA;
  e.Codec->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
  if (e.Format->oformat->flags & AVFMT_GLOBALHEADER) e.Codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  Check(avcodec_open2(e.Codec, codec, nullptr), "opening the encoder");
  AVStream* stream = avformat_new_stream(e.Format, nullptr);
  avcodec_parameters_from_context(stream->codecpar, e.Codec);
  stream->time_base = e.Codec->time_base;
  Check(avio_open(&e.Format->pb, file.c_str(), AVIO_FLAG_WRITE), "opening the file");
  Check(avformat_write_header(e.Format, nullptr), "writing the header");
  e.Frame = av_frame_alloc();
  e.Packet = av_packet_alloc();
  const int frames = static_cast<int>(samples.size()) / channels;
  const int chunk = e.Codec->frame_size > 0 ? e.Codec->frame_size : 1024;
  for (int done = 0; done < frames; done += chunk) {
    const int n = std::min(chunk, frames - done);
    e.Frame->nb_samples = n;
    e.Frame->format = e.Codec->sample_fmt;
    av_channel_layout_copy(&e.Frame->ch_layout, &e.Codec->ch_layout);
    e.Frame->sample_rate = rate;
    Check(av_frame_get_buffer(e.Frame, 0), "frame buffer");
    for (int i = 0; i < n; ++i)
      for (int c = 0; c < channels; ++c) {
        const int16_t s = samples[static_cast<size_t>(done + i) * channels + c];
        switch (e.Codec->sample_fmt) {
          case AV_SAMPLE_FMT_FLTP: reinterpret_cast<float*>(e.Frame->data[c])[i] = s / 32768.0f; break;
          case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(e.Frame->data[0])[i * channels + c] = s / 32768.0f; break;
          case AV_SAMPLE_FMT_S16P: reinterpret_cast<int16_t*>(e.Frame->data[c])[i] = s; break;
          case AV_SAMPLE_FMT_S16: reinterpret_cast<int16_t*>(e.Frame->data[0])[i * channels + c] = s; break;
          default: RaiseError("Ogg Vorbis: unexpected sample format");
        }
      }
    e.Frame->pts = done;
    Send(e, stream, e.Frame);
    av_frame_unref(e.Frame);
  }
  Send(e, stream, nullptr);
  Check(av_write_trailer(e.Format), "writing the trailer");
}

void WriteMpegMovie(const std::filesystem::path& file, int width, int height, int fps, int frames,
                    const std::function<void(int, std::vector<uint32_t>&)>& draw) {
  const char* kind = "MPEG-1";
  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO);
  if (!codec) RaiseError("MPEG-1: no encoder in this FFmpeg");
  TEncoding e;
  Check(avformat_alloc_output_context2(&e.Format, nullptr, "mpeg", file.c_str()), "output", kind);
  e.Codec = avcodec_alloc_context3(codec);
  e.Codec->width = width;
  e.Codec->height = height;
  e.Codec->time_base = AVRational{1, fps};
  e.Codec->framerate = AVRational{fps, 1};
  e.Codec->pix_fmt = AV_PIX_FMT_YUV420P;
  e.Codec->bit_rate = 800000;
  e.Codec->gop_size = 12;
  e.Codec->max_b_frames = 0;
  Check(avcodec_open2(e.Codec, codec, nullptr), "opening the encoder", kind);
  AVStream* stream = avformat_new_stream(e.Format, nullptr);
  avcodec_parameters_from_context(stream->codecpar, e.Codec);
  stream->time_base = e.Codec->time_base;
  Check(avio_open(&e.Format->pb, file.c_str(), AVIO_FLAG_WRITE), "opening the file", kind);
  Check(avformat_write_header(e.Format, nullptr), "writing the header", kind);
  e.Frame = av_frame_alloc();
  e.Packet = av_packet_alloc();
  e.Frame->format = AV_PIX_FMT_YUV420P;
  e.Frame->width = width;
  e.Frame->height = height;
  Check(av_frame_get_buffer(e.Frame, 0), "frame buffer", kind);
  SwsContext* sws = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_YUV420P, SWS_BILINEAR,
                                   nullptr, nullptr, nullptr);
  if (!sws) RaiseError("MPEG-1: no colour conversion");
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  try {
    for (int k = 0; k < frames; ++k) {
      draw(k, pixels);
      Check(av_frame_make_writable(e.Frame), "frame buffer", kind);
      const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(pixels.data())};
      const int stride[1] = {width * 4};
      sws_scale(sws, src, stride, 0, height, e.Frame->data, e.Frame->linesize);
      e.Frame->pts = k;
      Send(e, stream, e.Frame, kind);
    }
    Send(e, stream, nullptr, kind);
  } catch (...) {
    sws_freeContext(sws);
    throw;
  }
  sws_freeContext(sws);
  Check(av_write_trailer(e.Format), "writing the trailer", kind);
}

}  // namespace nova
