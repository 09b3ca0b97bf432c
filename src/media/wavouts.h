#pragma once
// The software wave mixer: every Ogg/WAV sound that is not played by the media library's own
// voices is decoded to PCM and mixed here into one 44.1 kHz 16-bit stereo stream, fed to the
// sound device in blocks of B bytes (B = D ms of sound, D the delay time of "game.ini") from a
// feeding thread that wakes every D / 4 ms and keeps at most two blocks queued.
//
// One lock guards the source list, the active list, the queued blocks and every source's read
// position, volume and flags; the feeding thread mixes under it. On the headless platform the
// feeding step runs from the frame ticker instead of a thread (same steps, main thread).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/stream.h"
#include "media/mixer_samples.h"
#include "platform/platform.h"

namespace nova {

class TWavOut;

// DelayTime: rounded down to a multiple of 100, then clamped to 100..500.
int32_t MixerDelayTime(int32_t ms);
// Bytes of t ms in a format: bits x channels x rate x t / 8000.
int64_t BytesOfMs(const TPcmFormatRecord& format, int64_t ms);

// One source: a decoder stream (decoded PCM bytes, Size = all of them) and its format.
class TWavBuffer {
public:
  // Source operations (Start and Stop do nothing while the device is closed).
  void Start();
  void Stop();
  void SetReadPosition(int64_t bytes);  // aligned down to the format's block
  void SetVolume(int volume);           // 0..256
  bool IsFinished();
  int64_t PlayedPosition();  // bytes
  void SetRepeat(bool on);
  void SetRepeatPosition(int64_t bytes);  // aligned down to the format's block

  const TPcmFormatRecord& Format() const { return format_; }
  int64_t StreamSize() const { return size_; }
  // Under the lock (tests read them between steps).
  int64_t ReadPosition();
  bool Ended();
  bool Playing();
  bool Paused();
  int Volume();

private:
  friend class TWavOut;
  TWavBuffer(TWavOut& owner, const TPcmFormatRecord& format, std::unique_ptr<TStream> stream);
  // Adds this source's part of a block into `block`; true when it contributed (lock held).
  bool MixInto(int16_t* block);
  // Reads `want` bytes into the scratch buffer from the read position (lock held).
  size_t ReadSource(size_t want);

  TWavOut& owner_;
  TPcmFormatRecord format_;
  std::unique_ptr<TStream> stream_;
  int64_t size_ = 0;
  std::vector<uint8_t> scratch_;  // B bytes
  int64_t readPosition_ = 0;
  int64_t repeatPosition_ = 0;
  bool repeat_ = false;
  int volume_ = 256;
  bool playing_ = false, paused_ = false, ended_ = false;
  uint32_t lastMix_ = 0;
};

// A pair of fixed blocks: 32 bytes for the wave header, B bytes for samples.
struct TMemData {
  std::vector<uint8_t> Header;
  std::vector<int16_t> Samples;
  bool InUse = false;
};

// Hands out free pairs (allocating when none is free) and takes them back.
class TMemList {
public:
  explicit TMemList(size_t blockBytes) : blockBytes_(blockBytes) {}
  TMemData* Take();
  void Give(TMemData* data);
  void Reserve(size_t pairs);  // at least this many pairs exist
  size_t Count() const { return pairs_.size(); }

private:
  size_t blockBytes_;
  std::vector<std::unique_ptr<TMemData>> pairs_;
};

// One queued output block.
struct TWavPrimary {
  TMemData* Data = nullptr;
  bool Prepared = false;
  bool Written = false;
  uint64_t EndFrame = 0;  // the device's played-frame count at which the block is done
};

using TWavPrimaryList = std::vector<TWavPrimary>;

class TWavOut {
public:
  TWavOut(TPlatform& platform, int32_t delayTimeMs);
  ~TWavOut();
  TWavOut(const TWavOut&) = delete;
  TWavOut& operator=(const TWavOut&) = delete;

  // Opens the device (a stream of the platform's sound device), fills the pool with at least
  // four pairs and starts feeding. False when no device can be had or it is open already.
  bool Open();
  void Close();
  bool IsOpen();

  TWavBuffer* AddSource(const TPcmFormatRecord& format, std::unique_ptr<TStream> stream);
  void RemoveSource(TWavBuffer* source);

  int32_t DelayTime() const { return delay_; }
  size_t BlockBytes() const { return blockBytes_; }
  // One feeding step (the feeding thread's work, also callable by tests).
  void FeedStep();
  // Mixes every source into a zeroed block of B bytes; true when any source contributed.
  bool MixBlock(int16_t* block);
  size_t QueuedBlocks();
  size_t PoolPairs();
  uint32_t Now() { return clock_.Now(); }

private:
  friend class TWavBuffer;
  void ThreadLoop();
  void ReclaimDone();  // lock held

  TPlatform& platform_;
  TPlatformClock& clock_;
  int32_t delay_;
  size_t blockBytes_;
  std::recursive_mutex lock_;
  std::unique_ptr<TAudioOutput> device_;
  std::vector<std::unique_ptr<TWavBuffer>> sources_;
  std::vector<TWavBuffer*> active_;
  TWavPrimaryList queued_;
  TMemList pool_;
  uint64_t writtenFrames_ = 0;
  // The feeding thread (TWavOutThread) or the ticker's registration.
  std::thread thread_;
  std::mutex wakeMutex_;
  std::condition_variable wake_;
  bool wakeSignalled_ = false;
  int tickId_ = 0;
};

}  // namespace nova
