#include "platform/sdl/sdl_cursor.h"

namespace nova {

TSdlCursor::~TSdlCursor() { Free(); }

void TSdlCursor::Free() {
  if (!cursors_.empty()) SDL_SetCursor(SDL_GetDefaultCursor());  // never free the cursor in use
  for (SDL_Cursor* c : cursors_) {
    if (c) SDL_FreeCursor(c);
  }
  cursors_.clear();
  steps_.clear();
  step_ = 0;
}

void TSdlCursor::Set(const TCursorImage* image) {
  std::vector<SDL_Cursor*> made;
  if (image) {
    for (const TCursorFrame& f : image->Frames) {
      SDL_Cursor* cursor = nullptr;
      if (f.Width > 0 && f.Height > 0 && f.Pixels.size() == static_cast<size_t>(f.Width) * f.Height) {
        // SDL only reads the pixels while it makes the cursor.
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(f.Pixels.data()), f.Width,
                                                                  f.Height, 32, f.Width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (surface) {
          cursor = SDL_CreateColorCursor(surface, f.HotX, f.HotY);
          SDL_FreeSurface(surface);
        }
      }
      made.push_back(cursor);
    }
  }
  Free();
  cursors_ = std::move(made);
  if (image) steps_ = image->Steps;
  step_ = 0;
  stepStart_ = SDL_GetTicks();
  Show();
}

void TSdlCursor::Show() {
  SDL_Cursor* cursor = nullptr;
  if (step_ < steps_.size()) {
    size_t frame = static_cast<size_t>(steps_[step_].Frame);
    if (frame < cursors_.size()) cursor = cursors_[frame];
  }
  SDL_SetCursor(cursor ? cursor : SDL_GetDefaultCursor());
}

void TSdlCursor::Tick() {
  if (steps_.size() < 2) return;
  Uint32 now = SDL_GetTicks();
  bool moved = false;
  // A long pause skips whole rounds instead of stepping through them.
  uint64_t round = 0;
  for (const TCursorStep& s : steps_) round += s.DurationMs;
  if (round > 0 && now - stepStart_ >= round) stepStart_ = now - static_cast<Uint32>((now - stepStart_) % round);
  while (steps_[step_].DurationMs > 0 && now - stepStart_ >= steps_[step_].DurationMs) {
    stepStart_ += steps_[step_].DurationMs;
    step_ = (step_ + 1) % steps_.size();
    moved = true;
  }
  if (moved) Show();
}

}  // namespace nova
