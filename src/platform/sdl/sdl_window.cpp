// The SDL window: one renderer and one streaming texture of the client size. Only the
// rectangles that changed are uploaded; the texture is drawn into the part of the drawable
// area that the scaling mode gives (present_layout.h), the rest black. Mouse positions are
// mapped back to client pixels with the same geometry.
#include <SDL.h>

#include <algorithm>

#include "platform/sdl/sdl_window.h"

#include "base/error.h"
#include "platform/sdl/key_map.h"
#include "platform/sdl/sdl_cursor.h"
#include "platform/sdl/sdl_dialogs.h"
#include "platform/sdl/sdl_init.h"

namespace nova {
namespace {

class TSdlWindow : public TPlatformWindow {
public:
  TSdlWindow(int width, int height, TSdlDialogs* dialogs)
      : video_(SDL_INIT_VIDEO), dialogs_(dialogs), width_(std::max(1, width)), height_(std::max(1, height)) {
    window_ = SDL_CreateWindow("NovaPlayer", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width_, height_,
                               SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
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
    cursor_.Set(nullptr);
    if (texture_) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
  }

  SDL_Window* Handle() const { return window_; }

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
    if (on == fullScreen_) return true;
    if (on) SDL_GetWindowSize(window_, &windowedW_, &windowedH_);  // the size the user gave it
    if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return false;
    fullScreen_ = on;
    if (!on && windowedW_ > 0 && windowedH_ > 0) SDL_SetWindowSize(window_, windowedW_, windowedH_);
    needFull_ = true;
    return true;
  }
  bool FullScreen() const override { return fullScreen_; }
  void Show() override { SDL_ShowWindow(window_); }

  void SetScaleMode(ScaleMode mode) override {
    mode_ = mode;
    if (texture_) {
      ApplyScaleMode();
      Render();
    }
  }
  void SetCursor(const TCursorImage* cursor) override { cursor_.Set(cursor); }

  void Present(const TPicture& picture, std::span<const TRect> dirty) override {
    if (picture.Width <= 0 || picture.Height <= 0) return;
    if (!texture_ || texW_ != picture.Width || texH_ != picture.Height) {
      if (texture_) SDL_DestroyTexture(texture_);
      texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, picture.Width,
                                   picture.Height);
      if (!texture_) return;
      texW_ = picture.Width;
      texH_ = picture.Height;
      ApplyScaleMode();
      needFull_ = true;
    }
    if (needFull_) {
      SDL_UpdateTexture(texture_, nullptr, picture.Pixels.data(), picture.Width * 4);
      needFull_ = false;
    } else {
      const TRect bounds{0, 0, picture.Width, picture.Height};
      for (const TRect& d : dirty) {
        TRect r = Intersect(d, bounds);
        if (r.Empty()) continue;
        SDL_Rect area{r.Left, r.Top, r.Width(), r.Height()};
        SDL_UpdateTexture(texture_, &area, picture.Row(r.Top) + r.Left, picture.Width * 4);
      }
    }
    Render();
    cursor_.Tick();
  }

  bool PollEvent(TInputEvent& event) override {
    cursor_.Tick();
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
    TPoint p = PictureToWindow(Geometry(), TPoint{x, y});
    SDL_WarpMouseInWindow(window_, p.X, p.Y);
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
  // Window size in points, drawable size in device pixels, the picture's place in it.
  TPresentGeometry Geometry() const {
    int ww = 0, wh = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(window_, &ww, &wh);
    if (SDL_GetRendererOutputSize(renderer_, &dw, &dh) != 0) dw = ww, dh = wh;
    return TPresentGeometry::Make(mode_, ww, wh, dw, dh, texture_ ? texW_ : width_, texture_ ? texH_ : height_);
  }

  void ApplyScaleMode() {
    SDL_SetTextureScaleMode(texture_, mode_ == ScaleMode::Smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
  }

  void Render() {
    if (!texture_) return;
    TPresentGeometry g = Geometry();
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (!g.Viewport.Empty()) {
      SDL_Rect dst{g.Viewport.Left, g.Viewport.Top, g.Viewport.Width(), g.Viewport.Height()};
      SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
    }
    SDL_RenderPresent(renderer_);
  }

  void MapMouse(int x, int y, TInputEvent& out) const {
    TPoint p = WindowToPicture(Geometry(), TPoint{x, y});
    out.X = p.X;
    out.Y = p.Y;
  }

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
        out.Alt = (e.key.keysym.mod & KMOD_ALT) != 0;
        return out.Key != 0;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        out.Kind = e.type == SDL_MOUSEBUTTONDOWN ? InputKind::MouseDown : InputKind::MouseUp;
        out.Button = e.button.button == SDL_BUTTON_LEFT    ? MouseButton::Left
                     : e.button.button == SDL_BUTTON_RIGHT ? MouseButton::Right
                     : e.button.button == SDL_BUTTON_MIDDLE ? MouseButton::Middle
                                                             : MouseButton::None;
        MapMouse(e.button.x, e.button.y, out);
        return true;
      case SDL_MOUSEMOTION:
        out.Kind = InputKind::MouseMove;
        MapMouse(e.motion.x, e.motion.y, out);
        return true;
      case SDL_MOUSEWHEEL: {
        int dy = e.wheel.y;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) dy = -dy;
        if (dy == 0) return false;
        out.Kind = InputKind::Wheel;
        out.Wheel = dy;
        return true;
      }
      case SDL_RENDER_DEVICE_RESET:
        // The textures are gone: the next picture makes a new one and uploads it whole.
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = nullptr;
        out.Kind = InputKind::Expose;
        return true;
      case SDL_RENDER_TARGETS_RESET:
        needFull_ = true;
        out.Kind = InputKind::Expose;
        return true;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED: out.Kind = InputKind::FocusGained; return true;
          case SDL_WINDOWEVENT_FOCUS_LOST: out.Kind = InputKind::FocusLost; return true;
          case SDL_WINDOWEVENT_CLOSE: out.Kind = InputKind::Close; return true;
          case SDL_WINDOWEVENT_EXPOSED:
          case SDL_WINDOWEVENT_SIZE_CHANGED:
          case SDL_WINDOWEVENT_RESTORED:
            needFull_ = true;
            out.Kind = InputKind::Expose;
            return true;
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
  TSdlCursor cursor_;
  ScaleMode mode_ = ScaleMode::Nearest;
  int texW_ = 0, texH_ = 0;
  int width_, height_;
  int windowedW_ = 0, windowedH_ = 0;
  bool fullScreen_ = false, needFull_ = true;
};

}  // namespace

std::unique_ptr<TPlatformWindow> CreateSdlWindow(int width, int height, TSdlDialogs* dialogs) {
  return std::make_unique<TSdlWindow>(width, height, dialogs);
}

SDL_Window* SdlWindowHandle(TPlatformWindow& window) {
  auto* sdl = dynamic_cast<TSdlWindow*>(&window);
  return sdl ? sdl->Handle() : nullptr;
}

}  // namespace nova
