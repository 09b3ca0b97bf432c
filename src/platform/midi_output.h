#pragma once
// A MIDI output port: short channel messages (status byte in the low byte, then the data
// bytes) and system exclusive messages (F0 ... F7), sent at once. A long message is done when
// SendLong returns.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace nova {

// What drives the sequencer's periodic tick for a port, and the time the tick reads: a port
// heard in a sound stream ticks in the stream's render (audio time), an external port on a
// timer thread of its own.
class TMidiTickSource {
public:
  virtual ~TMidiTickSource() = default;
  // Runs `tick` every periodMs from now on; null stops it. Once it returns, the previous tick
  // is not running and does not run again. The tick must not call SetTick.
  virtual void SetTick(std::function<void()> tick, int periodMs) = 0;
  // The source's time in milliseconds (wrapping at 32 bits); any thread.
  virtual uint32_t NowMs() = 0;
};

class TMidiOutput {
public:
  virtual ~TMidiOutput() = default;
  virtual void SendShort(uint32_t message) = 0;
  virtual void SendLong(const std::vector<uint8_t>& bytes) = 0;
  virtual void Reset() = 0;  // all notes off, controllers back to their defaults
  // The port's drive for the sequencer's tick (it lives as long as the port); null: the
  // sequencer's own timer.
  virtual TMidiTickSource* TickSource() { return nullptr; }
};

// The tick in a sound stream's time: the stream's render runs the tick each time its frame
// count reaches a multiple of the period (441 frames for 10 ms at 44100 Hz, counted from the
// stream's first frame), so what a tick sends is heard from the tick's own frame on and the
// time the tick reads is the frames rendered, however the threads are scheduled. The render
// holds a lock that only this source's SetTick takes.
class TRenderTickSource : public TMidiTickSource {
public:
  explicit TRenderTickSource(int rate) : rate_(rate) {}
  void SetTick(std::function<void()> tick, int periodMs) override;
  uint32_t NowMs() override { return static_cast<uint32_t>(frames_.load() * 1000 / static_cast<uint64_t>(rate_)); }
  uint64_t Frames() const { return frames_.load(); }
  // Renders `frames` frames as pieces cut at the tick's frames: piece(offset, count) for each,
  // the tick run after each piece that ends on its frame.
  template <class F>
  void Render(size_t frames, F&& piece) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t done = 0; done < frames;) {
      uint64_t at = frames_.load(std::memory_order_relaxed);
      size_t n = frames - done;
      if (tick_) n = static_cast<size_t>(std::min<uint64_t>(n, period_ - at % period_));
      piece(done, n);
      done += n;
      frames_.store(at + n);
      if (tick_ && (at + n) % period_ == 0) tick_();
    }
  }

private:
  int rate_;
  std::mutex mutex_;  // the tick; held while rendering
  std::function<void()> tick_;
  uint64_t period_ = 1;
  std::atomic<uint64_t> frames_{0};
};

// A port that keeps every message with the time it was sent (tests, headless runs).
class TRecordingMidiOutput : public TMidiOutput {
public:
  struct TMessage {
    uint32_t Time = 0;           // the clock's milliseconds when sent
    int64_t Frame = -1;          // the sound stream's frame when sent, for a port heard in one
    std::vector<uint8_t> Bytes;  // short messages as their 1 to 3 bytes
    bool Long = false;
    bool IsReset = false;
  };
  explicit TRecordingMidiOutput(std::function<uint32_t()> now = {}) : now_(std::move(now)) {}
  void SendShort(uint32_t message) override;
  void SendLong(const std::vector<uint8_t>& bytes) override;
  void Reset() override;
  std::vector<TMessage> Messages() const;
  void Clear();
  // The frame stamped on the messages from now on (empty: none).
  void SetFrameClock(std::function<int64_t()> frame);

private:
  void Add(TMessage m);
  uint32_t Now() const { return now_ ? now_() : 0; }
  std::function<uint32_t()> now_;
  std::function<int64_t()> frame_;
  mutable std::mutex mutex_;
  std::vector<TMessage> messages_;
};

// The number of data bytes that follow a channel status byte (0x80..0xEF); 0 otherwise.
int MidiDataBytes(uint8_t status);

}  // namespace nova
