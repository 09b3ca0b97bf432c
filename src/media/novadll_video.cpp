// The media library's movies: pictures decoded on demand into a 32-bit surface, timed by the
// frame clock (so a headless run shows the same frame at the same frame every time); the sound
// plays on a voice of the library.
#include <algorithm>

#include "base/error.h"
#include "base/process.h"
#include "media/novadll_state.h"

namespace nova {

class TNovaMovie {
public:
  TNovaMovie(std::unique_ptr<TVideoDecoder> video, std::unique_ptr<TVoice> sound,
             std::unique_ptr<TSharedStream> shared, bool drawToSurface)
      : video_(std::move(video)), sound_(std::move(sound)), shared_(std::move(shared)), toSurface_(drawToSurface) {
    surface_.SetSize(std::max(1, video_->Width()), std::max(1, video_->Height()), 32);
    surface_.Fill(0);
    if (sound_) NovaLibrary()->Engine->Add(sound_.get());
  }
  ~TNovaMovie() {
    if (sound_ && NovaLibrary() && NovaLibrary()->Engine) NovaLibrary()->Engine->Remove(sound_.get());
  }

  int Width() const { return video_->Width(); }
  int Height() const { return video_->Height(); }
  int32_t Length() const {
    int64_t d = video_->DurationMs();
    if (d <= 0 && sound_) d = sound_->LengthMs();
    return static_cast<int32_t>(d);
  }

  // The movie's time now: the frame clock since it started, plus where it started.
  int32_t Position() {
    int64_t p = base_;
    if (playing_ && !suspended_) p += static_cast<uint32_t>(FrameClock().Total - startTotal_);
    int32_t len = Length();
    if (repeat_ && len > 0 && p >= len) {
      // Wrapped: the movie starts over.
      int64_t over = p - len;
      Restart(static_cast<int32_t>(over % len));
      p = base_;
    }
    // Not cut at the length: containers often tell it a little short, and the last frames
    // are still due after it.
    return static_cast<int32_t>(p);
  }

  void Play() {
    if (ended_) SetPosition(0);
    if (playing_) return;
    playing_ = true;
    paused_ = false;
    startTotal_ = FrameClock().Total;
    if (sound_ && !suspended_) sound_->Play();
  }
  void Pause() {
    if (playing_) base_ = Position();
    playing_ = false;
    paused_ = true;
    if (sound_) sound_->Pause();
  }
  void Suspend(bool on) {
    if (on == suspended_) return;
    if (on) {
      if (playing_) base_ = Position();
      suspended_ = true;
      if (sound_ && playing_) sound_->Pause();
    } else {
      suspended_ = false;
      startTotal_ = FrameClock().Total;
      if (sound_ && playing_) sound_->Play();
    }
  }
  void SetPosition(int32_t ms) {
    ms = std::max(0, ms);
    base_ = ms;
    startTotal_ = FrameClock().Total;
    ended_ = false;
    video_->Seek(ms);
    haveNext_ = false;
    videoEnded_ = false;
    if (sound_) sound_->SetPositionMs(ms);
  }
  bool IsPlaying() { return playing_ && !IsEnd(); }
  bool IsPaused() const { return paused_; }
  bool IsEnd() {
    if (!ended_ && !repeat_) {
      int32_t len = Length();
      Advance();
      if (videoEnded_ && (len <= 0 || Position() >= len)) ended_ = true;
    }
    return ended_;
  }
  bool Repeat() const { return repeat_; }
  void SetRepeat(bool on) {
    repeat_ = on;
    if (sound_) sound_->SetRepeat(on);
  }
  int32_t Volume() { return sound_ ? sound_->Volume() : volume_; }
  void SetVolume(int32_t v) {
    volume_ = v;
    if (sound_) sound_->SetVolume(v);
  }
  int32_t Pan() { return sound_ ? sound_->Pan() : pan_; }
  void SetPan(int32_t p) {
    pan_ = p;
    if (sound_) sound_->SetPan(p);
  }
  bool Visible() const { return visible_; }
  void SetVisible(bool on) { visible_ = on; }
  void SetRect(const TRect& source, const TRect& dest) { source_ = source, dest_ = dest; }
  bool NeedPaint() {
    Advance();
    return newFrame_;
  }
  TCustomDIBX* Surface() {
    Advance();
    newFrame_ = false;
    return &surface_;
  }
  void PaintOverlay(TCustomDIBX& target) {
    if (toSurface_ || !visible_ || dest_.Empty()) return;
    Advance();
    TRect src = source_.Empty() ? TRect{0, 0, Width(), Height()} : source_;
    if (target.GetBitCount() == 32) target.StretchDraw(dest_, &surface_, 255, false, false, false, src);
  }

private:
  void Restart(int32_t at) {
    video_->Seek(at);
    haveNext_ = false;
    videoEnded_ = false;
    base_ = at;
    startTotal_ = FrameClock().Total;
  }

  // Brings the surface to the frame due at the movie's time.
  void Advance() {
    int64_t now = Position();
    for (;;) {
      if (!haveNext_) {
        if (videoEnded_) return;
        if (!video_->ReadFrame(next_)) {
          videoEnded_ = true;
          return;
        }
        haveNext_ = true;
      }
      if (next_.TimeMs > now && shown_) return;
      // Due (or the first frame, shown at once): into the surface.
      for (int y = 0; y < next_.Height && y < surface_.GetHeight(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(surface_.PixelAddress(0, y));
        if (!row) break;
        std::copy_n(next_.Pixels.data() + static_cast<size_t>(y) * next_.Width, std::min(next_.Width, surface_.GetWidth()),
                    row);
        surface_.Unlock();
      }
      shown_ = true;
      newFrame_ = true;
      haveNext_ = false;
    }
  }

  std::unique_ptr<TVideoDecoder> video_;
  std::unique_ptr<TVoice> sound_;
  std::unique_ptr<TSharedStream> shared_;
  bool toSurface_;
  TDIBX surface_;
  TVideoFrame next_;
  bool haveNext_ = false, videoEnded_ = false, shown_ = false, newFrame_ = false;
  bool playing_ = false, paused_ = false, ended_ = false, repeat_ = false, suspended_ = false, visible_ = true;
  int64_t base_ = 0;
  uint32_t startTotal_ = 0;
  int32_t volume_ = 0, pan_ = 0;
  TRect source_, dest_;
};

namespace {

TNovaMovie* FindMovie(int32_t h) {
  TNovaLibrary* lib = NovaLibrary();
  if (!lib) return nullptr;
  auto it = lib->Movies.find(h);
  return it == lib->Movies.end() ? nullptr : it->second.get();
}

template <typename F>
auto WithMovie(int32_t h, F f, decltype(f(std::declval<TNovaMovie&>())) def) {
  TNovaMovie* m = FindMovie(h);
  return m ? f(*m) : def;
}

}  // namespace

TNovaLibrary::TNovaLibrary() = default;
TNovaLibrary::~TNovaLibrary() = default;

void FreeMovies() {
  if (TNovaLibrary* lib = NovaLibrary()) lib->Movies.clear();
}

int32_t novaVidmanAdd(const char* fileName, void* stream, NovaBool drawToSurface) {
  TNovaLibrary* lib = NovaLibrary();
  if (!lib) return 0;
  std::unique_ptr<TStream> data;
  std::string hint = fileName ? fileName : "movie";
  try {
    if (stream) {
      data = LibraryStream(stream);
    } else {
      if (!fileName) return 0;
      data = std::make_unique<TFileStream>(std::filesystem::path(fileName), TFileStream::OpenRead);
    }
  } catch (const ENovaError&) {
    return 0;
  }
  auto shared = std::make_unique<TSharedStream>(std::move(data));
  std::unique_ptr<TVideoDecoder> video;
  try {
    video = lib->Platform->Decoders().OpenVideo(shared->Reader(), hint);
  } catch (const ENovaError&) {
    return 0;
  }
  std::unique_ptr<TVoice> sound;
  if (video->HasAudio()) {
    try {
      sound = std::make_unique<TVoice>(
          lib->Platform->Decoders().OpenAudio(shared->Reader(), hint, TAudioDecodeOptions{TVoice::kRate, 2}));
    } catch (const ENovaError&) {
      // A movie whose sound cannot be decoded plays silent.
    }
  }
  int32_t h = lib->NextHandle++;
  lib->Movies[h] = std::make_unique<TNovaMovie>(std::move(video), std::move(sound), std::move(shared), drawToSurface != 0);
  return h;
}

void novaVidmanDel(int32_t h) {
  if (TNovaLibrary* lib = NovaLibrary()) lib->Movies.erase(h);
}

void novaVidmanSuspend() {
  if (TNovaLibrary* lib = NovaLibrary())
    for (auto& [h, m] : lib->Movies) m->Suspend(true);
}

void novaVidmanResume() {
  if (TNovaLibrary* lib = NovaLibrary())
    for (auto& [h, m] : lib->Movies) m->Suspend(false);
}

void novaVidmanPaint(TCustomDIBX& target) {
  if (TNovaLibrary* lib = NovaLibrary())
    for (auto& [h, m] : lib->Movies) m->PaintOverlay(target);
}

void novaVideoPlay(int32_t h) {
  if (TNovaMovie* m = FindMovie(h)) m->Play();
}
void novaVideoPause(int32_t h) {
  if (TNovaMovie* m = FindMovie(h)) m->Pause();
}
NovaBool novaVideoIsPlaying(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return ToNovaBool(m.IsPlaying()); }, 0); }
NovaBool novaVideoIsPaused(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return ToNovaBool(m.IsPaused()); }, 0); }
NovaBool novaVideoIsEnd(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return ToNovaBool(m.IsEnd()); }, 0); }
int32_t novaVideoGetLen(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return m.Length(); }, 0); }
int32_t novaVideoGetPosition(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return m.Position(); }, 0); }
void novaVideoSetPosition(int32_t h, int32_t ms) {
  if (TNovaMovie* m = FindMovie(h)) m->SetPosition(ms);
}
NovaBool novaVideoGetAutoRepeat(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return ToNovaBool(m.Repeat()); }, 0); }
void novaVideoSetAutoRepeat(int32_t h, NovaBool on) {
  if (TNovaMovie* m = FindMovie(h)) m->SetRepeat(on != 0);
}
int32_t novaVideoGetVol(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return m.Volume(); }, 0); }
void novaVideoSetVol(int32_t h, int32_t vol) {
  if (TNovaMovie* m = FindMovie(h)) m->SetVolume(vol);
}
int32_t novaVideoGetPan(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return m.Pan(); }, 0); }
void novaVideoSetPan(int32_t h, int32_t pan) {
  if (TNovaMovie* m = FindMovie(h)) m->SetPan(pan);
}
int32_t novaVideoGetSourceWidth(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return m.Width(); }, 0); }
int32_t novaVideoGetSourceHeight(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return m.Height(); }, 0); }
NovaBool novaVideoGetVisible(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return ToNovaBool(m.Visible()); }, 0); }
void novaVideoSetVisible(int32_t h, NovaBool on) {
  if (TNovaMovie* m = FindMovie(h)) m->SetVisible(on != 0);
}
void novaVideoSetRect(int32_t h, const TRect& source, const TRect& dest) {
  if (TNovaMovie* m = FindMovie(h)) m->SetRect(source, dest);
}
NovaBool novaVideoNeedPaint(int32_t h) { return WithMovie(h, [](TNovaMovie& m) { return ToNovaBool(m.NeedPaint()); }, 0); }
TCustomDIBX* novaVideoGetDC(int32_t h) {
  TNovaMovie* m = FindMovie(h);
  return m ? m->Surface() : nullptr;
}

}  // namespace nova
