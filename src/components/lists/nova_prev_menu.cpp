#include "components/lists/nova_prev_menu.h"

#include <algorithm>
#include <exception>

#include "archive/vrfiles.h"
#include "base/error.h"
#include "components/lists/load_quietly.h"
#include "objects/key_codes.h"
#include "objects/scene.h"
#include "params/param_collection.h"

namespace nova {

namespace {

// The pictures of the table by their roles.
enum TImageRole : int {
  kNormal = 0, kHover = 1, kLeave = 2, kSelected = 3, kDisabled = 4, kDisabledHover = 5, kDisabledLeave = 6,
  kPreviewHover = 7, kPreviewLeave = 8, kPreviewSelect = 9, kPreviewDisabledHover = 10, kPreviewDisabledLeave = 11,
  kChecked = 12, kCheckedHover = 13, kCheckedLeave = 14, kPreviewCheckedHover = 15, kPreviewCheckedLeave = 16,
  kPreviewChecks = 17, kPreviewUnchecks = 18
};

// Preview pictures lie above the button pictures: leaving 0, hovering 1, choosing 2.
constexpr int32_t kLeavePriority = 0, kHoverPriority = 1, kSelectPriority = 2;

}  // namespace

TNovaPrevMenu::TNovaPrevMenu(TNovaBaseList* scene, TComponentServices& services)
    : TNovaControl(scene), services_(services) {}

TNovaPrevMenu::~TNovaPrevMenu() = default;

// ---- buttons ----

TNovaPrevImages* TNovaPrevMenu::Resolve(const TObjectRef& ref) const {
  TNovaBaseList* scene = Scene();
  return scene ? dynamic_cast<TNovaPrevImages*>(scene->Resolve(ref)) : nullptr;
}

TNovaPrevImages* TNovaPrevMenu::ButtonImage(int button) {
  return Valid(button) ? Resolve(buttons_[static_cast<size_t>(button)].Image) : nullptr;
}

TNovaPrevImages* TNovaPrevMenu::PreviewPicture(int button) {
  return Valid(button) ? Resolve(buttons_[static_cast<size_t>(button)].Preview) : nullptr;
}

int TNovaPrevMenu::ButtonOf(const TNovaObject* image, bool* isPreview) const {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const TButton& b = buttons_[i];
    const bool asPreview = b.Preview.Object == image && Resolve(b.Preview);
    if ((b.Image.Object == image && Resolve(b.Image)) || asPreview) {
      if (isPreview) *isPreview = asPreview;
      return static_cast<int>(i);
    }
  }
  return -1;
}

TNovaPrevImages* TNovaPrevMenu::MakeChild(int32_t left, int32_t top) {
  TNovaBaseList* scene = Scene();
  auto* image = scene->Make<TNovaPrevImages>(services_);
  image->SetName(scene->MakeUniqueName("\x01" + Name() + "\x01"));
  image->SetParent(this);
  image->SetLeft(left);
  image->SetTop(top);
  return image;
}

void TNovaPrevMenu::ClearButtons() {
  TNovaBaseList* scene = Scene();
  for (const TButton& b : buttons_)
    for (const TObjectRef* ref : {&b.Image, &b.Preview})
      if (TNovaObject* o = scene ? scene->Resolve(*ref) : nullptr) scene->FreeObject(o);
  buttons_.clear();
  hovered_ = pressed_ = -1;
  running_ = 0;
}

void TNovaPrevMenu::SetSource(const std::string& name) {
  if (name == source_) return;
  Invalidate();
  ClearButtons();
  source_ = name;
  SetBounds(left_, top_, 0, 0);
  if (name.empty() || !services_.Files || !Scene()) return;
  const bool present = services_.CheckFile ? services_.CheckFile(name) : services_.Files->Exists(name);
  if (!present) return;
  TKtMemoryStream bytes;
  services_.Files->ReadFile(bytes, name);
  TPrevMenuFile menu = ReadPrevMenuFile(bytes.Data(), name);
  SetBounds(left_, top_, menu.Width, menu.Height);
  for (TNovaPrevMenuData& data : menu.Buttons) {
    TButton& b = buttons_.emplace_back();
    b.Data = std::move(data);
    TNovaPrevImages* image = MakeChild(b.Data.X, b.Data.Y);
    b.Image = TObjectRef(image);
    image->SetProperty(PR_CAPTUREMASK, TPropValue::OfFlag(b.Data.CaptureMask));
    image->SetProperty(PR_CURSOR, TPropValue::OfStr(b.Data.Cursor));
    image->SetRepeat(true);
    LoadQuietly([&] { image->SetSource(b.Data.Image(kNormal)); });
  }
  // The default members of exclusive groups show checked from the start.
  for (int i = 0; i < ButtonCount(); ++i)
    if (Checked(i)) SetImageSource(i, StateImage(i));
}

int TNovaPrevMenu::ItemIndexOfName(const std::string& name) {
  for (int i = 0; i < ButtonCount(); ++i)
    if (buttons_[static_cast<size_t>(i)].Data.Name == name) return i;
  return -1;
}

std::vector<std::string> TNovaPrevMenu::EventArgs(int button) const {
  const TNovaPrevMenuData& d = buttons_[static_cast<size_t>(button)].Data;
  return {d.Name, std::to_string(d.Index)};
}

// ---- checked state ----

bool TNovaPrevMenu::FlagChecked(int i) const {
  const TButton& b = buttons_[static_cast<size_t>(i)];
  const int32_t g = b.Data.Group;
  if (g == 0 || !b.Visible || !b.Flag) return false;
  for (int j = 0; j < i; ++j)
    if (buttons_[static_cast<size_t>(j)].Data.Group == g && FlagChecked(j)) return false;
  return true;
}

bool TNovaPrevMenu::Checked(int i) const {
  if (!Valid(i)) return false;
  if (FlagChecked(i)) return true;
  const TButton& b = buttons_[static_cast<size_t>(i)];
  const int32_t g = b.Data.Group;
  if (b.Flag || g <= 0 || !b.Visible) return false;
  // The group's default: its first visible member, while no member's flag holds the group.
  for (int j = 0; j < ButtonCount(); ++j) {
    const TButton& other = buttons_[static_cast<size_t>(j)];
    if (other.Data.Group != g) continue;
    if (j < i && other.Visible) return false;
    if (FlagChecked(j)) return false;
  }
  return true;
}

// ---- pictures ----

int TNovaPrevMenu::Existing(int button, int k) const {
  return buttons_[static_cast<size_t>(button)].Data.Has(k) ? k : kNormal;
}

int TNovaPrevMenu::PlainImage(int button) const {
  return buttons_[static_cast<size_t>(button)].Enabled ? kNormal : Existing(button, kDisabled);
}

int TNovaPrevMenu::StateImage(int button) const {
  return Checked(button) && Data(button).Has(kChecked) ? kChecked : PlainImage(button);
}

void TNovaPrevMenu::SetImageSource(int button, int k) {
  TNovaPrevImages* image = ButtonImage(button);
  if (!image) return;
  LoadQuietly([&] { image->SetSource(Data(button).Image(k)); });
}

void TNovaPrevMenu::ShowImage(int button, int k, bool repeat) {
  SetImageSource(button, k);
  if (TNovaPrevImages* image = ButtonImage(button)) image->SetRepeat(repeat);
}

void TNovaPrevMenu::DeletePreview(int button) {
  TButton& b = buttons_[static_cast<size_t>(button)];
  if (TNovaPrevImages* preview = Resolve(b.Preview)) preview->MarkForDeletion();
  b.Preview = TObjectRef();
}

void TNovaPrevMenu::ShowPreview(int button, int k, bool repeat, int32_t priority) {
  TButton& b = buttons_[static_cast<size_t>(button)];
  if (!b.Data.Has(k)) {
    DeletePreview(button);
    return;
  }
  TNovaPrevImages* preview = Resolve(b.Preview);
  if (!preview) {
    preview = MakeChild(b.Data.PreviewX, b.Data.PreviewY);
    b.Preview = TObjectRef(preview);
  }
  preview->SetPriority(priority);
  LoadQuietly([&] { preview->SetSource(b.Data.Image(k)); });
  preview->SetRepeat(repeat);
}

void TNovaPrevMenu::RefreshGroup(int32_t group, int except) {
  if (group == 0) return;
  for (int j = 0; j < ButtonCount(); ++j) {
    const TButton& b = buttons_[static_cast<size_t>(j)];
    if (j != except && b.Data.Group == group && b.Visible) SetImageSource(j, StateImage(j));
  }
}

// ---- hover and choice ----

void TNovaPrevMenu::ChangeHover(int32_t next) {
  if (!Valid(next)) next = -1;
  if (next == hovered_ || running_ > 0) return;
  const int32_t old = hovered_;
  if (old >= 0) {
    const TNovaPrevMenuData& d = Data(old);
    const bool enabled = buttons_[static_cast<size_t>(old)].Enabled;
    if (Checked(old)) {
      if (d.Has(kCheckedLeave)) ShowImage(old, kCheckedLeave, false);
      else if (d.Has(kChecked)) ShowImage(old, kChecked, true);
      else if (!enabled && d.Has(kDisabledLeave)) ShowImage(old, kDisabledLeave, false);
      else ShowImage(old, kNormal, true);  // checked: the normal picture, also while disabled
      ShowPreview(old, d.Has(kPreviewCheckedLeave) ? kPreviewCheckedLeave : kPreviewLeave, false, kLeavePriority);
    } else if (enabled) {
      if (d.Has(kLeave)) ShowImage(old, kLeave, false);
      else ShowImage(old, kNormal, true);
      ShowPreview(old, kPreviewLeave, false, kLeavePriority);
    } else {
      if (d.Has(kDisabledLeave)) ShowImage(old, kDisabledLeave, false);
      else ShowImage(old, PlainImage(old), true);
      ShowPreview(old, kPreviewDisabledLeave, false, kLeavePriority);
    }
    if (!paused_) PostEventIfFree(PR_ONMAPOUT, EventArgs(old), false);
  }
  hovered_ = next;
  if (next < 0) return;
  const TNovaPrevMenuData& d = Data(next);
  const bool enabled = buttons_[static_cast<size_t>(next)].Enabled;
  if (Checked(next)) {
    if (d.Has(kCheckedHover)) ShowImage(next, kCheckedHover, true);
    else if (d.Has(kChecked)) ShowImage(next, kChecked, true);
    else if (!enabled && d.Has(kDisabledHover)) ShowImage(next, kDisabledHover, true);
    else ShowImage(next, kNormal, true);
    ShowPreview(next, d.Has(kPreviewCheckedHover) ? kPreviewCheckedHover : kPreviewHover, true, kHoverPriority);
  } else if (enabled) {
    ShowImage(next, d.Has(kHover) ? kHover : kNormal, true);
    ShowPreview(next, kPreviewHover, true, kHoverPriority);
  } else {
    ShowImage(next, d.Has(kDisabledHover) ? kDisabledHover : PlainImage(next), true);
    ShowPreview(next, kPreviewDisabledHover, true, kHoverPriority);
  }
  if (!paused_) PostEventIfFree(PR_ONMAPIN, EventArgs(next), false);
}

void TNovaPrevMenu::Select() {
  const int32_t i = hovered_;
  if (!Valid(i)) return;
  TButton& b = buttons_[static_cast<size_t>(i)];
  const int32_t g = b.Data.Group;
  if (g != 0) {
    if (b.Flag) {
      if (g > 0) return;  // the checked member of an exclusive group stays as it is
      b.Flag = false;
    } else {
      b.Flag = true;
      for (int j = 0; j < ButtonCount(); ++j) {
        TButton& other = buttons_[static_cast<size_t>(j)];
        if (j == i || other.Data.Group != g || !other.Flag) continue;
        other.Flag = false;
        ShowImage(j, PlainImage(j), true);
      }
    }
    // The group's default follows the change too.
    RefreshGroup(g, i);
    const bool checked = Checked(i);
    ShowImage(i, checked && b.Data.Has(kChecked) ? kChecked : PlainImage(i), false);
    ++running_;
    const int preview = checked ? kPreviewChecks : kPreviewUnchecks;
    if (b.Data.Has(preview)) {
      ShowPreview(i, preview, false, kSelectPriority);
      ++running_;
    } else {
      DeletePreview(i);
    }
  } else {
    if (b.Data.Has(kSelected)) {
      ShowImage(i, kSelected, false);
      ++running_;
    }
    if (b.Data.Has(kPreviewSelect)) {
      ShowPreview(i, kPreviewSelect, false, kSelectPriority);
      ++running_;
    } else {
      DeletePreview(i);
    }
  }
  if (services_.Store) {
    services_.Store->SelStr = b.Data.Name;
    services_.Store->SelIndex = b.Data.Index;
  }
  PostEventIfFree(PR_ONSELECT, EventArgs(i));
  if (running_ == 0) Finish();
}

void TNovaPrevMenu::Finish() {
  if (autoScrap_) MarkForDeletion();
  else if (Valid(hovered_)) PostEventIfFree(PR_ONPLAYEND, EventArgs(hovered_), false);
}

void TNovaPrevMenu::PrevImageFinished(TNovaPrevImages& image) {
  bool isPreview = false;
  const int owner = ButtonOf(&image, &isPreview);
  if (owner < 0) return;
  if (isPreview) {
    image.MarkForDeletion();
    buttons_[static_cast<size_t>(owner)].Preview = TObjectRef();
  } else {
    image.SetRepeat(true);
  }
  if (running_ <= 0 || owner != hovered_) return;
  if (--running_ > 0) return;
  Finish();
  if (paused_) return;
  ChangeHover(-1);
  if (TNovaBase* screen = Screen()) {
    const TPoint mouse{screen->Mouse().X, screen->Mouse().Y};
    if (screen->HitTest(mouse, kGeneralModes) == this) ChangeHover(ButtonAt(mouse));
  }
}

// ---- items ----

void TNovaPrevMenu::SetItemEnabled(int i, bool on) {
  if (!Valid(i) || buttons_[static_cast<size_t>(i)].Enabled == on) return;
  buttons_[static_cast<size_t>(i)].Enabled = on;
  SetImageSource(i, PlainImage(i));
}

void TNovaPrevMenu::SetItemVisible(int i, bool on) {
  if (!Valid(i)) return;
  TButton& b = buttons_[static_cast<size_t>(i)];
  if (b.Visible == on) return;
  b.Visible = on;
  if (TNovaPrevImages* image = ButtonImage(i)) {
    image->SetVisible(on);
    if (!on) LoadQuietly([&] { image->SetSource(std::string()); });
    else SetImageSource(i, StateImage(i));
  }
  RefreshGroup(b.Data.Group, i);
}

void TNovaPrevMenu::SetItemCheck(int i, bool on) {
  if (!Valid(i)) return;
  TButton& b = buttons_[static_cast<size_t>(i)];
  b.Flag = on;
  if (b.Data.Group == 0) SetImageSource(i, on && b.Data.Has(kChecked) ? kChecked : PlainImage(i));
  else RefreshGroup(b.Data.Group, -1);
}

// ---- input ----

TNovaControl* TNovaPrevMenu::EnabledButtonImageAt(TPoint point, TMouseModes modes) {
  const std::vector<TNovaControl*>& children = Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    bool isPreview = false;
    const int b = ButtonOf(*it, &isPreview);
    if (b < 0 || isPreview || !buttons_[static_cast<size_t>(b)].Enabled) continue;
    if ((*it)->HitTest(point, modes)) return *it;
  }
  return nullptr;
}

TNovaControl* TNovaPrevMenu::HitTest(TPoint point, TMouseModes modes) {
  if (!visible_ || !HitRect().Contains(point)) return nullptr;
  // Only enabled buttons take the mouse; the menu answers for them.
  if ((modes & ModeBit(ignoreMouse_)) && EnabledButtonImageAt(point, modes)) return this;
  const std::vector<TNovaControl*>& children = Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    bool isPreview = false;
    if (ButtonOf(*it, &isPreview) >= 0 && !isPreview) continue;
    if (TNovaControl* hit = (*it)->HitTest(point, modes)) return hit;
  }
  return nullptr;
}

int32_t TNovaPrevMenu::ButtonAt(TPoint point) {
  for (int i = 0; i < ButtonCount(); ++i)
    if (TNovaPrevImages* image = ButtonImage(i); image && image->HitTest(point, kGeneralModes)) return i;
  return -1;
}

std::string TNovaPrevMenu::EffectiveCursor() {
  // The menu answers the hit test for its buttons, so it shows the cursor of the button under
  // the mouse; buttons without one show the menu's own.
  if (TNovaBase* screen = Screen()) {
    const TPoint mouse{screen->Mouse().X, screen->Mouse().Y};
    if (TNovaControl* image = EnabledButtonImageAt(mouse, kGeneralModes); image && !image->Cursor().empty())
      return image->Cursor();
  }
  return TNovaControl::EffectiveCursor();
}

// Pausing stops the menu's events, not its pictures: the hover follows the mouse either way.
void TNovaPrevMenu::DoMouseMove(TPoint mouse) {
  ChangeHover(ButtonAt(mouse));
  TNovaControl::DoMouseMove(mouse);
}

void TNovaPrevMenu::DoMouseOut() {
  ChangeHover(-1);
  TNovaControl::DoMouseOut();
}

void TNovaPrevMenu::DoLButtonDown(TPoint mouse) {
  if (running_ > 0 && !autoScrap_) {
    // A press cuts the selection pictures short.
    const int32_t under = ButtonAt(mouse);
    if (under >= 0) {
      running_ = 0;
      Finish();
      ChangeHover(under);
    }
  }
  // The press counts where it happens, also when no move brought the mouse there first.
  ChangeHover(ButtonAt(mouse));
  pressed_ = hovered_;
  TNovaControl::DoLButtonDown(mouse);
}

void TNovaPrevMenu::DoLButtonUp(TPoint mouse) {
  // A paused menu takes no choice by the mouse, as it takes none by keys.
  if (pressed_ >= 0 && pressed_ == hovered_ && !paused_ && !IsEventBlocked() &&
      buttons_[static_cast<size_t>(hovered_)].Enabled && running_ == 0)
    Select();
  pressed_ = -1;
  TNovaControl::DoLButtonUp(mouse);
}

void TNovaPrevMenu::DoRButtonDown(TPoint mouse) {
  if (rightClickScrap_) MarkForDeletion();
  TNovaControl::DoRButtonDown(mouse);
}

void TNovaPrevMenu::FireKeyEvent(int code, const std::vector<int>& keys) {
  if (code == PR_ONKEYREPEAT && !paused_ && Scene()) {
    std::vector<int> shown;
    for (int i = 0; i < ButtonCount(); ++i)
      if (TNovaPrevImages* image = ButtonImage(i); image && image->Visible()) shown.push_back(i);
    const auto at = std::find(shown.begin(), shown.end(), hovered_);
    const TInputState& in = Scene()->Input();
    if (!shown.empty() && HasKey(keys, kKeyLeft, kKeyUp)) {
      ChangeHover(at == shown.end() || at == shown.begin() ? shown.back() : *(at - 1));
    } else if (!shown.empty() && HasKey(keys, kKeyRight, kKeyDown)) {
      ChangeHover(at == shown.end() || at + 1 == shown.end() ? shown.front() : *(at + 1));
    } else if ((in.IsKeyPressedThisFrame(kKeySpace) || in.IsKeyPressedThisFrame(kKeyEnter)) && Valid(hovered_) &&
               buttons_[static_cast<size_t>(hovered_)].Enabled && !IsEventBlocked()) {
      Select();
    }
  }
  TNovaControl::FireKeyEvent(code, keys);
}

// ---- properties ----

bool TNovaPrevMenu::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(source_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_COUNT: v = TPropValue::OfInt(ButtonCount()); return true;
    case PR_TEXT: {
      std::string text;
      for (size_t i = 0; i < buttons_.size(); ++i) text += (i ? "\r\n" : "") + buttons_[i].Data.Name;
      v = TPropValue::OfStr(text);
      return true;
    }
    case PR_AUTOSCRAP: v = TPropValue::OfFlag(autoScrap_); return true;
    case PR_RCLICKSCRAP: v = TPropValue::OfFlag(rightClickScrap_); return true;
    case PR_ONSELECT: v = TPropValue::OfStr(onSelect_); return true;
    case PR_ONPLAYEND: v = TPropValue::OfStr(onPlayEnd_); return true;
    case PR_ONMAPIN: v = TPropValue::OfStr(onMapIn_); return true;
    case PR_ONMAPOUT: v = TPropValue::OfStr(onMapOut_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaPrevMenu::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_PAUSED: paused_ = v.Flag; return true;
    case PR_COUNT:
    case PR_TEXT: return true;  // read only
    case PR_AUTOSCRAP: autoScrap_ = v.Flag; return true;
    case PR_RCLICKSCRAP: rightClickScrap_ = v.Flag; return true;
    case PR_ONSELECT: onSelect_ = v.Str; return true;
    case PR_ONPLAYEND: onPlayEnd_ = v.Str; return true;
    case PR_ONMAPIN: onMapIn_ = v.Str; return true;
    case PR_ONMAPOUT: onMapOut_ = v.Str; return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    default: return TNovaControl::SetProperty(id, v);
  }
}

// ---- saved form ----

void TNovaPrevMenu::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  s.WriteString(source_);
  s.WriteByte(autoScrap_);
  s.WriteByte(rightClickScrap_);
  s.WriteByte(paused_);
  for (const std::string* e : {&onMapIn_, &onMapOut_, &onIdle_, &onSelect_, &onPlayEnd_}) s.WriteString(*e);
  for (bool TButton::*flag : {&TButton::Enabled, &TButton::Visible, &TButton::Flag}) {
    s.WriteInt32(ButtonCount());
    for (const TButton& b : buttons_) s.WriteByte(b.*flag ? 1 : 0);
  }
}

void TNovaPrevMenu::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  const std::string source = s.ReadString();
  autoScrap_ = s.ReadByte() != 0;
  rightClickScrap_ = s.ReadByte() != 0;
  paused_ = s.ReadByte() != 0;
  for (std::string* e : {&onMapIn_, &onMapOut_, &onIdle_, &onSelect_, &onPlayEnd_}) *e = s.ReadString();
  auto readFlags = [&]() {
    const int32_t n = s.ReadInt32();
    if (n < 0 || n > s.Remaining()) RaiseError("preview menu: bad flag count");
    const std::string bytes = s.ReadBytes(n);
    std::vector<bool> flags;
    for (char c : bytes) flags.push_back(c != 0);
    return flags;
  };
  std::vector<bool> enabled, visible, checked;
  if (version > 126) enabled = readFlags();
  if (version > 131) visible = readFlags();
  if (version > 135) checked = readFlags();
  // A menu file that can no longer be read leaves the menu without buttons.
  source_.clear();
  LoadQuietly([&] { SetSource(source); });
  for (size_t i = 0; i < enabled.size() && static_cast<int>(i) < ButtonCount(); ++i)
    SetItemEnabled(static_cast<int>(i), enabled[i]);
  for (size_t i = 0; i < visible.size() && static_cast<int>(i) < ButtonCount(); ++i)
    SetItemVisible(static_cast<int>(i), visible[i]);
  for (size_t i = 0; i < checked.size() && static_cast<int>(i) < ButtonCount(); ++i)
    SetItemCheck(static_cast<int>(i), checked[i]);
}

}  // namespace nova
