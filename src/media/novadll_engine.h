#pragma once
// The media library's voices: each plays one decoder (converted to 44100 Hz stereo) through a
// ring of decoded frames. The rings are filled by the library's decoding work (its thread, or
// the frame ticker) and emptied by the sound device, which mixes every voice with its volume
// and pan into one stream. Volumes are hundredths of a decibel as the sound device of the
// original took them: gain 10^(volume / 2000); a pan attenuates one side by its value.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/platform.h"

namespace nova {

// Q16 gains of a volume and pan (65536 = unchanged), left and right.
void VoiceGains(int32_t volume, int32_t pan, int32_t& left, int32_t& right);

class TVoice {
public:
  static constexpr int kRate = 44100;
  static constexpr size_t kRingFrames = 16384;  // about 370 ms

  explicit TVoice(std::unique_ptr<TAudioDecoder> decoder);

  void Play();
  void Pause();
  bool IsPlaying();
  bool IsPaused();
  bool IsEnd();
  int64_t LengthFrames() const { return length_.load(); }
  int32_t LengthMs() const { return static_cast<int32_t>(length_.load() * 1000 / kRate); }
  int32_t PositionMs();
  void SetPositionMs(int32_t ms);
  bool Repeat();
  void SetRepeat(bool on);
  int32_t RepeatPosMs();
  void SetRepeatPosMs(int32_t ms);
  int32_t Volume();
  void SetVolume(int32_t v);
  int32_t Pan();
  void SetPan(int32_t p);

  // Decoding side: tops the ring up.
  void Fill();
  // Device side: adds this voice's next frames into a 32-bit accumulator.
  void RenderAdd(int32_t* acc, size_t frames);

private:
  int64_t PositionFrames();  // ring lock held

  std::unique_ptr<TAudioDecoder> decoder_;
  std::atomic<int64_t> length_{0};  // corrected by the decoding side when the data ends early
  // Decoding state (decodeMutex_).
  std::mutex decodeMutex_;
  int64_t decodePos_ = 0;
  bool decodeEnded_ = false;
  int64_t dataEnd_ = -1;  // where the decoder really ended, once seen
  bool repeat_ = false;
  int64_t repeatPos_ = 0;
  // Ring and play state (ringMutex_).
  std::mutex ringMutex_;
  std::vector<int16_t> ring_;
  uint64_t written_ = 0, read_ = 0;  // frames written to / taken from the ring
  int64_t seekBase_ = 0;             // source frame of the first frame after the last seek
  uint64_t renderedSinceSeek_ = 0;
  bool playing_ = false, paused_ = false, ended_ = false, decodeEndedSeen_ = false;
  int32_t volume_ = 0, pan_ = 0, gainL_ = 65536, gainR_ = 65536;
};

// The voices' stream and their decoding work.
class TVoiceEngine : public TAudioSource {
public:
  explicit TVoiceEngine(TPlatform& platform);
  ~TVoiceEngine() override;
  void Add(TVoice* voice);
  void Remove(TVoice* voice);
  // Thread: a decoding thread of its own; else decoding runs in Update (or the ticker).
  void SetUseThread(bool on);
  void Update();  // fills every voice's ring
  bool HasDevice() const { return stream_ != nullptr; }
  void Render(int16_t* out, size_t frames) override;

private:
  void ThreadLoop();
  TPlatform& platform_;
  std::unique_ptr<TAudioOutput> stream_;
  std::mutex fillMutex_;  // held through a fill pass: a voice is not removed under it
  std::mutex listMutex_;  // the list; held through a render pass
  std::vector<TVoice*> voices_;
  std::vector<int32_t> acc_;
  std::thread thread_;
  std::mutex wakeMutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  int tickId_ = 0;
};

}  // namespace nova
