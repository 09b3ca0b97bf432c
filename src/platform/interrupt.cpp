#include "platform/interrupt.h"

#include <csignal>

#include "base/process.h"

namespace nova {
namespace {

volatile std::sig_atomic_t gInterrupts = 0;

extern "C" void OnInterrupt(int signal) {
  if (gInterrupts > 0) {
    // The game did not end after the first request (an exit page that never yields): end now.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  gInterrupts = gInterrupts + 1;
  SetQuitting(true);
  PostCloseRequest();
}

}  // namespace

void InstallInterruptHandler() {
  gInterrupts = 0;
  struct sigaction action{};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

int InterruptCount() { return gInterrupts; }

}  // namespace nova
