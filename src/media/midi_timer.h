#pragma once
// The sequencer's timer (TMMTimer): a thread that wakes every 10 ms and, while enabled and not
// paused by the main thread, runs the tick. The main thread excludes the tick with a pause
// handshake (a pause request plus a signal from a running tick when it has finished), never by
// holding a lock during the tick. On the headless platform the tick runs from the frame ticker
// on the main thread instead.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/frame_ticker.h"

namespace nova {

class TMMTimer {
public:
  // ticker null: a thread of its own.
  TMMTimer(TFrameTicker* ticker, std::function<void()> tick, int periodMs = 10);
  ~TMMTimer();
  TMMTimer(const TMMTimer&) = delete;
  TMMTimer& operator=(const TMMTimer&) = delete;

  void SetEnabled(bool on) { enabled_.store(on); }
  bool Enabled() const { return enabled_.load(); }
  // Waits until a running tick has finished; no tick starts until Release.
  void Pause();
  void Release();

private:
  void Loop();
  void RunTick();

  std::function<void()> tick_;
  int periodMs_;
  TFrameTicker* ticker_;
  int tickerId_ = 0;
  std::atomic<bool> enabled_{false};
  std::atomic<int> pauses_{0};
  std::atomic<bool> running_{false};
  std::mutex mutex_;
  std::condition_variable finished_, wake_;
  bool stop_ = false;
  std::thread thread_;
};

// Pauses a timer for a scope.
class TTickPause {
public:
  explicit TTickPause(TMMTimer& timer) : timer_(timer) { timer_.Pause(); }
  ~TTickPause() { timer_.Release(); }
  TTickPause(const TTickPause&) = delete;
  TTickPause& operator=(const TTickPause&) = delete;

private:
  TMMTimer& timer_;
};

}  // namespace nova
