#pragma once
// The main window and its presentation: a client area of a chosen size, centred in the
// usable desktop area, a UTF-8 caption, desktop full screen with the picture scaled keeping
// its aspect, and the input events of the window. The headless window keeps the last
// picture and hands out only the events it was given.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "platform/input_event.h"

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
  // Shows the picture as the whole client area (scaled with its aspect in full screen).
  virtual void Present(const TPicture& picture) = 0;
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
  void Present(const TPicture& picture) override { last_ = picture, ++presented_; }
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
  const TPicture& LastPicture() const { return last_; }

private:
  std::string caption_;
  int width_ = 0, height_ = 0, left_ = 0, top_ = 0, presented_ = 0;
  bool fullScreen_ = false;
  TPicture last_;
  std::deque<TInputEvent> queue_;
};

}  // namespace nova
