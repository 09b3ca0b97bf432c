#include "platform/sdl/ffmpeg_io.h"

#include <cstdio>

#include "base/error.h"

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/log.h>
}

namespace nova {
namespace {

constexpr int kIoBufferSize = 32768;

int ReadPacket(void* opaque, uint8_t* buf, int size) {
  auto* s = static_cast<TStream*>(opaque);
  int64_t n = s->Read(buf, size);
  return n > 0 ? static_cast<int>(n) : AVERROR_EOF;
}

int64_t SeekStream(void* opaque, int64_t offset, int whence) {
  auto* s = static_cast<TStream*>(opaque);
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return s->Size();
    case SEEK_SET: return s->Seek(offset, SeekOrigin::Begin);
    case SEEK_CUR: return s->Seek(offset, SeekOrigin::Current);
    case SEEK_END: return s->Seek(offset, SeekOrigin::End);
  }
  return -1;
}

void QuietLogs() {
  // Damaged data is reported through our errors, not on the terminal.
  static bool once = [] {
    av_log_set_level(AV_LOG_QUIET);
    return true;
  }();
  (void)once;
}

}  // namespace

std::string FfmpegErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

int64_t StreamTimeMs(const AVStream* stream, int64_t ts) {
  if (ts == AV_NOPTS_VALUE) return 0;
  int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
  return av_rescale_q(ts - start, stream->time_base, AVRational{1, 1000});
}

TFfmpegInput::TFfmpegInput(std::unique_ptr<TStream> data, const std::string& nameHint) : data_(std::move(data)) {
  try {
    Open(nameHint);
  } catch (...) {
    Free();
    throw;
  }
}

void TFfmpegInput::Open(const std::string& nameHint) {
  QuietLogs();
  if (!data_) RaiseError("no data");
  data_->Seek(0, SeekOrigin::Begin);
  auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
  io_ = avio_alloc_context(buffer, kIoBufferSize, 0, data_.get(), ReadPacket, nullptr, SeekStream);
  if (!io_) {
    av_free(buffer);
    RaiseError("out of memory");
  }
  format_ = avformat_alloc_context();
  format_->pb = io_;
  format_->flags |= AVFMT_FLAG_CUSTOM_IO;
  // The name only guides the probe (custom I/O never opens it).
  std::string url = nameHint;
  for (char& c : url)
    if (c == '\\') c = '/';
  int rc = avformat_open_input(&format_, url.c_str(), nullptr, nullptr);
  if (rc < 0) {
    format_ = nullptr;  // freed by avformat_open_input
    RaiseError("unrecognised media data: " + FfmpegErrorText(rc));
  }
  rc = avformat_find_stream_info(format_, nullptr);
  if (rc < 0) RaiseError("damaged media data: " + FfmpegErrorText(rc));
}

TFfmpegInput::~TFfmpegInput() { Free(); }

void TFfmpegInput::Free() {
  if (format_) avformat_close_input(&format_);
  if (io_) {
    av_freep(&io_->buffer);
    avio_context_free(&io_);
  }
}

}  // namespace nova
