#pragma once
// TNovaControl: a visible object with a rectangle, a parent and children sorted by priority,
// visibility, clipping, coordinates with zoom, offsets and flips, hit testing, the mouse and key
// events of every control, and the control record of the serialised form.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "objects/nova_object.h"

namespace nova {

class TCustomDIBX;
class TNovaBase;

// The largest blend value of a display object: 0..254 blend, 255 opaque, 256..511 add with
// factor value - 256; larger values draw nothing.
constexpr int32_t kMaxBlend = 511;

class TNovaControl : public TNovaComponent {
public:
  explicit TNovaControl(TNovaBaseList* scene) : TNovaComponent(scene) {}
  ~TNovaControl() override;

  bool IsControl() const override { return true; }

  // ---- tree ----
  TNovaControl* Parent() const { return parent_; }
  // Moves the control under parent (ignored for the current parent, itself or a descendant).
  void SetParent(TNovaControl* parent);
  const std::vector<TNovaControl*>& Children() const { return children_; }
  int ChildCount() const { return static_cast<int>(children_.size()); }
  TNovaControl* Child(int i) const { return children_[static_cast<size_t>(i)]; }
  bool ContainsDescendant(const TNovaControl* other) const;
  void SortChildren();
  // The screen the control belongs to (itself for a screen), or null without one.
  virtual TNovaBase* Screen();
  virtual bool IsScreen() const { return false; }
  bool InCabinet() const override;
  virtual void EnteredCabinet() {}
  virtual void LeftCabinet() {}

  // ---- geometry ----
  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void SetLeft(int32_t v);
  void SetTop(int32_t v);
  virtual void SetWidth(int32_t v);
  virtual void SetHeight(int32_t v);
  void SetOffsetX(int32_t v);
  void SetOffsetY(int32_t v);
  // Invalidates the old and the new rectangle once.
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  virtual int32_t ZoomX() const { return 256; }
  virtual int32_t ZoomY() const { return 256; }
  virtual bool FlipH() const { return false; }
  virtual bool FlipV() const { return false; }
  virtual int32_t ScrollX() const { return 0; }
  virtual int32_t ScrollY() const { return 0; }
  virtual bool HasMotion() const { return false; }
  // The place a motion puts the control at (used for the screen position while it has one).
  int32_t MotionX() const { return motionX_; }
  int32_t MotionY() const { return motionY_; }
  void SetMotionPosition(int32_t x, int32_t y);
  // The motion went: motion position and sub-order back to 0. Requests no repaint, so it is
  // safe while the control itself is being destroyed; the parent re-sorts its children.
  void MotionGone();
  // The surface the object draws from itself (images), for the zoomed-child case.
  virtual TCustomDIBX* OwnSurface() { return nullptr; }

  virtual int32_t ScreenLeft();
  virtual int32_t ScreenTop();
  int32_t LocalLeft();
  int32_t LocalTop();
  TPoint AnchorPoint();
  TRect DrawnRect() { return TRect::FromSize(ScreenLeft(), ScreenTop(), width_, height_); }
  virtual TRect HitRect() { return DrawnRect(); }
  // The area the control's own picture covers (wider than the drawn rectangle when rotated).
  virtual TRect PaintedRect() { return DrawnRect(); }
  TRect ClipRect();  // empty while clip width or height is below 1
  TPoint LocalToScreen(TPoint p) { return TPoint{p.X + ScreenLeft(), p.Y + ScreenTop()}; }
  TPoint ScreenToLocal(TPoint p) { return TPoint{p.X - ScreenLeft(), p.Y - ScreenTop()}; }

  // ---- visibility and drawing ----
  // PR_VISIBLE: the own flag, a parent, and the parent visible (screens: their own flag).
  virtual bool Visible() const;
  // The own flag as painting, hit testing and the key-target search read it (the parent is
  // checked on the way down); a cabinet says no whatever its stored flag, so nothing it holds
  // is drawn, hit or focused.
  virtual bool OwnVisible() const { return visible_; }
  void SetVisible(bool on);
  // Visible and on the displayed screen.
  bool IsShown();
  int32_t Color() const { return color_; }
  void SetColor(int32_t colour);
  // Adds the drawn rectangle (cut to the parent and the clip) to the screen's dirty list.
  void Invalidate();
  // Every control passes the rectangle on to its parent; a class may widen it on the way up.
  virtual void InvalidateRect(TRect& rect);
  // Where Invalidate hands the control's own rectangle: its own InvalidateRect, unless a class
  // widens only what its descendants pass up (the wave).
  virtual void InvalidateOwnRect(TRect& rect) { InvalidateRect(rect); }
  // The surface children draw into: the parent's (a screen gives its own or the back surface).
  virtual TCustomDIBX* DrawSurface();
  // Draws the control and then its children into the surface; the surface's clip is the
  // area to repaint.
  void Paint(TCustomDIBX& surface);
  bool DebugHighlight = false;

  // ---- input ----
  // The topmost control under the point whose ignore-mouse mode is in the set.
  virtual TNovaControl* HitTest(TPoint point, TMouseModes modes);
  int32_t IgnoreMouse() const { return ignoreMouse_; }
  virtual void DoLButtonDown(TPoint mouse);
  virtual void DoLButtonUp(TPoint mouse);
  virtual void DoRButtonDown(TPoint mouse);
  virtual void DoRButtonUp(TPoint mouse);
  virtual void DoMouseMove(TPoint mouse);
  virtual void DoMouseIn();
  virtual void DoMouseOut();
  virtual void DoCaptureTick() {}
  // A wheel step over the control (down or up): posts PR_ONWHEELDOWN or PR_ONWHEELUP if free;
  // value controls step their value first.
  virtual void DoWheel(bool down);
  // Right-click close (menus, map images): true when the control closed and took the click.
  virtual bool RightClickScrap() { return false; }
  bool RightClickScrapFlag() const { return rightClickScrap_; }
  // Menus: the open state the commands set (1 opens the menu, 3 closes it) and read back
  // (0 open, 1 opening, 2 closed, 3 closing). Other controls have none.
  virtual int32_t MenuState() const { return 0; }
  virtual void SetMenuState(int32_t /*state*/) {}
  bool HandleKey() const { return handleKey_; }
  void SetHandleKey(bool on);
  virtual TNovaControl* FindKeyTarget();
  virtual void FireKeyEvent(int code, const std::vector<int>& keys);
  virtual void FocusEntered() {}
  const std::string& Cursor() const { return cursor_; }
  // The cursor file shown while the mouse is over the control (empty: the project default).
  virtual std::string EffectiveCursor() { return cursor_; }

  // ---- life ----
  bool Update(uint32_t elapsedMs) override;
  // Passed down to every child after a change of position or clip.
  virtual void PositionChanged();
  virtual void ClipChanged();

  // ---- properties and record ----
  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  // Draws the control itself (the class's picture); the children follow.
  virtual void PaintSelf(TCustomDIBX& /*surface*/) {}
  // The surface the children paint into (the wave's proxy while it distorts).
  virtual TCustomDIBX& ChildSurface(TCustomDIBX& surface) { return surface; }
  // Draws between the own picture and the children (the debug outline).
  void OrderChanged() override;
  // The event text of a mouse, key or focus event property, or null for other numbers.
  std::string* EventSlot(int code);
  TPoint Relative(TPoint mouse) { return TPoint{mouse.X - ScreenLeft(), mouse.Y - ScreenTop()}; }
  std::vector<std::string> RelativeArgs(TPoint mouse);

  int32_t left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  int32_t offsetX_ = 0, offsetY_ = 0;
  bool posZoomed_ = false;
  int32_t motionX_ = 0, motionY_ = 0, plusX_ = 0, plusY_ = 0;
  int32_t clipLeft_ = 0, clipTop_ = 0, clipWidth_ = 0, clipHeight_ = 0;
  bool aniPaused_ = false;
  bool visible_ = true;
  int32_t color_ = 0;
  std::array<int32_t, 4> savedRect_{0, 0, 1, 1};
  uint8_t ignoreMouse_ = IM_NONE;
  std::string cursor_;
  bool handleKey_ = false;
  bool rightClickScrap_ = false;

private:
  friend class TNovaBaseList;
  void SetOffset(int32_t& field, int32_t v);
  void SetClipValue(int32_t& field, int32_t v);
  int32_t ScreenPosition(bool horizontal);
  // The mouse, key and focus event page references, in record order.
  std::string onMouseMove_, onMouseIn_, onMouseOut_, onLBtnDown_, onLBtnUp_, onRBtnDown_, onRBtnUp_,
      onWheelDown_, onWheelUp_, onKeyDown_, onKeyUp_, onKeyRepeat_, onFocusIn_, onFocusOut_;
  TNovaControl* parent_ = nullptr;
  std::vector<TNovaControl*> children_;
};

// Sorts siblings: the snapshot (name 0x01 0x01) on top, system names below user objects, then
// priority + sub-order, then the names byte for byte.
bool DrawsBefore(const TNovaObject& a, const TNovaObject& b);

}  // namespace nova
