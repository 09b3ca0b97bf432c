#include "base/process.h"

#include <atomic>

namespace nova {
namespace {
// Lock-free atomics: a signal handler may set them.
std::atomic<bool> gQuitting{false};
std::atomic<bool> gCloseRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);
std::string gTitle;
TFrameClock gClock;
}  // namespace

TFrameClock& FrameClock() { return gClock; }

bool Quitting() { return gQuitting.load(std::memory_order_relaxed); }
void SetQuitting(bool on) { gQuitting.store(on, std::memory_order_relaxed); }

void PostCloseRequest() { gCloseRequested.store(true, std::memory_order_relaxed); }
bool CloseRequested() { return gCloseRequested.load(std::memory_order_relaxed); }
void ClearCloseRequest() { gCloseRequested.store(false, std::memory_order_relaxed); }

const std::string& ApplicationTitle() { return gTitle; }
void SetApplicationTitle(const std::string& title) { gTitle = title; }

}  // namespace nova
