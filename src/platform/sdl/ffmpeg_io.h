#pragma once
// FFmpeg reading through the player's streams: an AVIOContext whose read and seek callbacks
// go to a TStream (an archive entry, a file, memory), and the demuxer opened on it.
extern "C" {
#include <libavformat/avformat.h>
}

#include <memory>
#include <string>

#include "base/stream.h"

namespace nova {

class TFfmpegInput {
public:
  // Opens the container; nameHint's extension helps to recognise headerless data. Raises
  // ENovaError with FFmpeg's reason when the data is not a container it knows.
  TFfmpegInput(std::unique_ptr<TStream> data, const std::string& nameHint);
  ~TFfmpegInput();
  TFfmpegInput(const TFfmpegInput&) = delete;
  TFfmpegInput& operator=(const TFfmpegInput&) = delete;

  AVFormatContext* Format() { return format_; }

private:
  void Open(const std::string& nameHint);
  void Free();
  std::unique_ptr<TStream> data_;
  AVIOContext* io_ = nullptr;
  AVFormatContext* format_ = nullptr;
};

std::string FfmpegErrorText(int code);

// Time in a stream's time base to milliseconds from the stream's start.
int64_t StreamTimeMs(const AVStream* stream, int64_t ts);

}  // namespace nova
