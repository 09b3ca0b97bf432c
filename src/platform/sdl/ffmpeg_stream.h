#pragma once
// One stream of a container with its decoder open, which the sound and the movie decoders
// share: the best stream of a kind, its codec fed packet by packet (a run of undecodable
// packets ends the stream) and the seek that lands the decoder at a time.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <memory>
#include <string>

#include "base/stream.h"
#include "platform/sdl/ffmpeg_io.h"

namespace nova {

class TFfmpegStream {
public:
  // Opens the container and the decoder of its best stream of the kind. Raises ENovaError with
  // noStream when it has none, and "cannot decode the " + what + ": " and FFmpeg's reason when
  // the decoder does not open.
  TFfmpegStream(std::unique_ptr<TStream> data, const std::string& nameHint, AVMediaType kind, const char* noStream,
                const char* what);
  ~TFfmpegStream();
  TFfmpegStream(const TFfmpegStream&) = delete;
  TFfmpegStream& operator=(const TFfmpegStream&) = delete;

  AVFormatContext* Format() { return input_.Format(); }
  AVStream* Stream() { return input_.Format()->streams[index_]; }
  AVCodecContext* Codec() { return codec_; }

  // Gives the decoder the stream's next packet, or its flush once the data has ended; false
  // when it has had everything.
  bool Feed();
  // To position (in units of unit) from the stream's start: the nearest key frame before it,
  // or the very start with fromStart or where the container cannot seek. The decoder is
  // flushed and the data is read again.
  void Seek(int64_t position, AVRational unit, bool fromStart);

private:
  void Open(AVMediaType kind, const char* noStream, const char* what);
  void Free();

  TFfmpegInput input_;
  int index_ = -1;
  AVCodecContext* codec_ = nullptr;
  AVPacket* packet_ = nullptr;
  bool ended_ = false, flushed_ = false;
  int badPackets_ = 0;
};

}  // namespace nova
