#include "platform/window.h"

namespace nova {

bool THeadlessWindow::PollEvent(TInputEvent& event) {
  if (queue_.empty()) return false;
  event = queue_.front();
  queue_.pop_front();
  return true;
}

}  // namespace nova
