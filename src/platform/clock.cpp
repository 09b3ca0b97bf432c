#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace nova {
namespace {

class TSystemClock : public TPlatformClock {
public:
  uint32_t Now() override {
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
  }
  void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  TLocalTime LocalTime() override {
    auto now = std::chrono::system_clock::now();
    std::time_t secs = std::chrono::system_clock::to_time_t(now);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&secs, &tm);
    return TLocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                      static_cast<int>(ms)};
  }
};

class THeadlessClock : public TPlatformClock {
public:
  explicit THeadlessClock(uint32_t step) : step_(step) {}
  uint32_t Now() override { return now_; }
  void Sleep(uint32_t) override {}
  void FrameStep() override { now_ += step_; }
  TLocalTime LocalTime() override {
    // A fixed day; the time of day follows the frame clock.
    uint32_t ms = now_ % 86400000u;
    TLocalTime t;
    t.Hour = static_cast<int>(ms / 3600000u);
    t.Min = static_cast<int>(ms / 60000u % 60);
    t.Sec = static_cast<int>(ms / 1000u % 60);
    t.MSec = static_cast<int>(ms % 1000u);
    return t;
  }

private:
  uint32_t step_;
  uint32_t now_ = 0;
};

}  // namespace

std::unique_ptr<TPlatformClock> CreateSystemClock() { return std::make_unique<TSystemClock>(); }
std::unique_ptr<TPlatformClock> CreateHeadlessClock(uint32_t stepMs) {
  return std::make_unique<THeadlessClock>(stepMs);
}

const TLocalTime& TCachedDateTime::Get(uint32_t total, TPlatformClock& clock) {
  if (!valid_ || total != total_) {
    time_ = clock.LocalTime();
    total_ = total;
    valid_ = true;
  }
  return time_;
}

uint32_t MillisecondsSinceMidnight(const TLocalTime& t) {
  return ((static_cast<uint32_t>(t.Hour) * 60 + t.Min) * 60 + t.Sec) * 1000 + t.MSec;
}

}  // namespace nova
