#include "app/view.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/encoding.h"
#include "base/error.h"
#include "base/process.h"
#include "base/sjis.h"
#include "platform/trace_log.h"

namespace nova {
namespace {

const std::string& QuitQuestion() {
  static const std::string text = Utf8ToSjis("「%s」を終了しますか？");
  return text;
}

std::string ReplaceFirst(std::string text, const std::string& what, const std::string& with) {
  if (size_t at = text.find(what); at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

}  // namespace

TRect PlacePanel(int clientWidth, int clientHeight, int sceneWidth, int sceneHeight, bool fullScreen) {
  return TRect::FromSize((clientWidth - sceneWidth) / 2, fullScreen ? (clientHeight - sceneHeight) / 2 : kDockHeight,
                         sceneWidth, sceneHeight);
}

TRect CentreIn(const TRect& usable, int clientWidth, int clientHeight) {
  return TRect::FromSize(usable.Left + (usable.Width() - clientWidth) / 2,
                         usable.Top + (usable.Height() - clientHeight) / 2, clientWidth, clientHeight);
}

TFormView::TFormView(TPlatform& platform, TGame& game, TStartupInfo info)
    : platform_(platform), game_(game), info_(std::move(info)) {}

TFormView::~TFormView() {
  if (created_ && !closed_) Close();
}

void TFormView::DeleteOldLog() {
  // Window creation step 1: a log of an earlier run goes (in whatever letter case it was
  // written), never the trace this run writes.
  if (info_.GameFolder.empty()) return;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(info_.GameFolder, ec)) {
    if (!SameText(entry.path().filename().string(), "novaplay.log") || !entry.is_regular_file(ec)) continue;
    if (!info_.KeepFile.empty() && std::filesystem::equivalent(entry.path(), info_.KeepFile, ec)) continue;
    std::filesystem::remove(entry.path(), ec);
  }
}

void TFormView::Create() {
  created_ = true;
  DeleteOldLog();
  TracePoint("FormCreate");
  sceneW_ = std::max(1, game_.ScreenWidth());
  sceneH_ = std::max(1, game_.ScreenHeight());
  window_ = platform_.CreateWindow(sceneW_, sceneH_ + kDockHeight);
  window_->SetScaleMode(info_.Scale);
  shotTaken_.assign(info_.Screenshots.size(), false);
  caption_ = "NovaPlayer";
  window_->SetCaption(caption_);
  toolbar_ = std::make_unique<TToolbar>(platform_.Headless() ? nullptr : platform_.OpenCaptionFont(12));
  TracePoint("TBasePanel.Create");
  try {
    Initialize();
  } catch (const ENovaError& e) {
    startupFailed_ = true;
    startupError_ = e.Message();
    platform_.Dialogs().MessageBox(e.Message(), ApplicationTitle(), MsgButtons::Ok, MsgIcon::Error);
    SetQuitting(true);
  }
  if (Quitting()) PostCloseRequest();
  window_->Show();
  InvalidateAll();
  Compose();
}

void TFormView::Initialize() {
  displaySystem_ = true;
  game_.Create(*this);
  // Until the mouse first moves over the game it is nowhere on the screen: nothing is hovered.
  for (TScreenMouseState& s : game_.Input().Screens) s.X = s.Y = -1;
  UpdateCaption();
  sceneW_ = std::max(1, game_.ScreenWidth());
  sceneH_ = std::max(1, game_.ScreenHeight());
  clientW_ = sceneW_;
  clientH_ = sceneH_ + kDockHeight;
  window_->SetClientSize(clientW_, clientH_);
  TRect at = CentreIn(window_->UsableArea(), clientW_, clientH_);
  window_->MoveTo(at.Left, at.Top);
  panelPicture_.Resize(sceneW_, sceneH_);
  PlacePanel();
  TracePoint("NovaInitColor");
}

void TFormView::PlacePanel() { panel_ = nova::PlacePanel(clientW_, clientH_, sceneW_, sceneH_, fullScreen_); }

void TFormView::UpdateCaption() {
  const std::string& title = ApplicationTitle();
  std::string caption = title.empty() ? std::string("NovaPlayer") : SjisToUtf8(title);
  if (caption != caption_ && window_) window_->SetCaption(caption_ = caption);
}

void TFormView::Run(std::optional<uint32_t> maxFrames) {
  TPlatformClock& clock = platform_.Clock();
  FrameClock().LastTick = clock.Now();
  while (!closed_) {
    while (!closed_ && !heldBack_.empty()) {
      TInputEvent held = heldBack_.front();
      heldBack_.pop_front();
      HandleEvent(held);
    }
    TInputEvent event;
    while (!closed_ && window_->PollEvent(event)) HandleEvent(event);
    if (closed_) break;
    if (CloseRequested() || Quitting()) {
      ClearCloseRequest();
      Close();
      break;
    }
    if (!active_) {
      window_->WaitEvent(100);  // no frames while inactive
      continue;
    }
    clock.FrameStep();
    uint32_t start = clock.Now();
    frameStart_ = start;
    if (!modeSwitch_ && AdvanceFrameClock(FrameClock(), start)) {
      Frame();
      if (maxFrames && frameNumber_ >= *maxFrames) {
        Close();
        break;
      }
    }
    uint32_t wait = FrameWait(FrameClock().FrameBudget, start, clock.Now(), game_.SleepFlag());
    if (wait > 0) clock.Sleep(wait);
  }
}

void TFormView::Frame() {
  ++frameNumber_;
  ApplyScriptedInput();
  FrameSteps();
  TakeScreenshots();
}

void TFormView::FrameSteps() {
  if (!game_.Running()) return;
  bool loaded = game_.Frame();
  if (Quitting()) return;
  UpdateCaption();
  if (loaded) skipDraw_ = 1;
  if (skipDraw_ >= 1) {
    --skipDraw_;
    return;
  }
  uint32_t divisor = std::max<uint32_t>(1, FrameClock().DrawDivisor);
  drawPhase_ = (drawPhase_ + 1) % divisor;
  if (drawPhase_ != 0) return;
  InvalidatePanel(game_.Paint(panelPicture_));
  Compose();
}

void TFormView::ApplyScriptedInput() {
  while (!closed_ && scriptNext_ < info_.Input.size() && info_.Input[scriptNext_].Frame <= frameNumber_) {
    const TScriptedEvent& s = info_.Input[scriptNext_++];
    if (s.Frame != frameNumber_) continue;
    // Client coordinates, as the window gives them.
    TInputEvent e = ScriptedInputEvent(s, scriptMouse_, TPoint{panel_.Left, panel_.Top});
    HandleEvent(e);
  }
}

void TFormView::TakeScreenshots() {
  // What the window shows of the game at the game's resolution: the panel picture holds every
  // rectangle presented so far (a frame that drew nothing leaves the last picture).
  for (size_t i = 0; i < info_.Screenshots.size(); ++i) {
    if (shotTaken_[i] || info_.Screenshots[i].Frame != frameNumber_) continue;
    shotTaken_[i] = true;
    try {
      WritePicturePng(panelPicture_, info_.Screenshots[i].File);
    } catch (const std::exception& e) {
      Report(std::string("--screenshot ") + std::to_string(frameNumber_) + ": " + e.what());
    }
  }
}

std::vector<TScreenshotRequest> TFormView::PendingScreenshots() const {
  std::vector<TScreenshotRequest> pending;
  for (size_t i = 0; i < info_.Screenshots.size(); ++i) {
    if (i >= shotTaken_.size() || !shotTaken_[i]) pending.push_back(info_.Screenshots[i]);
  }
  return pending;
}

void TFormView::SaveToPictures() {
  try {
    std::filesystem::path dir = info_.PicturesDir.empty() ? UserPicturesFolder() : info_.PicturesDir;
    std::filesystem::create_directories(dir);
    std::filesystem::path file = ScreenshotFileName(dir, info_.GameName, platform_.Clock().LocalTime());
    WritePicturePng(panelPicture_, file);
    lastPicturesFile_ = file;
  } catch (const std::exception& e) {
    Report(std::string("screenshot: ") + e.what());
  }
}

void TFormView::Report(const std::string& problem) {
  problems_.push_back(problem);
  std::fprintf(stderr, "novaplayer: %s\n", problem.c_str());
}

void TFormView::InvalidateClient(const TRect& r) {
  TRect c = Intersect(r, TRect{0, 0, clientW_, clientH_});
  if (!c.Empty()) pending_.push_back(c);
}

void TFormView::InvalidatePanel(const std::vector<TRect>& panelRects) {
  const TRect bounds{0, 0, panelPicture_.Width, panelPicture_.Height};
  for (const TRect& r : panelRects) InvalidateClient(Intersect(r, bounds).Offset(panel_.Left, panel_.Top));
}

void TFormView::ComposeArea(const TRect& r) {
  // Client pixels come from the panel picture where the panel lies, black elsewhere.
  const TRect panelArea = Intersect(r, Intersect(panel_, TRect{panel_.Left, panel_.Top, panel_.Left + panelPicture_.Width,
                                                            panel_.Top + panelPicture_.Height}));
  for (int y = r.Top; y < r.Bottom; ++y) {
    uint32_t* dst = clientPicture_.Row(y);
    if (y < panelArea.Top || y >= panelArea.Bottom) {
      std::fill(dst + r.Left, dst + r.Right, 0u);
      continue;
    }
    std::fill(dst + r.Left, dst + panelArea.Left, 0u);
    const uint32_t* src = panelPicture_.Row(y - panel_.Top) + (panelArea.Left - panel_.Left);
    std::copy(src, src + panelArea.Width(), dst + panelArea.Left);
    std::fill(dst + panelArea.Right, dst + r.Right, 0u);
  }
}

void TFormView::Compose() {
  if (!window_ || clientW_ <= 0 || clientH_ <= 0) return;
  const TRect client{0, 0, clientW_, clientH_};
  if (clientPicture_.Width != clientW_ || clientPicture_.Height != clientH_) {
    clientPicture_.Resize(clientW_, clientH_, 0);
    fullPending_ = true;
  }
  std::vector<TRect> rects;
  if (fullPending_) {
    rects.push_back(client);
  } else {
    rects.swap(pending_);
  }
  pending_.clear();
  fullPending_ = false;
  if (rects.empty()) return;
  bool toolbar = false;
  for (const TRect& r : rects) {
    ComposeArea(r);
    toolbar |= toolbarVisible_ && r.Top < kDockHeight;
  }
  if (toolbar) {
    // The toolbar lies over whatever was composed below it (in full screen: the game).
    toolbar_->Draw(clientPicture_, hover_, pressed_);
    TRect dock = Intersect(TRect{0, 0, clientW_, kDockHeight}, client);
    bool covered = std::any_of(rects.begin(), rects.end(), [&](const TRect& r) { return Intersect(r, dock) == dock; });
    if (!covered) rects.push_back(dock);
  }
  window_->Present(clientPicture_, rects);
  ++presented_;
}

void TFormView::HandleEvent(const TInputEvent& e) {
  auto inPanel = [this](int x, int y) {
    return x >= panel_.Left && x < panel_.Left + panel_.Width() && y >= panel_.Top && y < panel_.Top + panel_.Height();
  };
  auto inDock = [this](int x, int y) { return toolbarVisible_ && y >= 0 && y < kDockHeight && x >= 0 && x < clientW_; };
  TInputState& input = game_.Input();
  switch (e.Kind) {
    case InputKind::MouseDown: {
      if (!active_) return;
      if (inDock(e.X, e.Y)) {
        if (e.Button == MouseButton::Right) return ShowPopupMenu();
        if (e.Button == MouseButton::Left && toolbar_->ButtonAt(e.X, e.Y) != ToolButton::None) {
          pressed_ = toolbar_->ButtonAt(e.X, e.Y);
          buttonCaptured_ = true;
          InvalidateToolbar();
          Compose();
        }
        return;
      }
      if (!inPanel(e.X, e.Y)) return;
      bool left = e.Button == MouseButton::Left, right = e.Button == MouseButton::Right;
      for (TScreenMouseState& s : input.Screens) s.LeftHeld = left, s.RightHeld = right;
      input.DisplayedScreen().LeftPressedNow = left;
      input.DisplayedScreen().RightPressedNow = right;
      return;
    }
    case InputKind::MouseUp: {
      for (TScreenMouseState& s : input.Screens) s.LeftHeld = s.RightHeld = false;
      if (buttonCaptured_) {
        ToolButton was = pressed_;
        buttonCaptured_ = false;
        pressed_ = ToolButton::None;
        InvalidateToolbar();
        Compose();
        if (inDock(e.X, e.Y) && toolbar_->ButtonAt(e.X, e.Y) == was) PressToolButton(was);
      }
      return;
    }
    case InputKind::MouseMove: {
      bool overDock = inDock(e.X, e.Y);
      if (fullScreen_) {
        // Row 0 shows the toolbar; leaving it for the game area hides it again.
        bool show = e.Y <= 0 || (toolbarVisible_ && overDock);
        if (show != toolbarVisible_) {
          toolbarVisible_ = show;
          overDock = inDock(e.X, e.Y);
          InvalidateToolbar();
          Compose();
        }
      }
      ToolButton hover = overDock ? toolbar_->ButtonAt(e.X, e.Y) : ToolButton::None;
      if (hover != hover_) {
        hover_ = hover;
        InvalidateToolbar();
        Compose();
      }
      // The game's cursor over the game, the arrow over the toolbar and the bars.
      bool overGame = !overDock && inPanel(e.X, e.Y);
      if (overGame != mouseOverGame_) {
        mouseOverGame_ = overGame;
        if (gameCursor_) window_->SetCursor(overGame ? &*gameCursor_ : nullptr);
      }
      // A held button keeps the mouse with the panel (capture), also outside it.
      bool captured = !buttonCaptured_ && (input.Screens[0].LeftHeld || input.Screens[0].RightHeld);
      if ((!overDock && inPanel(e.X, e.Y)) || captured) {
        for (TScreenMouseState& s : input.Screens) {
          s.X = e.X - panel_.Left;
          s.Y = e.Y - panel_.Top;
          s.Moved = true;
        }
      }
      return;
    }
    case InputKind::Wheel:
      if (e.Wheel < 0) input.DisplayedScreen().WheelDownNow = true;
      if (e.Wheel > 0) input.DisplayedScreen().WheelUpNow = true;
      return;
    case InputKind::KeyDown:
      if (e.Key == vk::Menu) altHeld_ = true;
      if (e.Repeat || !active_ || e.Key >= 256 || e.Key <= 0) return;
      // The player's own keys; the game never sees them.
      if (e.Key == vk::Apps) return ShowPopupMenu();
      if (e.Key == vk::F11 || (e.Key == vk::Return && (e.Alt || altHeld_))) return SetFullScreen(!fullScreen_);
      if (e.Key == vk::F12) return SaveToPictures();
      input.SetKeyState(e.Key, true);
      input.SetKeyPressed(e.Key);
      return;
    case InputKind::KeyUp:
      if (e.Key == vk::Menu) altHeld_ = false;
      if (e.Key == vk::F11 || e.Key == vk::F12 || e.Key == vk::Apps) return;
      if (e.Key > 0 && e.Key < 256) input.SetKeyState(e.Key, false);
      return;
    case InputKind::FocusGained:
      return Activate(true);
    case InputKind::FocusLost:
      altHeld_ = false;
      return Activate(false);
    case InputKind::Close:
      return Close();
    case InputKind::Expose:
      InvalidateAll();
      return Compose();
  }
}

void TFormView::Activate(bool on) {
  if (on == active_) return;
  if (!displaySystem_) {
    active_ = on;
    return;
  }
  active_ = on;
  if (on) {
    FrameClock().LastTick = platform_.Clock().Now();  // the time away is not counted
    game_.Resume();
  } else {
    game_.Suspend();
  }
}

void TFormView::PressToolButton(ToolButton button) {
  if (button == ToolButton::Quit) ConfirmQuit();
  if (button == ToolButton::Screen) SetFullScreen(!fullScreen_);
}

void TFormView::SetFullScreen(bool on) {
  struct TModeSwitch {
    bool& flag;
    explicit TModeSwitch(bool& f) : flag(f) { flag = true; }
    ~TModeSwitch() { flag = false; }
  } guard(modeSwitch_);
  if (on == fullScreen_ || !window_) return;
  TracePoint("SetFullScreen");
  game_.Suspend();
  if (on) {
    toolbarVisible_ = false;
    if (window_->SetFullScreen(true)) {
      fullScreen_ = true;
      clientW_ = sceneW_;
      clientH_ = sceneH_;
    } else {
      toolbarVisible_ = true;  // the switch did not take: back to the window
    }
  } else {
    // The window takes back the size it had (the user may have resized it); the client
    // picture is the scene plus the dock again.
    toolbarVisible_ = true;
    window_->SetFullScreen(false);
    fullScreen_ = false;
    clientW_ = sceneW_;
    clientH_ = sceneH_ + kDockHeight;
  }
  hover_ = pressed_ = ToolButton::None;
  buttonCaptured_ = false;
  PlacePanel();
  game_.Resume();
  InvalidateAll();
  Compose();
}

void TFormView::ApplyScreenMode() {
  // Desktop full screen keeps the desktop's mode: the picture is scaled instead, so a new
  // mode choice only re-places the panel.
  if (!fullScreen_) return;
  PlacePanel();
  InvalidateAll();
  Compose();
}

void TFormView::SetCursor(const TCursorImage* cursor) {
  if (cursor) {
    gameCursor_ = *cursor;
  } else {
    gameCursor_.reset();
  }
  if (window_ && mouseOverGame_) window_->SetCursor(gameCursor_ ? &*gameCursor_ : nullptr);
}

void TFormView::MoveCursor(int32_t x, int32_t y) {
  if (window_) window_->WarpMouse(panel_.Left + x, panel_.Top + y);
}

void TFormView::KeepResponsive() {
  // A pass that runs longer than about a second still lets the window be closed; every other
  // event waits for the frame loop.
  if (!window_ || platform_.Clock().Now() - frameStart_ < 1000) return;
  TInputEvent event;
  while (window_->PollEvent(event)) {
    if (event.Kind == InputKind::Close) {
      SetQuitting(true);
      PostCloseRequest();
    } else {
      heldBack_.push_back(event);
    }
  }
}

void TFormView::ConfirmQuit() {
  bool was = Quitting();
  SetQuitting(true);
  std::string name = game_.Title();
  std::string text = ReplaceFirst(QuitQuestion(), "%s", name);
  if (platform_.Dialogs().MessageBox(text, name, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes) {
    PostCloseRequest();
  } else {
    SetQuitting(was);
  }
}

void TFormView::ChooseMenuEntry(MenuEntry entry) {
  TFrameClock& clock = FrameClock();
  switch (entry) {
    case MenuEntry::FullScreen: return SetFullScreen(!fullScreen_);
    case MenuEntry::Speed1: clock.FrameBudget = 16; return;
    case MenuEntry::Speed4: clock.FrameBudget = 64; return;
    case MenuEntry::Speed8: clock.FrameBudget = 128; return;
    case MenuEntry::NoWait: clock.FrameBudget = 1; return;
    case MenuEntry::Fps1: clock.DrawDivisor = 1; return;
    case MenuEntry::Fps2: clock.DrawDivisor = 2; return;
    case MenuEntry::Fps4: clock.DrawDivisor = 4; return;
    case MenuEntry::Fps10: clock.DrawDivisor = 10; return;
    case MenuEntry::FpsAuto: return;  // leaves the divisor as it is
  }
}

void TFormView::ShowPopupMenu() {
  // The menu as a box of choices; the entry of full screen carries a check mark while on.
  static const char* kLabels[] = {"x1",      "x4",      "x8",       "No Wait", "FPS 1/1",
                                  "FPS 1/2", "FPS 1/4", "FPS 1/10", "FPS AUTO"};
  std::vector<std::string> choices{std::string(fullScreen_ ? "✓ " : "") + "フルスクリーン(F)"};
  for (const char* label : kLabels) choices.emplace_back(label);
  const TFrameClock& clock = FrameClock();
  std::string text =
      "Speed: " + std::to_string(clock.FrameBudget) + " ms/frame, FPS 1/" + std::to_string(clock.DrawDivisor);
  int chosen = platform_.Dialogs().ChoiceBox(caption_, text, choices);
  if (chosen >= 0) ChooseMenuEntry(static_cast<MenuEntry>(chosen));
}

void TFormView::Close() {
  if (closed_) return;
  closed_ = true;
  SetQuitting(true);
  // The frame loop has already stopped; the game tears down in its order.
  game_.Shutdown();
  displaySystem_ = false;
  TracePoint("FormClose");
}

}  // namespace nova
