#pragma once
// The sequencer's timer (TMMTimer): every 10 ms, while enabled and not paused by the main
// thread, it runs the tick. The main thread excludes the tick with a pause handshake (a pause
// request plus a signal from a running tick when it has finished), never by holding a lock
// during the tick; a paused tick is skipped, not waited for, so a tick in the audio render
// never blocks. The ticks come from the port's tick source when it has one (the synthesizer's
// render, in audio time; an external port's timer thread), else from the timer's own thread,
// or on the headless platform from the frame ticker on the main thread.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/frame_ticker.h"
#include "platform/midi_output.h"

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
  // Ticks from `source` from now on instead of the timer's own ticks (null: back to them). When
  // it returns, no tick of the previous source runs any more.
  void SetSource(TMidiTickSource* source);

private:
  void Loop();
  // own: a tick of the timer's own thread or ticker, which gives way to a source.
  void RunTick(bool own);
  void OwnTick() {
    if (!source_.load()) RunTick(true);
  }

  std::function<void()> tick_;
  int periodMs_;
  TFrameTicker* ticker_;
  int tickerId_ = 0;
  std::atomic<bool> enabled_{false};
  std::atomic<int> pauses_{0};
  std::atomic<int> running_{0};  // ticks under way (the own one and a source's, while switching)
  std::atomic<TMidiTickSource*> source_{nullptr};
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
