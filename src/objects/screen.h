#pragma once
// A screen (TNovaBase): one of the scene's two full-screen root controls, with its own surface,
// a secondary surface keyed on 0x800080, the dirty rectangles to repaint, and the mouse state
// of the frame (capture and the hovered object).
#include <memory>

#include "objects/input_state.h"
#include "objects/nova_control.h"
#include "render/clip_list.h"
#include "render/dibx.h"

namespace nova {

class TNovaBase : public TNovaControl {
public:
  TNovaBase(TNovaBaseList* scene, int index);

  bool IsScreen() const override { return true; }
  TNovaBase* Screen() override { return this; }
  int Index() const { return index_; }
  bool Visible() const override { return visible_; }
  bool WantsAutoName() const override { return false; }

  // The screen's surfaces, reallocated at the given depth when the size becomes positive.
  void ResizeSurfaces(int32_t width, int32_t height, int bits);
  TDIBX& Surface() { return *surface_; }
  TDIBX& Secondary() { return *secondary_; }
  // The displayed screen draws into the back surface while no transition runs.
  TCustomDIBX* DrawSurface() override;

  TClipList& DirtyList() { return dirty_; }
  // Clamped to the screen; empty results are ignored.
  void AddDirtyRect(const TRect& rect);
  void InvalidateRect(TRect& rect) override { AddDirtyRect(rect); }
  // Repaints the dirty rectangles: the colour (when 0 or more), then the children.
  void PaintDirty();

  TScreenMouseState& Mouse();
  uint8_t CaptureSet = 0;  // left 4, right 8
  TObjectRef HoveredObject;
  std::string LoadedCursor;

private:
  int index_;
  std::unique_ptr<TDIBX> surface_, secondary_;
  TClipList dirty_;
};

}  // namespace nova
