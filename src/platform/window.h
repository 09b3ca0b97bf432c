#pragma once
// The main window and its presentation: a client area of a chosen size, centred in the
// usable desktop area, a UTF-8 caption, the client picture scaled to the window with its
// aspect kept (the user may resize the window; desktop full screen), the mouse cursor, and
// the input events of the window. The headless window keeps what it was given (the picture
// as far as it was presented, the rectangles, the cursor) and hands out only the events it
// was given.
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "platform/cursor_image.h"
#include "platform/input_event.h"
#include "platform/present_layout.h"

namespace nova {

// A 32-bit picture, one uint32_t 0x00RRGGBB per pixel, rows top to bottom.
struct TPicture {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
  void Resize(int w, int h, uint32_t fill = 0) {
    Width = w < 0 ? 0 : w;
    Height = h < 0 ? 0 : h;
    Pixels.assign(static_cast<size_t>(Width) * Height, fill);
  }
  uint32_t* Row(int y) { return Pixels.data() + static_cast<size_t>(y) * Width; }
  const uint32_t* Row(int y) const { return Pixels.data() + static_cast<size_t>(y) * Width; }
};


struct TDisplayMode {
  int Width = 0, Height = 0, Bits = 32, RefreshRate = 0;
};

class TPlatformWindow {
public:
  virtual ~TPlatformWindow() = default;
  virtual void SetCaption(const std::string& utf8) = 0;
  virtual void SetClientSize(int width, int height) = 0;
  virtual TRect UsableArea() = 0;               // the desktop minus panels and task bars
  virtual void MoveTo(int left, int top) = 0;   // window position on the desktop
  virtual bool SetFullScreen(bool on) = 0;      // false when the switch did not take effect
  virtual bool FullScreen() const = 0;
  virtual void Show() = 0;
  // Shows the picture as the whole client area. dirty: the rectangles of the picture that
  // changed since the previous call (client coordinates); only they are uploaded, unless the
  // window's own copy is stale (its first picture, a new picture size, a lost device), when
  // the whole picture is.
  virtual void Present(const TPicture& picture, std::span<const TRect> dirty) = 0;
  virtual void SetScaleMode(ScaleMode mode) = 0;
  // The cursor over the client area; null = the standard arrow. The window copies what it
  // needs: the image need not outlive the call. A cursor of several steps animates.
  virtual void SetCursor(const TCursorImage* cursor) = 0;
  virtual bool PollEvent(TInputEvent& event) = 0;
  virtual void WaitEvent(uint32_t timeoutMs) = 0;  // returns early when an event arrives
  virtual void WarpMouse(int x, int y) = 0;         // client coordinates
  virtual std::vector<TDisplayMode> DisplayModes() = 0;
};

class THeadlessWindow : public TPlatformWindow {
public:
  void SetCaption(const std::string& utf8) override { caption_ = utf8; }
  void SetClientSize(int width, int height) override { width_ = width, height_ = height; }
  TRect UsableArea() override { return TRect{0, 0, 1920, 1080}; }
  void MoveTo(int left, int top) override { left_ = left, top_ = top; }
  bool SetFullScreen(bool on) override { return fullScreen_ = on, true; }
  bool FullScreen() const override { return fullScreen_; }
  void Show() override {}
  void Present(const TPicture& picture, std::span<const TRect> dirty) override;
  void SetScaleMode(ScaleMode mode) override { scale_ = mode; }
  void SetCursor(const TCursorImage* cursor) override;
  bool PollEvent(TInputEvent& event) override;
  void WaitEvent(uint32_t) override {}
  void WarpMouse(int, int) override {}
  std::vector<TDisplayMode> DisplayModes() override { return {}; }

  void Inject(const TInputEvent& event) { queue_.push_back(event); }
  const std::string& Caption() const { return caption_; }
  int ClientWidth() const { return width_; }
  int ClientHeight() const { return height_; }
  int Left() const { return left_; }
  int Top() const { return top_; }
  int PresentCount() const { return presented_; }
  // What the window shows: the dirty parts of every picture presented (the whole picture
  // when its size changed).
  const TPicture& LastPicture() const { return last_; }
  // The rectangles of the last Present as given, and whether it uploaded the whole picture.
  const std::vector<TRect>& LastDirty() const { return lastDirty_; }
  bool LastWasFull() const { return lastFull_; }
  ScaleMode Scale() const { return scale_; }
  const TCursorImage* Cursor() const { return cursor_ ? &*cursor_ : nullptr; }
  int CursorChanges() const { return cursorChanges_; }

private:
  std::string caption_;
  int width_ = 0, height_ = 0, left_ = 0, top_ = 0, presented_ = 0, cursorChanges_ = 0;
  bool fullScreen_ = false, lastFull_ = false;
  ScaleMode scale_ = ScaleMode::Nearest;
  TPicture last_;
  std::vector<TRect> lastDirty_;
  std::optional<TCursorImage> cursor_;
  std::deque<TInputEvent> queue_;
};

}  // namespace nova
