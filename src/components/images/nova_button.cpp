#include "components/images/nova_button.h"

#include <vector>

#include "base/error.h"
#include "objects/scene.h"
#include "text/label_list.h"

namespace nova {

namespace {

constexpr int kStateCount = 4;
constexpr int32_t kButtonAntialias = 3;

TFontPixelManager& ButtonGlyphs(TComponentServices& services) {
  if (!services.Glyphs) RaiseError("TNovaButton: no glyph cache");
  return *services.Glyphs;
}

}  // namespace

TNovaButton::TNovaButton(TNovaBaseList* scene, TComponentServices& services)
    : TNovaImages(scene, services, kStateCount), labels_(std::make_unique<TKtLabelList>(ButtonGlyphs(services))) {}

TNovaButton::~TNovaButton() = default;

// ---- states ----

void TNovaButton::SetStateSource(int state, const std::string& name) {
  if (state < 0 || state >= kStateCount) return;
  LoadStateSource(state, name);
}

void TNovaButton::SetButtonState(int32_t state) {
  if (buttonState_ == kClicked) {
    pendingState_ = state;
    return;
  }
  if (state == buttonState_ || state < 0 || state >= kStateCount) return;
  if (state != kNormal && !states_[static_cast<size_t>(state)]->Shown()) return;
  ShowState(state);
}

void TNovaButton::ShowState(int32_t state) {
  DropPicture();
  buttonState_ = state;
  if (state == kClicked) pendingState_ = kNormal;
  frameCountdown_ = 0;
  TImageState& st = *states_[static_cast<size_t>(state)];
  if (st.Motion) st.Motion->Rewind();
  else if (st.List.Count() > 0) SetIndex(0);
  else RecomputeSize();
  Invalidate();
}

// ---- mouse ----

void TNovaButton::DoMouseMove(TPoint mouse) {
  if (pressTracking_ == 1) {
    // While pressed the button shows pressed only as long as the mouse stays on it.
    if (!selected_) {
      TNovaBase* screen = Screen();
      const bool over = screen && screen->HitTest(mouse, kLeftPressModes) == this;
      SetButtonState(over ? kPressed : kNormal);
    }
    return;
  }
  SetButtonState(selected_ ? kPressed : (paused_ ? kNormal : kHover));
  TNovaImages::DoMouseMove(mouse);
}

void TNovaButton::DoMouseOut() {
  if (buttonState_ != kClicked) SetButtonState(selected_ ? kPressed : kNormal);
  TNovaImages::DoMouseOut();
}

void TNovaButton::DoLButtonDown(TPoint) {
  if (ignoreMouse_ != IM_NONE && ignoreMouse_ != IM_RCLICK) return;
  TNovaBase* screen = Screen();
  if (!paused_ && buttonState_ != kClicked) {
    if (screen) screen->CaptureSet |= 4;
    SetButtonState(kPressed);
    pressTracking_ = 1;
  }
  if (screen) screen->Mouse().LeftPressedThisFrame = false;
}

void TNovaButton::DoLButtonUp(TPoint mouse) {
  TNovaBase* screen = Screen();
  if (screen) screen->CaptureSet &= static_cast<uint8_t>(~4);
  if (pressTracking_ == 1 && screen && screen->HitTest(mouse, kLeftPressModes) == this) {
    Click();
    if (pressTracking_ == -1) return;
  }
  pressTracking_ = 0;
  if (!selected_ && buttonState_ != kClicked) SetButtonState(kNormal);
}

void TNovaButton::Click() {
  PostEventIfFree(PR_ONNOTIFY, {}, false);
  if (groupIndex_ == 0) {
    SetButtonState(kClicked);
    if (buttonState_ != kClicked && autoScrap_) pressTracking_ = -1;
  } else if (allowAllUp_ || !selected_) {
    SetSelected(!selected_);
  }
}

bool TNovaButton::Update(uint32_t elapsedMs) {
  if (pressTracking_ == -1) return true;
  if (TNovaCustomImage::Update(elapsedMs)) return true;
  bool finished = false;
  if (HasMotion()) {
    finished = StepMotion(elapsedMs) && buttonState_ == kClicked;
  } else if (CanAnimate()) {
    finished = AdvanceFrames(elapsedMs, repeat_) != TStep::Running && buttonState_ == kClicked;
  }
  if (!finished) return false;
  if (autoScrap_) return true;
  PostEventIfFree(PR_ONPLAYEND);
  const int32_t next = pendingState_;
  ShowState(next != kNormal && next < kStateCount && states_[static_cast<size_t>(next)]->Shown() ? next : kNormal);
  return false;
}

// ---- groups ----

void TNovaButton::ApplyGroup(TNovaButton& changed) {
  if (changed.groupIndex_ == 0) return;
  std::vector<TNovaButton*> group;
  if (TNovaControl* parent = changed.Parent()) {
    for (TNovaControl* c : parent->Children()) {
      auto* b = dynamic_cast<TNovaButton*>(c);
      if (b && b->groupIndex_ == changed.groupIndex_) group.push_back(b);
    }
  } else {
    group.push_back(&changed);
  }
  TNovaButton* chosen = changed.selected_ ? &changed : nullptr;
  for (size_t i = 0; !chosen && i < group.size(); ++i)
    if (group[i]->selected_) chosen = group[i];
  if (!chosen && !changed.allowAllUp_ && !group.empty()) chosen = group.front();
  for (TNovaButton* b : group) {
    b->selected_ = b == chosen;
    b->SetButtonState(b->selected_ ? kPressed : kNormal);
  }
}

void TNovaButton::SetSelected(bool on) {
  if (on && groupIndex_ == 0) return;
  if (on == selected_) return;
  selected_ = on;
  if (groupIndex_ == 0) SetButtonState(kNormal);
  else ApplyGroup(*this);
}

void TNovaButton::SetGroupIndex(int32_t group) {
  if (group == groupIndex_) return;
  groupIndex_ = group;
  ApplyGroup(*this);
}

void TNovaButton::SetAllowAllUp(bool on) {
  if (on == allowAllUp_) return;
  allowAllUp_ = on;
  if (groupIndex_ != 0)
    if (TNovaControl* parent = Parent())
      for (TNovaControl* c : parent->Children())
        if (auto* b = dynamic_cast<TNovaButton*>(c); b && b->groupIndex_ == groupIndex_) b->allowAllUp_ = on;
  ApplyGroup(*this);
}

// ---- caption ----

std::string TNovaButton::Text() const { return labels_->Labels.empty() ? std::string() : labels_->Labels[0]->Text; }

void TNovaButton::SetText(const std::string& text) {
  if (text == Text()) return;
  Invalidate();
  labels_->Labels.clear();
  if (!text.empty()) labels_->Add(text);
  CaptionChanged();
}

void TNovaButton::CaptionChanged() {
  labels_->MarkAllStale();
  Invalidate();
  if (!labels_->Labels.empty()) labels_->MeasureAll();
}

void TNovaButton::PostPaint(TCustomDIBX& target) {
  if (labels_->Labels.empty()) return;
  TKtLabelDIB& label = *labels_->Labels[0];
  if (label.Text.empty()) return;
  const TRect drawn = DrawnRect();
  int32_t x = drawn.Left + (width_ - label.Width) / 2;
  int32_t y = drawn.Top + (height_ - label.Height) / 2;
  if (buttonState_ == kPressed || buttonState_ == kClicked) ++x, ++y;
  labels_->Target = &target;
  // A font that cannot be drawn leaves the picture without its caption.
  try {
    labels_->Draw(label, x, y);
  } catch (const std::exception&) {
  }
}

// ---- items ----

void TNovaButton::SetItemCheck(int index, bool on) {
  if (index == 0) SetSelected(on);
}
void TNovaButton::SetItemEnabled(int index, bool on) {
  if (index == 0) SetPaused(!on);
}
void TNovaButton::SetItemVisible(int index, bool on) {
  if (index == 0) SetVisible(on);
}
void TNovaButton::SetItemSelected(int index, bool on) {
  if (index == 0) SetSelected(on);
}

// ---- properties ----

bool TNovaButton::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_HOVERSOURCE: v = TPropValue::OfStr(StateSource(kHover)); return true;
    case PR_PRESSEDSOURCE: v = TPropValue::OfStr(StateSource(kPressed)); return true;
    case PR_CLICKEDSOURCE: v = TPropValue::OfStr(StateSource(kClicked)); return true;
    case PR_GROUPINDEX: v = TPropValue::OfInt(groupIndex_); return true;
    case PR_ALLOWALLUP: v = TPropValue::OfFlag(allowAllUp_); return true;
    case PR_SELECTED: v = TPropValue::OfFlag(selected_); return true;
    case PR_ONNOTIFY: v = TPropValue::OfStr(onNotify_); return true;
    case PR_TEXT: v = TPropValue::OfStr(Text()); return true;
    case PR_FONTNAME: v = TPropValue::OfStr(labels_->FontName); return true;
    case PR_FONTHEIGHT: v = TPropValue::OfInt(labels_->FontSize); return true;
    case PR_FONTSTYLE: v = TPropValue::OfInt(labels_->Style); return true;
    case PR_FONTCOLOR: v = TPropValue::OfInt(labels_->TextColor); return true;
    case PR_ANTIALIAS: v = TPropValue::OfFlag(labels_->Quality != 0); return true;
    default: return TNovaImages::GetProperty(id, v);
  }
}

bool TNovaButton::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_HOVERSOURCE: SetStateSource(kHover, v.Str); return true;
    case PR_PRESSEDSOURCE: SetStateSource(kPressed, v.Str); return true;
    case PR_CLICKEDSOURCE: SetStateSource(kClicked, v.Str); return true;
    case PR_GROUPINDEX: SetGroupIndex(v.Int); return true;
    case PR_ALLOWALLUP: SetAllowAllUp(v.Flag); return true;
    case PR_SELECTED: SetSelected(v.Flag); return true;
    case PR_ONNOTIFY: onNotify_ = v.Str; return true;
    case PR_TEXT: SetText(v.Str); return true;
    case PR_FONTNAME: labels_->FontName = v.Str; break;
    case PR_FONTHEIGHT: labels_->FontSize = v.Int; break;
    case PR_FONTSTYLE: labels_->Style = static_cast<uint8_t>(v.Int); break;
    case PR_FONTCOLOR: labels_->TextColor = v.Int; break;
    case PR_ANTIALIAS: labels_->Quality = v.Flag ? kButtonAntialias : 0; break;
    default: return TNovaImages::SetProperty(id, v);
  }
  // A font setting changed: the caption is measured and drawn again.
  CaptionChanged();
  return true;
}

// ---- record ----

void TNovaButton::SaveToStream(TStream& s) {
  TNovaImages::SaveToStream(s);
  s.WriteString(StateSource(kHover));
  s.WriteString(StateSource(kPressed));
  s.WriteInt32(groupIndex_);
  s.WriteByte(selected_);
  s.WriteByte(allowAllUp_);
  s.WriteString(onNotify_);
  s.WriteString(onIdle_);
  s.WriteString(StateSource(kClicked));
  // The caption: its text, then the caption list's settings.
  s.WriteString(Text());
  labels_->SaveToStream(s);
}

void TNovaButton::LoadFromStream(TStream& s, int32_t version) {
  TNovaImages::LoadFromStream(s, version);
  const std::string hover = s.ReadString();
  const std::string pressed = s.ReadString();
  groupIndex_ = s.ReadInt32();
  const bool selected = s.ReadByte() != 0;
  allowAllUp_ = s.ReadByte() != 0;
  onNotify_ = s.ReadString();
  std::string clicked;
  if (version > 103) {
    onIdle_ = s.ReadString();
    clicked = s.ReadString();
  }
  std::string text;
  if (version > 136) {
    text = s.ReadString();
    labels_->LoadFromStream(s, version);
  }
  LoadStateSourceQuietly(kHover, hover);
  LoadStateSourceQuietly(kPressed, pressed);
  LoadStateSourceQuietly(kClicked, clicked);
  labels_->Labels.clear();
  if (!text.empty()) labels_->Add(text);
  try {
    if (!labels_->Labels.empty()) labels_->MeasureAll();
  } catch (const std::exception&) {
  }
  selected_ = false;
  if (selected) SetSelected(true);
  pressTracking_ = 0;
  RestoreLoadedIndex();
}

}  // namespace nova
