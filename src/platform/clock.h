#pragma once
// Time for the frame loop: a millisecond timer, sleeping, and the local date and time.
// The headless clock never reads the wall clock: it advances a fixed step per frame, so a
// headless run is the same frame by frame.
#include <cstdint>
#include <memory>

namespace nova {

struct TLocalTime {
  int Year = 2000, Month = 1, Day = 1, Hour = 0, Min = 0, Sec = 0, MSec = 0;
};

class TPlatformClock {
public:
  virtual ~TPlatformClock() = default;
  virtual uint32_t Now() = 0;  // milliseconds, wrapping at 32 bits
  virtual void Sleep(uint32_t ms) = 0;
  virtual void FrameStep() {}  // called once before every frame
  virtual TLocalTime LocalTime() = 0;
};

std::unique_ptr<TPlatformClock> CreateSystemClock();
// Starts at 0 and at 2000-01-01 00:00:00; every FrameStep adds stepMs; Sleep does nothing.
std::unique_ptr<TPlatformClock> CreateHeadlessClock(uint32_t stepMs = 16);

// The system date and time for the date functions, read again only when the frame clock's
// total changed since the last read.
class TCachedDateTime {
public:
  const TLocalTime& Get(uint32_t total, TPlatformClock& clock);

private:
  bool valid_ = false;
  uint32_t total_ = 0;
  TLocalTime time_;
};

// Milliseconds since midnight: ((hour * 60 + minute) * 60 + second) * 1000 + millisecond.
uint32_t MillisecondsSinceMidnight(const TLocalTime& t);

}  // namespace nova
