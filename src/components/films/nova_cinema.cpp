#include "components/films/nova_cinema.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "base/error.h"
#include "components/films/film_manager.h"
#include "objects/scene.h"
#include "render/dibx.h"

namespace nova {

namespace {

// The private scene holds four surfaces of the cinema's size and the cinema one more: a side
// beyond a screen's or more pixels than a picture may hold (16 Mi) gives no surfaces at all.
constexpr int64_t kMaxPrivatePixels = int64_t{1} << 24;

bool PrivateSizeFits(int64_t width, int64_t height) {
  return width >= 1 && height >= 1 && width <= kMaxScreenSide && height <= kMaxScreenSide &&
         width * height <= kMaxPrivatePixels;
}

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Milliseconds -> frame, rounded to the nearest (halves to even, as the frame clock's owner did).
int32_t CinemaFrameAt(int32_t elapsedMs) {
  return ClampToInt32(static_cast<int64_t>(
      std::nearbyint(static_cast<double>(elapsedMs) / (1000.0 / TNovaCinema::kFrameRate))));
}

// Frame -> milliseconds, rounded.
int32_t MsAt(int64_t frame) {
  return ClampToInt32(static_cast<int64_t>(std::nearbyint(static_cast<double>(frame) * 1000.0 /
                                                          TNovaCinema::kFrameRate)));
}

// "novaplayer: NAME: REASON" (the film reader's messages name the film already).
void Report(const std::string& name, const std::string& why) {
  const std::string line = why.compare(0, name.size() + 2, name + ": ") == 0 ? why : name + ": " + why;
  std::fprintf(stderr, "novaplayer: %s\n", SjisToUtf8(line).c_str());
}

}  // namespace

TNovaCinema::TNovaCinema(TNovaBaseList* scene, TComponentServices& services)
    : TNovaControl(scene), services_(services), private_(std::make_unique<TNovaBaseList>()),
      privateBack_(std::make_unique<TDIBX>()) {
  // The film's objects are made by the game's classes with the game's services; its
  // transitions take the game's defaults.
  if (scene) {
    private_->SetFactory(scene->Factory());
    private_->SetWipeContext(scene->WipeContext());
    private_->SetBitCount(scene->BitCount());
  }
  ResizePrivateScene();
}

TNovaCinema::~TNovaCinema() {
  Invalidate();
  // The film's tracks let go of their objects (in the private scene, or under this cinema in
  // the game scene) before the private scene goes.
  film_.reset();
  private_.reset();
}

int32_t TNovaCinema::CurrentFrame() const { return film_ ? film_->CurrentFrame() : 0; }
int32_t TNovaCinema::FrameCount() const { return film_ ? film_->FilmFrameCount() : 0; }

bool TNovaCinema::HasFile(const std::string& name) const {
  if (services_.CheckFile) return services_.CheckFile(name);
  return services_.Files && services_.Files->Exists(name);
}

// ---- size and surfaces ----

void TNovaCinema::ResizePrivateScene() {
  const int bits = Scene() ? Scene()->BitCount() : private_->BitCount();
  private_->SetBitCount(bits);
  if (PrivateSizeFits(width_, height_)) {
    if (private_->ScreenWidth() != width_ || private_->ScreenHeight() != height_) private_->SetSize(width_, height_);
    if (privateBack_->GetWidth() != width_ || privateBack_->GetHeight() != height_ || privateBack_->GetBitCount() != bits)
      privateBack_->SetSize(width_, height_, bits);
    private_->SetBackSurface(privateBack_.get());
  } else {
    // Nothing is shown through a cinema without a sensible size, and nothing is allocated for
    // it: the private scene keeps no area (its screens keep the surfaces they had).
    private_->SetBackSurface(nullptr);
    private_->SetSize(0, 0);
    privateBack_ = std::make_unique<TDIBX>();
  }
  ++changes_;
}

void TNovaCinema::SetWidth(int32_t v) {
  if (v == width_) return;
  TNovaControl::SetWidth(v);
  ResizePrivateScene();
}

void TNovaCinema::SetHeight(int32_t v) {
  if (v == height_) return;
  TNovaControl::SetHeight(v);
  ResizePrivateScene();
}

void TNovaCinema::SurfacesReallocated() {
  ResizePrivateScene();
  if (film_ && !paused_) film_->ShowFrame(film_->CurrentFrame());
  Invalidate();
}

// ---- the film ----

void TNovaCinema::SetSource(const std::string& name) {
  Invalidate();
  if (name == source_) return;
  source_ = name;
  film_.reset();
  sceneMode_ = false;
  if (!name.empty() && HasFile(name)) {
    film_ = std::make_unique<TFilmManager>(services_);
    film_->SetVolume(volume_);
    bool readable = true;
    try {
      film_->LoadFilm(name);
    } catch (const ENovaError& e) {
      // The film stays empty: the cinema ends at once, as with a file that is not a film.
      Report(name, e.Message());
      readable = false;
    }
    if (readable && (film_->NeedsOwnScene() || film_->BackColor() >= 0) &&
        !PrivateSizeFits(film_->SceneSize().X, film_->SceneSize().Y)) {
      Report(name, Format("the film's scene size %dx%d is beyond the limit of %d pixels a side and %lld pixels; "
                          "the film is not played",
                          film_->SceneSize().X, film_->SceneSize().Y, kMaxScreenSide,
                          static_cast<long long>(kMaxPrivatePixels)));
      readable = false;
    }
    if (!readable) {
      film_ = std::make_unique<TFilmManager>(services_);
      film_->SetVolume(volume_);
    }
    film_->SetSoundScene(Scene());
    if (readable && (film_->NeedsOwnScene() || film_->BackColor() >= 0)) {
      sceneMode_ = true;
      film_->SetScene(private_.get());
      film_->StartFilm();  // sizes and colours the private scene
      TNovaControl::SetWidth(private_->ScreenWidth());
      TNovaControl::SetHeight(private_->ScreenHeight());
      ResizePrivateScene();
    } else {
      film_->SetScene(Scene());
      film_->SetAnchor(this);
      if (readable) {
        SetWidth(film_->SceneSize().X);
        SetHeight(film_->SceneSize().Y);
      }
      film_->StartFilm();
    }
    TellFilmPaused();
  }
  private_->UpdateScene(0);
  Invalidate();
  elapsed_ = 0;
  ended_ = false;
  startup_ = 2;
  ++changes_;
}

void TNovaCinema::SetIndex(int32_t index) {
  elapsed_ = std::max(0, MsAt(index));
  ended_ = false;
  startup_ = 2;
}

void TNovaCinema::TellFilmPaused() {
  if (film_) film_->SetFilmPaused(paused_ || aniPaused_);
}

bool TNovaCinema::Update(uint32_t elapsedMs) {
  TNovaControl::Update(elapsedMs);
  if (Scene() && Scene()->BitCount() != private_->BitCount()) SurfacesReallocated();
  ++changes_;
  if (film_) film_->SetRunning(!aniPaused_ && !paused_);
  if (!paused_ && !ended_ && !aniPaused_ && startup_ < 1)
    elapsed_ = ClampToInt32(int64_t{elapsed_} + elapsedMs);
  if (film_) {
    const int32_t count = film_->FilmFrameCount();
    int32_t frame = CinemaFrameAt(elapsed_);
    if (frame >= count) {
      if (repeat_) {
        const int64_t looped = int64_t{frame} % std::max(count, 1) + film_->LoopStart();
        frame = static_cast<int32_t>(std::min<int64_t>(looped, int64_t{count} - 1));
        elapsed_ = std::max(0, MsAt(frame));
      } else {
        if (autoScrap_) return true;
        if (!ended_) PostEventIfFree(PR_ONPLAYEND);
        ended_ = true;
        frame = count - 1;
      }
    }
    frame = std::max(frame, 0);  // an empty film stays on frame 0
    if (startup_ == 2 || frame != film_->CurrentFrame()) film_->ShowFrame(frame);
  }
  if (startup_ > 0) --startup_;

  private_->UpdateScene(elapsedMs);
  if (sceneMode_) {
    if (private_->TransitionRunning()) {
      Invalidate();
    } else if (TNovaBase* screen = Screen()) {
      const TRect drawn = DrawnRect();
      for (const TRect& r : private_->Displayed().DirtyList())
        screen->AddDirtyRect(Intersect(r.Offset(drawn.Left, drawn.Top), drawn));
    }
  } else {
    private_->ClearDirty();  // nothing shows the private scene of an anchored film
  }
  return false;
}

// ---- painting and hit testing ----

void TNovaCinema::PaintSelf(TCustomDIBX& target) {
  if (!sceneMode_ || privateBack_->IsEmpty()) return;
  const TRect drawn = DrawnRect();
  TNovaBase* screen = Screen();
  if (paintedAt_ != changes_ || !private_->Displayed().DirtyList().Empty() ||
      !private_->BackScreen().DirtyList().Empty()) {
    // What the game screen repaints is repainted in the private scene too, once per change.
    if (screen)
      for (const TRect& r : screen->DirtyList()) private_->Displayed().AddDirtyRect(r.Offset(-drawn.Left, -drawn.Top));
    private_->PaintScene();
    private_->ClearDirty();
    paintedAt_ = changes_;
  }
  // The target's clip is the part of the cinema being repainted.
  target.Draw(drawn.Left, drawn.Top, false, false, false, TRect{0, 0, privateBack_->GetWidth(), privateBack_->GetHeight()},
              privateBack_.get());
}

TNovaControl* TNovaCinema::HitTest(TPoint point, TMouseModes modes) {
  if (!OwnVisible() || !HitRect().Contains(point)) return nullptr;
  TNovaControl* candidate = (modes & ModeBit(ignoreMouse_)) ? this : nullptr;
  // The film's own objects are part of the picture, not things to click.
  for (auto it = Children().rbegin(); it != Children().rend(); ++it) {
    if ((*it)->HasSystemName()) continue;
    if (TNovaControl* hit = (*it)->HitTest(point, modes)) return hit;
  }
  return candidate;
}

// ---- properties ----

bool TNovaCinema::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(source_); return true;
    case PR_INDEX: v = TPropValue::OfInt(CurrentFrame()); return true;
    case PR_COUNT: v = TPropValue::OfInt(FrameCount()); return true;
    case PR_PLAYING:
      v = TPropValue::OfFlag(film_ && film_->CurrentFrame() < film_->FilmFrameCount() - 1 && !paused_ && !aniPaused_);
      return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_VOLUME: v = TPropValue::OfInt(volume_); return true;
    case PR_REPEAT: v = TPropValue::OfFlag(repeat_); return true;
    case PR_AUTOSCRAP: v = TPropValue::OfFlag(autoScrap_); return true;
    case PR_ONPLAYEND: v = TPropValue::OfStr(onPlayEnd_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_REWINDONLOAD: v = TPropValue::OfFlag(rewindOnLoad_); return true;
    case PR_MUTEONLOAD: v = TPropValue::OfFlag(muteOnLoad_); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaCinema::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_INDEX: SetIndex(v.Int); return true;
    case PR_PAUSED:
      if (v.Flag != paused_) {
        paused_ = v.Flag;
        TellFilmPaused();
      }
      return true;
    case PR_ANIPAUSED:
      if (v.Flag != aniPaused_) {
        aniPaused_ = v.Flag;
        TellFilmPaused();
      }
      return true;
    case PR_VOLUME:
      volume_ = std::max(0, v.Int);
      if (film_) film_->SetVolume(volume_);
      return true;
    case PR_REPEAT: repeat_ = v.Flag; return true;
    case PR_AUTOSCRAP: autoScrap_ = v.Flag; return true;
    case PR_ONPLAYEND: onPlayEnd_ = v.Str; return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    case PR_REWINDONLOAD: rewindOnLoad_ = v.Flag; return true;
    case PR_MUTEONLOAD: muteOnLoad_ = v.Flag; return true;
    default: return TNovaControl::SetProperty(id, v);
  }
}

// ---- saved form ----

void TNovaCinema::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  s.WriteString(source_);
  s.WriteByte(repeat_);
  s.WriteByte(paused_);
  s.WriteByte(autoScrap_);
  s.WriteString(onPlayEnd_);
  s.WriteString(onIdle_);
  s.WriteInt32(CurrentFrame());
  s.WriteByte(rewindOnLoad_);
  s.WriteInt32(volume_);
  s.WriteByte(muteOnLoad_);
  s.WriteByte(ended_);
}

void TNovaCinema::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);  // the size went straight into the record's fields
  ResizePrivateScene();
  const std::string source = s.ReadString();
  repeat_ = s.ReadByte() != 0;
  paused_ = s.ReadByte() != 0;
  autoScrap_ = s.ReadByte() != 0;
  onPlayEnd_ = s.ReadString();
  if (version > 103) onIdle_ = s.ReadString();
  int32_t frame = 0;
  if (version > 116) {
    frame = s.ReadInt32();
    rewindOnLoad_ = s.ReadByte() != 0;
  }
  int32_t volume = volume_;
  if (version > 128) {
    volume = s.ReadInt32();
    muteOnLoad_ = s.ReadByte() != 0;
  }
  const bool ended = version > 132 && s.ReadByte() != 0;
  // The film is made with the volume it had (or none, muted) and played where it was, unless
  // the author asked for a fresh start on every load.
  volume_ = std::max(0, muteOnLoad_ ? 0 : volume);
  SetSource(source);
  if (frame > 0 && !rewindOnLoad_) SetIndex(frame);
  // A cinema that starts again from the beginning has not ended.
  ended_ = rewindOnLoad_ ? false : ended;
}

}  // namespace nova
