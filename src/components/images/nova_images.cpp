#include "components/images/nova_images.h"

#include <cmath>
#include <exception>

#include "formats/image_open.h"
#include "params/param.h"
#include "params/parser.h"

namespace nova {

namespace {

constexpr double kMotionFrameMs = 16.666666666666668;  // motions count 60 frames per second
// A bound on the frames one update may pass (an expression may give huge negative waits).
constexpr int kMaxStepsPerUpdate = 100000;

}  // namespace

// ---- TNovaCustomImages ----

TNovaCustomImages::TNovaCustomImages(TNovaBaseList* scene, TComponentServices& services)
    : TNovaCustomImage(scene, services) {}

TNovaCustomImages::~TNovaCustomImages() = default;

int32_t TNovaCustomImages::Index() const {
  if (TImageMotion* motion = CurrentMotion()) return motion->CurrentFrame();
  return index_;
}

int32_t TNovaCustomImages::FrameCount() const {
  if (TImageMotion* motion = CurrentMotion()) return motion->FrameCount();
  return CurrentList()->Count();
}

void TNovaCustomImages::TakeExpression(int property, std::shared_ptr<TNovaParser> expression) {
  if (property == PR_DELAY) lastFrameWait_ = std::move(expression);
}

void TNovaCustomImages::SetIndex(int32_t i) {
  if (TImageMotion* motion = CurrentMotion()) {
    motion->SetElapsed(static_cast<int32_t>(std::lround(i * kMotionFrameMs)));
    return;
  }
  if (i == index_) return;
  TNovaImageList* list = CurrentList();
  const int32_t count = list->Count();
  if (index_ < 0 || index_ >= count) frameCountdown_ = 0;
  else Invalidate();
  index_ = i;
  playEndPosted_ = false;
  if (i < 0 || i >= count) return;
  TNovaImageData& data = list->Data(i);
  surface_ = data.Prepare(brightness_);
  mask_ = data.Mask();
  frameCountdown_ += data.Duration();
  if (i == count - 1 && count > 1 && lastFrameWait_ && !restoring_ && services_.Store && services_.Funcs) {
    lastFrameWait_->Execute(*services_.Store, *services_.Funcs);
    if (lastFrameWait_->Result) frameCountdown_ += lastFrameWait_->Result->GetAsInt();
  }
  RecomputeSize();
  // A new frame of the same size must be shown too.
  Invalidate();
}

void TNovaCustomImages::SetBrightness(int32_t brightness) {
  if (brightness == brightness_) return;
  brightness_ = brightness;
  TNovaImageList* list = CurrentList();
  if (index_ < 0 || index_ >= list->Count() || HasMotion()) return;
  surface_ = list->Data(index_).Prepare(brightness_);
  Invalidate();
}

void TNovaCustomImages::DropPicture() {
  Invalidate();
  index_ = -1;
  surface_ = nullptr;
  mask_ = nullptr;
}

bool TNovaCustomImages::CanAnimate() const {
  const int32_t count = CurrentList()->Count();
  return index_ >= 0 && index_ < count && Visible() && !paused_ && !aniPaused_;
}

TNovaCustomImages::TStep TNovaCustomImages::AdvanceFrames(uint32_t elapsedMs, bool repeat) {
  TStep result = TStep::Running;
  if (frameCountdown_ > 0) frameCountdown_ -= static_cast<int32_t>(elapsedMs);
  for (int steps = 0; frameCountdown_ < 1; ++steps) {
    TNovaImageList* list = CurrentList();
    const int32_t count = list->Count();
    if (index_ < 0 || index_ >= count) break;
    if (steps >= kMaxStepsPerUpdate) {
      frameCountdown_ = 1;
      break;
    }
    if (index_ < count - 1) {
      // Short animations show every frame its full time; longer ones carry the overshoot.
      if (count <= 2) frameCountdown_ = 0;
      SetIndex(index_ + 1);
    } else if (repeat) {
      result = TStep::Wrapped;
      frameCountdown_ = 0;
      if (count == 1) {
        // A single frame starts its time again.
        frameCountdown_ = list->Data(0).Duration();
        break;
      }
      SetIndex(0);
    } else {
      return TStep::AtEnd;
    }
  }
  return result;
}

bool TNovaCustomImages::Playing() const {
  if (paused_ || aniPaused_) return false;
  if (TImageMotion* motion = CurrentMotion()) return !motion->Finished();
  const int32_t count = CurrentList()->Count();
  if (index_ < 0 || index_ >= count) return false;
  return Repeat() || index_ < count - 1 || frameCountdown_ >= 1;
}

void TNovaCustomImages::RestoreLoadedIndex() {
  restoring_ = true;
  SetIndex(loadedIndex_);
  restoring_ = false;
  if (HasMotion()) return;
  frameCountdown_ = loadedCountdown_;
  // An animation saved after its end does not announce the end again.
  const int32_t count = CurrentList()->Count();
  playEndPosted_ = count > 0 && index_ == count - 1 && frameCountdown_ < 1;
}

bool TNovaCustomImages::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_INDEX: v = TPropValue::OfInt(Index()); return true;
    case PR_COUNT: v = TPropValue::OfInt(FrameCount()); return true;
    case PR_BRIGHTNESS: v = TPropValue::OfInt(brightness_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_PLAYING: v = TPropValue::OfFlag(Playing()); return true;
    default: return TNovaCustomImage::GetProperty(id, v);
  }
}

bool TNovaCustomImages::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_INDEX: SetIndex(v.Int); return true;
    case PR_COUNT: return true;  // read-only
    case PR_BRIGHTNESS: SetBrightness(v.Int); return true;
    case PR_PAUSED: SetPaused(v.Flag); return true;
    default: return TNovaCustomImage::SetProperty(id, v);
  }
}

void TNovaCustomImages::SaveToStream(TStream& s) {
  TNovaCustomImage::SaveToStream(s);
  s.WriteInt32(frameCountdown_);
  s.WriteInt32(Index());
  s.WriteInt32(brightness_);
  s.WriteByte(paused_);
  if (lastFrameWait_) lastFrameWait_->SaveToStream(s);
  else TNovaParser().SaveToStream(s);
}

void TNovaCustomImages::LoadFromStream(TStream& s, int32_t version) {
  TNovaCustomImage::LoadFromStream(s, version);
  loadedCountdown_ = s.ReadInt32();
  loadedIndex_ = s.ReadInt32();
  brightness_ = s.ReadInt32();
  paused_ = s.ReadByte() != 0;
  auto expression = std::make_shared<TNovaParser>();
  expression->LoadFromStream(s);
  lastFrameWait_ = expression->Empty() ? nullptr : std::move(expression);
}

// ---- TNovaImages ----

void LoadImageState(TImageState& st, const std::string& name, TComponentServices& services, TNovaControl& control) {
  st.List.Clear();
  st.Motion.reset();
  const std::string ext = LowerExtension(name);
  if (ext == ".bri") {
    st.List.Load(name, false, false);
  } else if (ext == ".nmt" && services.MakeMotion) {
    // Motions are played by the motion layer; the first step places the object, then it
    // starts from the beginning.
    st.Motion = services.MakeMotion(control, name);
    if (st.Motion) {
      st.Motion->Step(0);
      st.Motion->Rewind();
    }
  }
}

TNovaImages::TNovaImages(TNovaBaseList* scene, TComponentServices& services, int stateCount)
    : TNovaCustomImages(scene, services) {
  for (int i = 0; i < stateCount; ++i) states_.push_back(std::make_unique<TImageState>(services.Images));
}

TNovaImages::~TNovaImages() = default;

void TNovaImages::SetSource(const std::string& name) { LoadStateSource(0, name); }

void TNovaImages::LoadStateSource(int state, const std::string& name) {
  TImageState& st = *states_[static_cast<size_t>(state)];
  if (name == st.Source) return;
  st.Source = name;
  const bool displayed = state == DisplayedState();
  if (displayed) DropPicture();
  std::exception_ptr error;
  try {
    LoadImageState(st, name, services_, *this);
  } catch (const std::exception&) {
    error = std::current_exception();
  }
  if (displayed) {
    if (st.List.Count() > 0) SetIndex(0);
    else RecomputeSize();
  }
  if (error) std::rethrow_exception(error);
}

void TNovaImages::LoadStateSourceQuietly(int state, const std::string& name) {
  try {
    LoadStateSource(state, name);
  } catch (const std::exception&) {
  }
}

void TNovaImages::SetRepeat(bool on) {
  repeat_ = on;
  if (!on) return;
  if (TImageMotion* motion = CurrentMotion()) {
    if (motion->Finished()) motion->Rewind();
  } else if (index_ < 0 || index_ >= CurrentList()->Count()) {
    SetIndex(0);
  }
}

bool TNovaImages::StepMotion(uint32_t elapsedMs) {
  TImageMotion* motion = CurrentMotion();
  return motion && motion->Step(elapsedMs);
}

bool TNovaImages::Update(uint32_t elapsedMs) {
  if (TNovaCustomImage::Update(elapsedMs)) return true;
  if (HasMotion()) {
    if (StepMotion(elapsedMs)) {
      if (autoScrap_) return true;
      PostEventIfFree(PR_ONPLAYEND);
    }
    return false;
  }
  if (!CanAnimate()) return false;
  if (AdvanceFrames(elapsedMs, repeat_) == TStep::AtEnd) {
    if (autoScrap_) return true;
    if (!playEndPosted_) {
      playEndPosted_ = true;
      PostEventIfFree(PR_ONPLAYEND);
    }
  }
  return false;
}

bool TNovaImages::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(Source()); return true;
    case PR_REPEAT: v = TPropValue::OfFlag(repeat_); return true;
    case PR_AUTOSCRAP: v = TPropValue::OfFlag(autoScrap_); return true;
    case PR_ONPLAYEND: v = TPropValue::OfStr(onPlayEnd_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    default: return TNovaCustomImages::GetProperty(id, v);
  }
}

bool TNovaImages::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_REPEAT: SetRepeat(v.Flag); return true;
    case PR_AUTOSCRAP: autoScrap_ = v.Flag; return true;
    case PR_ONPLAYEND: onPlayEnd_ = v.Str; return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    default: return TNovaCustomImages::SetProperty(id, v);
  }
}

void TNovaImages::SaveToStream(TStream& s) {
  TNovaCustomImages::SaveToStream(s);
  s.WriteByte(repeat_);
  s.WriteByte(autoScrap_);
  s.WriteString(Source());
  s.WriteString(onPlayEnd_);
  s.WriteString(onIdle_);
}

void TNovaImages::LoadFromStream(TStream& s, int32_t version) {
  TNovaCustomImages::LoadFromStream(s, version);
  repeat_ = s.ReadByte() != 0;
  autoScrap_ = s.ReadByte() != 0;
  const std::string source = s.ReadString();
  onPlayEnd_ = s.ReadString();
  if (version > 103) onIdle_ = s.ReadString();
  LoadStateSourceQuietly(0, source);
  RestoreLoadedIndex();
}

}  // namespace nova
