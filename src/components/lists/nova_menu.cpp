#include "components/lists/nova_menu.h"

#include <algorithm>

#include "base/process.h"
#include "objects/key_codes.h"
#include "objects/scene.h"

namespace nova {

namespace {

// Opening counts as open and closing as closed when a new state is compared with the old.
int32_t SettledState(int32_t state) {
  if (state == TNovaMenu::kOpening) return TNovaMenu::kOpen;
  if (state == TNovaMenu::kClosing) return TNovaMenu::kClosed;
  return state;
}

}  // namespace

TNovaMenu::TNovaMenu(TNovaBaseList* scene, TComponentServices& services) : TNovaCustomListBox(scene, services) {
  if (scene) scene->AddRightClickControl(this);
}

TNovaMenu::~TNovaMenu() = default;

uint32_t TNovaMenu::Elapsed() const { return ScenarioNow() - animationStart_; }

void TNovaMenu::PostMenuEvent(int code) {
  TNovaBaseList* scene = Scene();
  if (!scene) return;
  const std::string page = EventText(code);
  if (!page.empty()) scene->Events().PostEvent(TEventSender(this), page, {}, static_cast<uint8_t>(code));
}

void TNovaMenu::ReleaseFocus() {
  if (TNovaBaseList* scene = Scene(); scene && scene->Focus() == this) scene->RequestKeyTarget();
}

void TNovaMenu::SetMenuState(int32_t state) {
  if (state < kOpen || state > kClosing || SettledState(state) == SettledState(state_)) return;
  state_ = state;
  switch (state) {
    case kOpen:
      closing_ = false;
      phase_ = kIdle;
      Layout();
      PostMenuEvent(PR_ONOPENING);
      PostMenuEvent(PR_ONOPENED);
      break;
    case kOpening:
      closing_ = false;
      phase_ = kOpenStart;
      break;
    case kClosed:
      SetHeight(0);
      phase_ = kIdle;
      ReleaseFocus();
      PostMenuEvent(PR_ONCLOSING);
      PostMenuEvent(PR_ONCLOSED);
      break;
    default:
      phase_ = kCloseStart;
      ReleaseFocus();
      break;
  }
}

void TNovaMenu::ApplyLayoutSize(int32_t width, int32_t height) {
  fullHeight_ = height;
  // A closed menu stays without height, an animating one keeps the height of its step.
  const bool open = state_ == kOpen || state_ == kOpening;
  SetBounds(left_, top_, width, open && !Animating() ? height : height_);
}

bool TNovaMenu::Update(uint32_t elapsedMs) {
  AnimateCells(elapsedMs);
  switch (phase_) {
    case kIdle:
      if (layoutDirty_) Layout();
      break;
    case kCancel: {
      if (layoutDirty_) Layout();
      const int32_t before = state_;
      SetMenuState(kClosing);
      if (state_ == before) phase_ = kIdle;
      break;
    }
    case kOpenStart:
      Layout();
      PostMenuEvent(PR_ONOPENING);
      SetHeight(0);
      phase_ = kOpenClock;
      break;
    case kOpenClock:
      animationStart_ = ScenarioNow();
      phase_ = kOpenGrow;
      break;
    case kOpenGrow: {
      const uint32_t elapsed = Elapsed();
      if (int64_t{elapsed} < delay_) {
        SetHeight(static_cast<int32_t>(int64_t{elapsed} * fullHeight_ / delay_));
      } else {
        SetHeight(fullHeight_);
        phase_ = kIdle;
        PostMenuEvent(PR_ONOPENED);
      }
      break;
    }
    case kCloseStart:
      closing_ = true;
      animationStart_ = ScenarioNow();
      phase_ = kCloseShrink;
      PostMenuEvent(PR_ONCLOSING);
      break;
    case kCloseShrink: {
      const uint32_t elapsed = Elapsed();
      if (int64_t{elapsed} < delay_) {
        SetHeight(static_cast<int32_t>(fullHeight_ - int64_t{elapsed} * fullHeight_ / delay_));
      } else {
        // Gone from the screen while its closing handlers run.
        SetHeight(0);
        PostMenuEvent(PR_ONCLOSED);
        phase_ = kScrapWait;
      }
      break;
    }
    case kScrapStart:
      closing_ = true;
      PostMenuEvent(PR_ONCLOSING);
      PostMenuEvent(PR_ONCLOSED);
      phase_ = kScrapNext;
      break;
    case kScrapNext: phase_ = kScrapWait; break;
    case kScrapWait: {
      const TEventQueue& queue = Scene()->Events();
      return queue.FindPendingEvent(this, PR_ONCLOSING) < 0 && queue.FindPendingEvent(this, PR_ONCLOSED) < 0;
    }
    default: break;
  }
  return false;
}

// ---- input ----

void TNovaMenu::ItemChosen() {
  Select();
  if (autoScrap_) {
    closing_ = true;
    phase_ = kScrapStart;
  }
}

void TNovaMenu::Cancel() {
  SetSelection(std::string(), -1);
  phase_ = kCancel;
}

void TNovaMenu::KeyStep(const std::vector<int>& keys) {
  TNovaCustomListBox::KeyStep(keys);
  TNovaBaseList* scene = Scene();
  if (!scene) return;
  const TInputState& in = scene->Input();
  if ((in.IsKeyPressedThisFrame(kKeyEnter) || in.IsKeyPressedThisFrame(kKeySpace)) && hovered_ >= 0 && !closing_) {
    ItemChosen();
  } else if (rightClickScrap_ && in.IsKeyPressedThisFrame(kKeyEscape) && state_ != kClosed) {
    Cancel();
  }
}

bool TNovaMenu::RightClickScrap() {
  if (!ItemsActive()) return false;
  if (ignoreMouse_ != IM_NONE && ignoreMouse_ != IM_LCLICK) return false;
  closing_ = true;
  Cancel();
  return true;
}

void TNovaMenu::DoRButtonDown(TPoint mouse) {
  if (rightClickScrap_ && !paused_ && ItemsActive()) {
    SetSelection(std::string(), -1);
    SetMenuState(kClosing);
    if (TNovaBase* screen = Screen()) screen->Mouse().RightPressedThisFrame = false;
    return;
  }
  TNovaCustomListBox::DoRButtonDown(mouse);
}

TNovaControl* TNovaMenu::FindKeyTarget() { return ItemsActive() ? TNovaCustomListBox::FindKeyTarget() : nullptr; }

// ---- properties ----

bool TNovaMenu::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_HOVERCOLOR: v = TPropValue::OfInt(hoverColor_); return true;
    case PR_DELAY: v = TPropValue::OfInt(delay_); return true;
    case PR_AUTOSCRAP: v = TPropValue::OfFlag(autoScrap_); return true;
    case PR_RCLICKSCRAP: v = TPropValue::OfFlag(rightClickScrap_); return true;
    case PR_ONOPENING: v = TPropValue::OfStr(onOpening_); return true;
    case PR_ONOPENED: v = TPropValue::OfStr(onOpened_); return true;
    case PR_ONCLOSING: v = TPropValue::OfStr(onClosing_); return true;
    case PR_ONCLOSED: v = TPropValue::OfStr(onClosed_); return true;
    case PR_ORIGHEIGHT:
      v = TPropValue::OfInt(state_ == kOpening || state_ == kClosing ? fullHeight_ : height_);
      return true;
    default: return TNovaCustomListBox::GetProperty(id, v);
  }
}

bool TNovaMenu::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_HOVERCOLOR:
      if (v.Int != hoverColor_) hoverColor_ = v.Int, Invalidate();
      return true;
    case PR_DELAY: delay_ = v.Int; return true;
    case PR_AUTOSCRAP: autoScrap_ = v.Flag; return true;
    case PR_RCLICKSCRAP: rightClickScrap_ = v.Flag; return true;
    case PR_ONOPENING: onOpening_ = v.Str; return true;
    case PR_ONOPENED: onOpened_ = v.Str; return true;
    case PR_ONCLOSING: onClosing_ = v.Str; return true;
    case PR_ONCLOSED: onClosed_ = v.Str; return true;
    case PR_ORIGHEIGHT: return true;  // read only
    default: return TNovaCustomListBox::SetProperty(id, v);
  }
}

// ---- saved form ----

void TNovaMenu::SaveToStream(TStream& s) {
  TNovaCustomListBox::SaveToStream(s);
  s.WriteInt32(delay_);
  s.WriteInt32(hoverColor_);
  s.WriteByte(autoScrap_);
  s.WriteByte(rightClickScrap_);
  s.WriteByte(static_cast<uint8_t>(state_));
  for (const std::string* e : {&onOpening_, &onOpened_, &onClosing_, &onClosed_}) s.WriteString(*e);
}

void TNovaMenu::LoadFromStream(TStream& s, int32_t version) {
  TNovaCustomListBox::LoadFromStream(s, version);
  delay_ = s.ReadInt32();
  hoverColor_ = s.ReadInt32();
  autoScrap_ = s.ReadByte() != 0;
  rightClickScrap_ = s.ReadByte() != 0;
  state_ = s.ReadByte();
  for (std::string* e : {&onOpening_, &onOpened_, &onClosing_, &onClosed_}) *e = s.ReadString();
  // The closing flag is not stored: a menu past its cancel or close step is closing.
  closing_ = phase_ == kCancel || phase_ >= kCloseStart;
  Layout();
  // An animation starts again from now with the full height.
  if (Animating()) SetBounds(left_, top_, width_, fullHeight_);
  animationStart_ = ScenarioNow();
}

}  // namespace nova
