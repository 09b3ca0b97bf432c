#include "media/midi_timer.h"

#include <chrono>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

namespace nova {

TMMTimer::TMMTimer(TFrameTicker* ticker, std::function<void()> tick, int periodMs)
    : tick_(std::move(tick)), periodMs_(periodMs), ticker_(ticker) {
  if (ticker_) {
    tickerId_ = ticker_->Add([this] { OwnTick(); });
  } else {
    thread_ = std::thread([this] { Loop(); });
  }
}

TMMTimer::~TMMTimer() {
  SetSource(nullptr);
  if (ticker_) {
    ticker_->Remove(tickerId_);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void TMMTimer::Pause() {
  pauses_.fetch_add(1);
  std::unique_lock<std::mutex> lock(mutex_);
  finished_.wait(lock, [this] { return running_.load() == 0; });
}

void TMMTimer::Release() { pauses_.fetch_sub(1); }

void TMMTimer::SetSource(TMidiTickSource* source) {
  TMidiTickSource* old = source_.exchange(source);
  if (old == source) return;
  if (old) old->SetTick(nullptr, periodMs_);
  if (source) source->SetTick([this] { RunTick(false); }, periodMs_);
}

void TMMTimer::RunTick(bool own) {
  if (!enabled_.load()) return;
  running_.fetch_add(1);
  // The source and the enabled flag change only while paused: a tick that passed its checks
  // just before sees the change here (or the pause), so the tick never runs twice at once nor
  // after it was disabled.
  if (pauses_.load() == 0 && enabled_.load() && !(own && source_.load())) tick_();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    running_.fetch_sub(1);
  }
  finished_.notify_all();
}

void TMMTimer::Loop() {
#if defined(__linux__)
  // A raised priority when the system grants it (the original's time-critical thread).
  sched_param param{};
  param.sched_priority = 1;
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
#endif
  auto next = std::chrono::steady_clock::now();
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    next += std::chrono::milliseconds(periodMs_);
    if (wake_.wait_until(lock, next, [this] { return stop_; })) return;
    auto now = std::chrono::steady_clock::now();
    if (now - next > std::chrono::milliseconds(100)) next = now;  // fell behind: no burst
    lock.unlock();
    OwnTick();
    lock.lock();
  }
}

}  // namespace nova
