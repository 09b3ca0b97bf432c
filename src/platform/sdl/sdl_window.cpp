// The SDL window: one renderer and one streaming texture of the client size. In full screen
// the window covers the desktop and the renderer's logical size scales the picture with its
// aspect kept (black bars) and maps mouse positions back to client coordinates.
#include <SDL.h>

#include <algorithm>

#include "platform/sdl/sdl_window.h"

#include "base/error.h"
#include "platform/sdl/key_map.h"
#include "platform/sdl/sdl_dialogs.h"
#include "platform/sdl/sdl_init.h"

namespace nova {
namespace {

class TSdlWindow : public TPlatformWindow {
public:
  TSdlWindow(int width, int height, TSdlDialogs* dialogs)
      : video_(SDL_INIT_VIDEO), dialogs_(dialogs), width_(width), height_(height) {
    window_ = SDL_CreateWindow("NovaPlayer", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, std::max(1, width),
                               std::max(1, height), SDL_WINDOW_HIDDEN);
    if (!window_) RaiseError(SDL_GetError());
    // No vertical sync: the frame loop keeps its own budget ("No Wait" runs faster than the display).
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_) {
      std::string message = SDL_GetError();
      SDL_DestroyWindow(window_);
      RaiseError(message);
    }
    SDL_StopTextInput();  // keys only; no input-method window over the game
    if (dialogs_) dialogs_->SetParent(window_);
  }
  ~TSdlWindow() override {
    if (dialogs_) dialogs_->SetParent(nullptr);  // boxes must not outlive their parent
    if (texture_) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
  }

  void SetCaption(const std::string& utf8) override { SDL_SetWindowTitle(window_, utf8.c_str()); }
  void SetClientSize(int width, int height) override {
    width_ = std::max(1, width);
    height_ = std::max(1, height);
    if (!fullScreen_) SDL_SetWindowSize(window_, width_, height_);
  }
  TRect UsableArea() override {
    SDL_Rect r{0, 0, 0, 0};
    int display = SDL_GetWindowDisplayIndex(window_);
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &r) != 0) SDL_GetDisplayBounds(0, &r);
    return TRect::FromSize(r.x, r.y, r.w, r.h);
  }
  void MoveTo(int left, int top) override {
    if (!fullScreen_) SDL_SetWindowPosition(window_, left, top);
  }
  bool SetFullScreen(bool on) override {
    if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    fullScreen_ = on;
    if (!on) SDL_SetWindowSize(window_, width_, height_);
    return true;
  }
  bool FullScreen() const override { return fullScreen_; }
  void Show() override { SDL_ShowWindow(window_); }

  void Present(const TPicture& picture) override {
    if (picture.Width <= 0 || picture.Height <= 0) return;
    if (!texture_ || texW_ != picture.Width || texH_ != picture.Height) {
      if (texture_) SDL_DestroyTexture(texture_);
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, picture.Width,
                                   picture.Height);
      if (!texture_) return;
      texW_ = picture.Width;
      texH_ = picture.Height;
      SDL_RenderSetLogicalSize(renderer_, texW_, texH_);
    }
    SDL_UpdateTexture(texture_, nullptr, picture.Pixels.data(), picture.Width * 4);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
  }

  bool PollEvent(TInputEvent& event) override {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      if (Translate(e, event)) return true;
    }
    return false;
  }
  void WaitEvent(uint32_t timeoutMs) override {
    SDL_WaitEventTimeout(nullptr, static_cast<int>(timeoutMs));  // leaves the event for PollEvent
  }

  void WarpMouse(int x, int y) override {
    // Client coordinates -> window coordinates (the inverse of the logical scaling).
    int ww = 0, wh = 0;
    SDL_GetWindowSize(window_, &ww, &wh);
    if (texW_ <= 0 || texH_ <= 0 || ww <= 0 || wh <= 0) return SDL_WarpMouseInWindow(window_, x, y);
    float scale = std::min(static_cast<float>(ww) / texW_, static_cast<float>(wh) / texH_);
    float offX = (ww - texW_ * scale) / 2, offY = (wh - texH_ * scale) / 2;
    SDL_WarpMouseInWindow(window_, static_cast<int>(offX + x * scale), static_cast<int>(offY + y * scale));
  }

  std::vector<TDisplayMode> DisplayModes() override {
    std::vector<TDisplayMode> modes;
    int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
    for (int i = 0, n = SDL_GetNumDisplayModes(display); i < n; ++i) {
      SDL_DisplayMode m;
      if (SDL_GetDisplayMode(display, i, &m) != 0) continue;
      modes.push_back(TDisplayMode{m.w, m.h, static_cast<int>(SDL_BITSPERPIXEL(m.format)), m.refresh_rate});
    }
    return modes;
  }

private:
  bool Translate(const SDL_Event& e, TInputEvent& out) {
    out = TInputEvent{};
    switch (e.type) {
      case SDL_QUIT:
        out.Kind = InputKind::Close;
        return true;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        out.Kind = e.type == SDL_KEYDOWN ? InputKind::KeyDown : InputKind::KeyUp;
        out.Key = VirtualKeyFromSdl(e.key.keysym.sym, e.key.keysym.scancode);
        out.Repeat = e.key.repeat != 0;
        return out.Key != 0;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        out.Kind = e.type == SDL_MOUSEBUTTONDOWN ? InputKind::MouseDown : InputKind::MouseUp;
        out.Button = e.button.button == SDL_BUTTON_LEFT    ? MouseButton::Left
                     : e.button.button == SDL_BUTTON_RIGHT ? MouseButton::Right
                     : e.button.button == SDL_BUTTON_MIDDLE ? MouseButton::Middle
                                                             : MouseButton::None;
        out.X = e.button.x;
        out.Y = e.button.y;
        return true;
      case SDL_MOUSEMOTION:
        out.Kind = InputKind::MouseMove;
        out.X = e.motion.x;
        out.Y = e.motion.y;
        return true;
      case SDL_MOUSEWHEEL: {
        int dy = e.wheel.y;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) dy = -dy;
        if (dy == 0) return false;
        out.Kind = InputKind::Wheel;
        out.Wheel = dy;
        return true;
      }
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED: out.Kind = InputKind::FocusGained; return true;
          case SDL_WINDOWEVENT_FOCUS_LOST: out.Kind = InputKind::FocusLost; return true;
          case SDL_WINDOWEVENT_CLOSE: out.Kind = InputKind::Close; return true;
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_SIZE_CHANGED:
          case SDL_WINDOWEVENT_RESTORED: out.Kind = InputKind::Expose; return true;
          default: return false;
        }
      default:
        return false;
    }
  }

  TSdlSubsystem video_;
  TSdlDialogs* dialogs_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int texW_ = 0, texH_ = 0;
  int width_, height_;
  bool fullScreen_ = false;
};

}  // namespace

std::unique_ptr<TPlatformWindow> CreateSdlWindow(int width, int height, TSdlDialogs* dialogs) {
  return std::make_unique<TSdlWindow>(width, height, dialogs);
}

}  // namespace nova
