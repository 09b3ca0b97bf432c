#pragma once
// Periodic media work (the wave mixer's feeding, the MIDI sequencer's tick, the media
// library's decoding). On the real platform each runs on a thread of its own; the headless
// platform offers a ticker instead: every registered tick runs once per frame step on the main
// thread, in order of registration, before the headless sound device takes its 16 ms of
// sound, so a headless run sounds the same every time.
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace nova {

class TFrameTicker {
public:
  using TTick = std::function<void()>;
  int Add(TTick tick) {
    std::lock_guard<std::mutex> lock(mutex_);
    ticks_.emplace_back(++lastId_, std::move(tick));
    return lastId_;
  }
  void Remove(int id) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = ticks_.begin(); it != ticks_.end(); ++it)
      if (it->first == id) {
        ticks_.erase(it);
        return;
      }
  }
  // A tick may add or remove ticks: the run walks a copy.
  void Run() {
    std::vector<std::pair<int, TTick>> copy;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      copy = ticks_;
    }
    for (auto& [id, tick] : copy) {
      if (Registered(id)) tick();
    }
  }
  bool Empty() {
    std::lock_guard<std::mutex> lock(mutex_);
    return ticks_.empty();
  }

private:
  bool Registered(int id) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& t : ticks_)
      if (t.first == id) return true;
    return false;
  }
  std::mutex mutex_;
  std::vector<std::pair<int, TTick>> ticks_;
  int lastId_ = 0;
};

}  // namespace nova
