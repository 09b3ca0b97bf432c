#pragma once
// The mouse cursor on SDL: colour cursors made from a cursor image, one per frame, switched by
// the clock while the image animates. SDL has one cursor for the whole application.
#include <SDL.h>

#include <vector>

#include "platform/cursor_image.h"

namespace nova {

class TSdlCursor {
public:
  TSdlCursor() = default;
  ~TSdlCursor();
  TSdlCursor(const TSdlCursor&) = delete;
  TSdlCursor& operator=(const TSdlCursor&) = delete;

  // null: the system arrow. A frame SDL cannot make shows the arrow.
  void Set(const TCursorImage* image);
  // Shows the step that is due; cheap when nothing animates.
  void Tick();
  size_t FrameCount() const { return cursors_.size(); }
  size_t CurrentStep() const { return step_; }

private:
  void Free();
  void Show();

  std::vector<SDL_Cursor*> cursors_;
  std::vector<TCursorStep> steps_;
  size_t step_ = 0;
  Uint32 stepStart_ = 0;
};

}  // namespace nova
