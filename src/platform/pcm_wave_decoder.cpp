// The headless decoders: RIFF WAVE with PCM samples only.
#include <algorithm>
#include <cstring>

#include "base/error.h"
#include "platform/media_decoder.h"

namespace nova {
namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

class TPcmWaveDecoder : public TAudioDecoder {
public:
  TPcmWaveDecoder(std::unique_ptr<TStream> data, const TAudioDecodeOptions& options) : data_(std::move(data)) {
    uint8_t riff[12];
    if (data_->Read(riff, 12) != 12 || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
      RaiseError("not a RIFF WAVE file");
    bool haveFormat = false;
    for (;;) {
      uint8_t chunk[8];
      if (data_->Read(chunk, 8) != 8) RaiseError("no sample data in the WAVE file");
      uint32_t size = Le32(chunk + 4);
      int64_t next = data_->Position() + size + (size & 1);
      if (std::memcmp(chunk, "fmt ", 4) == 0) {
        uint8_t fmt[40] = {};
        if (size < 16 || data_->Read(fmt, std::min<uint32_t>(size, 40)) < 16) RaiseError("damaged WAVE format chunk");
        uint16_t tag = Le16(fmt);
        if (tag == 0xFFFE && size >= 40) tag = Le16(fmt + 24);  // extensible: the sub-format
        if (tag != 1) RaiseError("only PCM WAVE data is read here");
        in_.Channels = Le16(fmt + 2);
        in_.Rate = static_cast<int>(Le32(fmt + 4));
        in_.Bits = Le16(fmt + 14);
        if (in_.Channels < 1 || in_.Channels > 2 || (in_.Bits != 8 && in_.Bits != 16) || in_.Rate < 1000 ||
            in_.Rate > 384000)
          RaiseError("unsupported PCM WAVE format");
        haveFormat = true;
      } else if (std::memcmp(chunk, "data", 4) == 0) {
        if (!haveFormat) RaiseError("WAVE data before its format");
        dataStart_ = data_->Position();
        int64_t available = data_->Size() - dataStart_;
        int64_t bytes = std::min<int64_t>(size, std::max<int64_t>(0, available));
        inFrames_ = bytes / in_.BlockAlign();
        break;
      }
      if (data_->Seek(next, SeekOrigin::Begin) != next) RaiseError("no sample data in the WAVE file");
    }
    out_.Channels = options.Channels ? options.Channels : in_.Channels;
    out_.Rate = options.Rate ? options.Rate : in_.Rate;
    if (options.MixerRatesOnly && !options.Rate && in_.Rate != 44100 && in_.Rate != 22050) out_.Rate = 44100;
    out_.Bits = 16;
  }

  const TPcmFormat& Format() const override { return out_; }
  int64_t LengthFrames() const override { return ToOut(inFrames_); }
  int64_t Position() const override { return pos_; }
  void Seek(int64_t frame) override { pos_ = std::clamp<int64_t>(frame, 0, LengthFrames()); }

  int64_t Read(int16_t* out, int64_t frames) override {
    int64_t total = LengthFrames(), n = std::min(frames, total - pos_);
    if (n <= 0) return 0;
    int inAlign = in_.BlockAlign();
    for (int64_t i = 0; i < n; ++i) {
      // Nearest earlier input frame (tests only: no filtering).
      int64_t src = (pos_ + i) * in_.Rate / out_.Rate;
      uint8_t raw[4] = {};
      data_->Seek(dataStart_ + src * inAlign, SeekOrigin::Begin);
      if (data_->Read(raw, inAlign) != inAlign) return i;
      int16_t s[2];
      for (int c = 0; c < in_.Channels; ++c)
        s[c] = in_.Bits == 8 ? static_cast<int16_t>((raw[c] - 128) * 256) : static_cast<int16_t>(Le16(raw + 2 * c));
      if (in_.Channels == 1) s[1] = s[0];
      if (out_.Channels == 1) {
        out[i] = in_.Channels == 1 ? s[0] : static_cast<int16_t>((s[0] + s[1]) / 2);
      } else {
        out[2 * i] = s[0];
        out[2 * i + 1] = s[1];
      }
    }
    pos_ += n;
    return n;
  }

private:
  int64_t ToOut(int64_t inFrames) const { return inFrames * out_.Rate / in_.Rate; }

  std::unique_ptr<TStream> data_;
  TPcmFormat in_, out_;
  int64_t dataStart_ = 0, inFrames_ = 0, pos_ = 0;
};

class TPcmWaveDecoders : public TMediaDecoders {
public:
  std::unique_ptr<TAudioDecoder> OpenAudio(std::unique_ptr<TStream> data, const std::string&,
                                           const TAudioDecodeOptions& options) override {
    if (!data) RaiseError("no data");
    return std::make_unique<TPcmWaveDecoder>(std::move(data), options);
  }
  std::unique_ptr<TVideoDecoder> OpenVideo(std::unique_ptr<TStream>, const std::string&) override {
    RaiseError("movies are not decoded by the headless decoders");
  }
};

}  // namespace

std::unique_ptr<TMediaDecoders> CreatePcmWaveDecoders() { return std::make_unique<TPcmWaveDecoders>(); }

}  // namespace nova
