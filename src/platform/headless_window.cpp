#include <algorithm>

#include "platform/window.h"

namespace nova {

bool THeadlessWindow::PollEvent(TInputEvent& event) {
  if (queue_.empty()) return false;
  event = queue_.front();
  queue_.pop_front();
  return true;
}

void THeadlessWindow::Present(const TPicture& picture, std::span<const TRect> dirty) {
  ++presented_;
  lastDirty_.assign(dirty.begin(), dirty.end());
  // As a texture would: a new size is uploaded whole, otherwise only the rectangles given.
  lastFull_ = last_.Width != picture.Width || last_.Height != picture.Height;
  if (lastFull_) {
    last_ = picture;
    return;
  }
  const TRect bounds{0, 0, picture.Width, picture.Height};
  for (const TRect& r : dirty) {
    TRect c = Intersect(r, bounds);
    for (int y = c.Top; y < c.Bottom; ++y) std::copy(picture.Row(y) + c.Left, picture.Row(y) + c.Right, last_.Row(y) + c.Left);
  }
}

void THeadlessWindow::SetCursor(const TCursorImage* cursor) {
  ++cursorChanges_;
  if (cursor) {
    cursor_ = *cursor;
  } else {
    cursor_.reset();
  }
}

}  // namespace nova
