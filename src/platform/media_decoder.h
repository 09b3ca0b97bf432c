#pragma once
// Decoding of sound and movie data read from a stream (an archive entry or a file): sound to
// interleaved signed 16-bit PCM, movies to 32-bit frames (0x00RRGGBB) with their times.
// The player's decoders are the FFmpeg ones of platform/sdl; the headless set here reads plain
// PCM WAV files only (for tests, no third-party code).
//
// Opening raises ENovaError with a short English reason when the data cannot be decoded.
// Reading never raises: damaged data ends the sound or the movie early.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"

namespace nova {

// The format of decoded sound: always 16-bit interleaved.
struct TPcmFormat {
  int Channels = 2;
  int Rate = 44100;
  int Bits = 16;
  int BlockAlign() const { return Channels * Bits / 8; }
};

struct TAudioDecodeOptions {
  // 0: as stored. Otherwise the decoder converts to this rate / channel count.
  int Rate = 0;
  int Channels = 0;
  // Rates other than these two (and more than two channels) are converted to 44100 Hz stereo
  // even when Rate / Channels are 0: the software mixer takes only these.
  bool MixerRatesOnly = false;
};

class TAudioDecoder {
public:
  virtual ~TAudioDecoder() = default;
  virtual const TPcmFormat& Format() const = 0;
  // Total frames, or -1 when the data does not tell.
  virtual int64_t LengthFrames() const = 0;
  // Up to `frames` frames; 0 at the end (or when the data is damaged from here on).
  virtual int64_t Read(int16_t* out, int64_t frames) = 0;
  // Frame-exact; a position past the end leaves the decoder at its end.
  virtual void Seek(int64_t frame) = 0;
  virtual int64_t Position() const = 0;
  // Loop points the file carries (Vorbis comments LOOPSTART and LOOPLENGTH or LOOPEND), in
  // frames; -1 without.
  virtual int64_t LoopStart() const { return -1; }
  virtual int64_t LoopEnd() const { return -1; }
};

struct TVideoFrame {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;  // 0x00RRGGBB, rows top to bottom
  int64_t TimeMs = 0;            // when the frame is due, from the start of the movie
};

class TVideoDecoder {
public:
  virtual ~TVideoDecoder() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int64_t DurationMs() const = 0;  // 0 when unknown
  virtual bool HasAudio() const = 0;
  // The next frame in order; false at the end.
  virtual bool ReadFrame(TVideoFrame& frame) = 0;
  // The next ReadFrame gives the last frame due at or before ms (frames before are skipped).
  virtual void Seek(int64_t ms) = 0;
};

class TMediaDecoders {
public:
  virtual ~TMediaDecoders() = default;
  // nameHint: the file name (its extension helps to recognise headerless data).
  // options.Rate / Channels convert the sound; a movie's sound track is opened the same way.
  virtual std::unique_ptr<TAudioDecoder> OpenAudio(std::unique_ptr<TStream> data, const std::string& nameHint,
                                                   const TAudioDecodeOptions& options) = 0;
  virtual std::unique_ptr<TVideoDecoder> OpenVideo(std::unique_ptr<TStream> data, const std::string& nameHint) = 0;
};

// The headless set: RIFF WAVE with PCM 8 or 16 bits, 1 or 2 channels; conversion of rate and
// channels by sample repetition / dropping (tests only). Movies are refused.
std::unique_ptr<TMediaDecoders> CreatePcmWaveDecoders();

}  // namespace nova
