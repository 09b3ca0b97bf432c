#include "objects/scene.h"

#include <algorithm>
#include <unordered_set>

#include "base/error.h"

namespace nova {

namespace {

// "name_N" with N > 1 continues counting from N; any other name starts at "name_2".
void SplitNumberedName(const std::string& name, std::string& base, int64_t& counter) {
  base = name;
  counter = 2;
  const size_t pos = name.rfind('_');
  if (pos == std::string::npos || pos < 1 || pos + 1 >= name.size() || name.size() - pos - 1 > 9) return;
  int64_t n = 0;
  for (size_t i = pos + 1; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return;
    n = n * 10 + (name[i] - '0');
  }
  if (n <= 1) return;
  base = name.substr(0, pos);
  counter = n;
}

}  // namespace

TNovaBaseList::TNovaBaseList() : TNovaComponent(nullptr) { MakeScreens(); }

TNovaBaseList::~TNovaBaseList() { FreeAll(); }

void TNovaBaseList::MakeScreens() {
  for (int i = 0; i < 2; ++i) {
    if (screens_[i]) live_.erase(screens_[i].get());
    screens_[i] = std::make_unique<TNovaBase>(this, i);
    screens_[i]->serial_ = nextSerial_++;
    live_.insert(screens_[i].get());
    screens_[i]->ResizeSurfaces(width_, height_, bits_);
  }
}

void TNovaBaseList::SetSize(int32_t width, int32_t height) {
  // A transition keeps its surfaces' size while it lives.
  transition_.reset();
  width_ = width;
  height_ = height;
  for (auto& screen : screens_) screen->ResizeSurfaces(width_, height_, bits_);
}

void TNovaBaseList::SetBitCount(int bits) {
  if (bits == bits_) return;
  transition_.reset();
  bits_ = bits;
  for (auto& screen : screens_) screen->ResizeSurfaces(width_, height_, bits_);
}

void TNovaBaseList::SetBackSurface(TCustomDIBX* back) {
  if (back != back_) transition_.reset();
  back_ = back;
}

// ---- registry ----

TNovaObject* TNovaBaseList::AddObject(std::unique_ptr<TNovaObject> object) {
  TNovaObject* raw = object.get();
  raw->scene_ = this;
  raw->serial_ = nextSerial_++;
  if (raw->WantsAutoName()) raw->name_ = MakeUniqueName("object");
  registry_.push_back(std::move(object));
  live_.insert(raw);
  return raw;
}

bool TNovaBaseList::IsRegistered(const TNovaObject* object) const { return object && live_.count(object) != 0; }

TNovaObject* TNovaBaseList::Resolve(const TObjectRef& ref) const {
  if (!ref.Object || !IsRegistered(ref.Object) || ref.Object->Serial() != ref.Serial) return nullptr;
  return ref.Object;
}

std::string TNovaBaseList::SenderName(const TEventSender& sender) const {
  const TNovaObject* object = Resolve(sender.Ref);
  return object ? object->Name() : std::string();
}

TEventSender TNovaBaseList::FindSender(const std::string& name) const {
  return name.empty() ? TEventSender() : TEventSender(FindObject(name));
}

TNovaControl* TNovaBaseList::ResolveControl(const TObjectRef& ref) const {
  TNovaObject* object = Resolve(ref);
  return object && object->IsControl() ? static_cast<TNovaControl*>(object) : nullptr;
}

void TNovaBaseList::FreeObject(TNovaObject* object) {
  if (!object || !IsRegistered(object) || object == screens_[0].get() || object == screens_[1].get()) return;
  if (object->IsControl()) {
    auto* control = static_cast<TNovaControl*>(object);
    while (!control->children_.empty()) FreeObject(control->children_.back());
    // Its picture leaves the screen.
    control->Invalidate();
    if (TNovaControl* parent = control->parent_) {
      auto& siblings = parent->children_;
      siblings.erase(std::remove(siblings.begin(), siblings.end(), control), siblings.end());
      control->parent_ = nullptr;
    }
    RemoveRightClickControl(control);
  }
  if (focus_.Object == object) {
    focus_ = TObjectRef();
    keyTargetRequested_ = true;
  }
  deletions_.erase(std::remove(deletions_.begin(), deletions_.end(), object), deletions_.end());
  live_.erase(object);
  auto it = std::find_if(registry_.begin(), registry_.end(), [&](const auto& o) { return o.get() == object; });
  if (it == registry_.end()) return;
  const size_t index = static_cast<size_t>(it - registry_.begin());
  std::unique_ptr<TNovaObject> gone = std::move(*it);
  registry_.erase(it);
  // The update walk keeps its place when an object before it goes.
  if (index < updateIndex_) --updateIndex_;
  gone.reset();
}

void TNovaBaseList::MarkForDeletion(TNovaObject* object) {
  if (!IsRegistered(object) || IsPendingDeletion(object)) return;
  deletions_.push_back(object);
}

bool TNovaBaseList::IsPendingDeletion(const TNovaObject* object) const {
  return std::find(deletions_.begin(), deletions_.end(), object) != deletions_.end();
}

TNovaObject* TNovaBaseList::FindObject(const std::string& name) const {
  if (name.empty() || name == "\x01" "BASE0") return &Displayed();
  if (name == "\x01" || name == "\x01" "BASE1") return &BackScreen();
  for (const auto& o : registry_)
    if (o->Name() == name) return o.get();
  return nullptr;
}

TNovaControl* TNovaBaseList::FindControl(const std::string& name) const {
  if (name.empty()) return &Displayed();
  if (name == "\x01") return &BackScreen();
  if (name == "\x01" "BASE0") return &GetScreen(0);
  if (name == "\x01" "BASE1") return &GetScreen(1);
  for (const auto& o : registry_)
    if (o->IsControl() && o->Name() == name) return static_cast<TNovaControl*>(o.get());
  return nullptr;
}

std::string TNovaBaseList::MakeUniqueName(const std::string& prefix) const {
  std::unordered_set<std::string> taken;
  for (const auto& o : registry_) taken.insert(o->Name());
  for (int64_t n = 0;; ++n) {
    std::string name = prefix + std::to_string(n);
    if (!taken.count(name)) return name;
  }
}

int TNovaBaseList::ListObjects(std::vector<std::string>& out, int typeCode, const TNovaObject* parent) {
  int count = 0;
  const bool byParent = parent && parent != this;
  for (const auto& o : registry_) {
    if (typeCode >= 0 && o->TypeCode() != typeCode) continue;
    if (byParent && !(o->IsControl() && static_cast<TNovaControl*>(o.get())->Parent() == parent)) continue;
    out.push_back(o->Name());
    ++count;
  }
  return count;
}

TNovaObject* TNovaBaseList::CreateObject(int typeCode) {
  if (!factory_) return nullptr;
  std::unique_ptr<TNovaObject> object = factory_->Create(typeCode, *this);
  return object ? AddObject(std::move(object)) : nullptr;
}

void TNovaBaseList::FreeAll() {
  transition_.reset();
  events_.Clear();
  focus_ = TObjectRef();
  deletions_.clear();
  // Children go with their parents; what remains are roots and components.
  while (!registry_.empty()) FreeObject(registry_.back().get());
  rightClick_.clear();
  events_.Clear();
}

void TNovaBaseList::Clear() {
  FreeAll();
  keyTargetRequested_ = false;
  for (TScreenMouseState& m : input_.Screens) m.Moved = false;
  MakeScreens();
}

void TNovaBaseList::Rename(TNovaObject& object, const std::string& name) {
  if (name == object.name_ || &object == screens_[0].get() || &object == screens_[1].get()) return;
  TNovaObject* other = nullptr;
  if (!name.empty())
    for (const auto& o : registry_)
      if (o.get() != &object && o->Name() == name) {
        other = o.get();
        break;
      }
  if (other) {
    if (object.IsControl()) {
      std::string base;
      int64_t counter;
      SplitNumberedName(other->Name(), base, counter);
      std::unordered_set<std::string> taken;
      for (const auto& o : registry_) taken.insert(o->Name());
      std::string fresh;
      for (;; ++counter) {
        fresh = base + "_" + std::to_string(counter);
        if (!taken.count(fresh)) break;
      }
      other->name_ = fresh;
    } else {
      // The old holder goes at the end of the frame; its waiting events would otherwise run for
      // the new holder of the name.
      events_.RemoveSenderPending(other);
      MarkForDeletion(other);
      other->name_.clear();
    }
  }
  object.name_ = name;
}

// ---- focus ----

TNovaControl* TNovaBaseList::Focus() const { return ResolveControl(focus_); }

void TNovaBaseList::SetFocus(TNovaControl* target) {
  TNovaControl* old = Focus();
  if (target == old) return;
  if (old && !old->Name().empty()) old->PostEventIfFree(PR_ONFOCUSOUT, {}, false);
  focus_ = TObjectRef(target);
  if (target) target->PostEventIfFree(PR_ONFOCUSIN, {}, false);
  keyTargetRequested_ = false;
  if (target) target->FocusEntered();
}

void TNovaBaseList::AddRightClickControl(TNovaControl* control) {
  if (std::find(rightClick_.begin(), rightClick_.end(), control) == rightClick_.end()) rightClick_.push_back(control);
}

void TNovaBaseList::RemoveRightClickControl(TNovaControl* control) {
  rightClick_.erase(std::remove(rightClick_.begin(), rightClick_.end(), control), rightClick_.end());
}

// ---- the frame ----

void TNovaBaseList::ProcessInput(uint32_t elapsedMs) {
  if (keyTargetRequested_) {
    SetFocus(Displayed().FindKeyTarget());
    keyTargetRequested_ = false;
  }
  input_.Displayed = displayed_;
  input_.BeginFrame();
  DispatchMouse(Displayed());
  FireKeys();
  input_.ClearKeyEvents();
  input_.AdvanceRepeats(elapsedMs);
}

void TNovaBaseList::FireKeys() {
  TNovaControl* focus = Focus();
  if (!focus || !focus->HandleKey()) return;
  if (!input_.DownKeys().empty()) focus->FireKeyEvent(PR_ONKEYDOWN, input_.DownKeys());
  if (!input_.RepeatKeys().empty()) focus->FireKeyEvent(PR_ONKEYREPEAT, input_.RepeatKeys());
  if (!input_.UpKeys().empty()) focus->FireKeyEvent(PR_ONKEYUP, input_.UpKeys());
}

void TNovaBaseList::ShowCursor(const std::string& file, TNovaBase& screen) {
  if (file == screen.LoadedCursor) return;
  screen.LoadedCursor = file;
  if (cursorListener_) cursorListener_(file);
}

void TNovaBaseList::DispatchMouse(TNovaBase& screen) {
  TScreenMouseState& m = screen.Mouse();
  const TPoint at{m.X, m.Y};

  // Menus and map images close on a right click; the first that closes takes the click.
  if (m.RightPressedThisFrame) {
    std::vector<TObjectRef> closers;
    for (TNovaControl* c : rightClick_) closers.emplace_back(c);
    for (const TObjectRef& ref : closers) {
      TNovaControl* c = ResolveControl(ref);
      if (!c || !c->RightClickScrapFlag() || !c->Visible() || c->Screen() != &screen || c->Paused()) continue;
      if (c->IgnoreMouse() != IM_NONE && c->IgnoreMouse() != IM_LCLICK) continue;
      if (c->RightClickScrap()) {
        m.RightPressedThisFrame = false;
        break;
      }
    }
  }

  // A pressed object keeps the mouse until its button is released: no hit test, no hover change.
  if (screen.CaptureSet != 0) {
    if (TNovaControl* held = ResolveControl(screen.HoveredObject)) {
      const TObjectRef heldRef = screen.HoveredObject;
      if (screen.CaptureSet & 4) {
        if (!m.LeftHeld) {
          held->DoLButtonUp(at);
          screen.CaptureSet &= static_cast<uint8_t>(~4);
        }
      } else if ((screen.CaptureSet & 8) && !m.RightHeld) {
        held->DoRButtonUp(at);
        screen.CaptureSet &= static_cast<uint8_t>(~8);
      }
      if (m.Moved)
        if (TNovaControl* c = ResolveControl(heldRef)) c->DoMouseMove(at);
      if (TNovaControl* c = ResolveControl(heldRef)) c->DoCaptureTick();
      m.Moved = false;
      return;
    }
  }

  const TMouseModes modes =
      m.LeftPressedThisFrame ? kLeftPressModes : (m.RightPressedThisFrame ? kRightPressModes : kGeneralModes);
  TNovaControl* hit = screen.HitTest(at, modes);
  screen.CaptureSet = 0;
  const TObjectRef hitRef(hit);

  if (hit) {
    std::string cursor = hit->EffectiveCursor();
    if (cursor.empty() && DefaultCursor) cursor = DefaultCursor();
    ShowCursor(cursor, screen);
    if (m.LeftPressedThisFrame) {
      hit->DoLButtonDown(at);
      TNovaControl* again = ResolveControl(hitRef);
      if (again && !again->Paused() && again->HandleKey()) SetFocus(again);
    } else if (m.RightPressedThisFrame) {
      hit->DoRButtonDown(at);
    } else if (m.WheelDownThisFrame) {
      hit->DoWheel(true);
    } else if (m.WheelUpThisFrame) {
      hit->DoWheel(false);
    }
    hit = ResolveControl(hitRef);
  }

  TNovaControl* previous = ResolveControl(screen.HoveredObject);
  if (previous && previous != hit) {
    previous->DoMouseOut();
    hit = ResolveControl(hitRef);
  }
  if (hit && (m.Moved || previous != hit)) {
    if (previous != hit) {
      hit->DoMouseIn();
      hit = ResolveControl(hitRef);
    }
    if (hit) hit->DoMouseMove(at);
  }
  screen.HoveredObject = TObjectRef(ResolveControl(hitRef));
  m.Moved = false;
}

void TNovaBaseList::UpdateScene(uint32_t elapsedMs) {
  for (auto& screen : screens_) screen->Update(elapsedMs);
  updateIndex_ = 0;
  while (updateIndex_ < registry_.size()) {
    TNovaObject* object = registry_[updateIndex_].get();
    const bool inCabinet = object->InCabinet();
    if (!inCabinet && events_.FindPendingEvent(object, PR_ONIDLE) < 0) object->PostEventIfFree(PR_ONIDLE);
    if (!object->Paused() && !IsPendingDeletion(object) && !inCabinet && object->Update(elapsedMs)) {
      FreeObject(object);
      continue;
    }
    // An object that freed itself during its update has already left its place.
    if (updateIndex_ < registry_.size() && registry_[updateIndex_].get() == object) ++updateIndex_;
  }
  std::vector<TNovaObject*> doomed;
  doomed.swap(deletions_);
  for (TNovaObject* object : doomed)
    if (IsRegistered(object)) FreeObject(object);
}

void TNovaBaseList::PaintScene() {
  transitionRect_ = TRect{};
  for (auto& screen : screens_) screen->PaintDirty();
  if (transition_) {
    transition_->Step();
    transitionRect_ = transition_->UpdateRect();
  }
}

void TNovaBaseList::ClearDirty() {
  for (auto& screen : screens_) screen->DirtyList().Clear();
}

TCustomWipe* TNovaBaseList::StartTransition(int newDisplayed, int32_t kind, bool reverse, int32_t duration) {
  newDisplayed &= 1;
  const bool changes = newDisplayed != displayed_;
  const bool wasRunning = transition_ != nullptr;
  transition_.reset();
  displayed_ = newDisplayed;
  input_.Displayed = displayed_;
  TNovaBase& shown = Displayed();
  TNovaBase& other = BackScreen();
  // The transition composes the back surface from the two screens' own surfaces, which must
  // match it.
  const bool composable = back_ && !back_->IsEmpty() && !shown.Surface().IsEmpty() &&
                          back_->GetWidth() == width_ && back_->GetHeight() == height_ &&
                          back_->GetBitCount() == shown.Surface().GetBitCount() &&
                          shown.Surface().GetWidth() == width_ && shown.Surface().GetHeight() == height_;
  if (composable && kind != WP_NONE) {
    // The displayed screen keeps the picture last shown, which the transition starts from. It
    // is copied first: some transitions (the blurs) work on their pictures as they are made.
    shown.Surface().ResetClip();
    back_->ResetClip();
    shown.Surface().Assign(back_);
    transition_ = CreateWipe(kind, back_, &shown.Surface(), &other.Surface(), wipeContext_);
    if (transition_) {
      ++transitionSerial_;
      transition_->SetReverse(reverse ? 1 : 0);
      transition_->SetDuration(duration);
    }
  }
  if (changes || wasRunning || transition_) {
    for (auto& screen : screens_) screen->AddDirtyRect(TRect{0, 0, width_, height_});
  }
  if (changes) {
    TNovaControl* focus = Focus();
    if (focus && focus->Screen() != &Displayed()) {
      SetFocus(nullptr);
      keyTargetRequested_ = true;
    }
  }
  return transition_.get();
}

// ---- properties ----

bool TNovaBaseList::GetProperty(int id, TPropValue& value) {
  switch (id) {
    case PR_WIDTH: value = TPropValue::OfInt(width_); return true;
    case PR_HEIGHT: value = TPropValue::OfInt(height_); return true;
    default: return false;
  }
}

bool TNovaBaseList::SetProperty(int id, const TPropValue&) { return id == PR_COLOR; }

// ---- saved form ----

void TNovaBaseList::SaveScene(TStream& s) {
  s.WriteInt32(width_);
  s.WriteInt32(height_);
  s.WriteInt32(displayed_);
  screens_[0]->SaveToStream(s);
  screens_[1]->SaveToStream(s);
  std::vector<TNovaObject*> components;
  for (const auto& o : registry_)
    if (!o->IsControl() && !IsPendingDeletion(o.get()) && o->TypeCode() != LT_NONE && !o->HasSystemName())
      components.push_back(o.get());
  s.WriteInt32(static_cast<int32_t>(components.size()));
  for (TNovaObject* o : components) {
    s.WriteByte(o->TypeCode());
    o->SaveToStream(s);
  }
  s.WriteInt32(events_.Count());
  for (int i = 0; i < events_.Count(); ++i) {
    const TEventEntry& e = events_.Entry(i);
    s.WriteString(e.PageRef);
    s.WriteString(SenderName(e.Sender));
    s.WriteByte(e.EventCode);
    s.WriteInt32(e.Level);
    s.WriteInt32(static_cast<int32_t>(e.Args.size()));
    for (const std::string& a : e.Args) s.WriteString(a);
  }
  TNovaControl* focus = Focus();
  s.WriteString(focus ? focus->Name() : std::string());
}

void TNovaBaseList::LoadScene(TStream& s, int32_t version) {
  Clear();
  s.ClearReadPastEnd();
  SetSize(8, 8);
  const int32_t width = s.ReadInt32(), height = s.ReadInt32();
  if (width < 1 || height < 1 || width > kMaxScreenSide || height > kMaxScreenSide)
    RaiseError(Format("scene: bad screen size %dx%d", width, height));
  SetSize(width, height);
  displayed_ = s.ReadInt32() & 1;
  input_.Displayed = displayed_;
  screens_[0]->LoadFromStream(s, version);
  screens_[1]->LoadFromStream(s, version);
  for (auto& screen : screens_) screen->AddDirtyRect(TRect{0, 0, width_, height_});
  const int32_t components = s.ReadInt32();
  if (components < 0 || components > s.Remaining() / 5) RaiseError("scene: bad component count");
  for (int32_t i = 0; i < components; ++i) {
    const uint8_t type = s.ReadByte();
    TNovaObject* object = CreateObject(type);
    if (!object || object->IsControl()) {
      FreeObject(object);
      RaiseError(Format("scene: no component of type %d", type));
    }
    object->LoadFromStream(s, version);
  }
  const int32_t eventCount = s.ReadInt32();
  if (eventCount < 0 || eventCount > s.Remaining() / 10) RaiseError("scene: bad event count");
  for (int32_t i = 0; i < eventCount; ++i) {
    std::string page = s.ReadString();
    std::string sender = s.ReadString();
    const uint8_t code = s.ReadByte();
    const int32_t level = version > 113 ? s.ReadInt32() : (s.ReadByte() != 0 ? 1 : 0);
    const int32_t argCount = s.ReadInt32();
    if (argCount < 0 || argCount > s.Remaining() / 4) RaiseError("scene: bad event arguments");
    std::vector<std::string> args;
    args.reserve(static_cast<size_t>(argCount));
    for (int32_t a = 0; a < argCount; ++a) args.push_back(s.ReadString());
    events_.PostEvent(FindSender(sender), page, std::move(args), code);
    events_.Entry(events_.Count() - 1).Level = level;
  }
  if (version > 118) {
    const std::string focusName = s.ReadString();
    if (!focusName.empty())
      if (TNovaControl* focus = FindControl(focusName)) {
        focus_ = TObjectRef(focus);
        focus->FocusEntered();
        keyTargetRequested_ = false;
      }
  }
  if (s.ReadPastEnd()) RaiseError("scene: the saved data ends early");
}

}  // namespace nova
