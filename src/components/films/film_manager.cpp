#include "components/films/film_manager.h"

#include <algorithm>
#include <exception>

#include "archive/vrfiles.h"
#include "base/stream.h"
#include "components/component_services.h"
#include "components/films/frame_list.h"
#include "components/films/sound_frame_list.h"
#include "components/films/wipe_frame_list.h"
#include "formats/film_file.h"
#include "objects/scene.h"
#include "render/wipes.h"

namespace nova {

TFilmManager::TFilmManager(const TComponentServices& services) : services_(services) {}

TFilmManager::~TFilmManager() { Clear(); }

TComponentServices& TFilmManager::MutableServices() const {
  // The objects a film creates keep the services by a mutable reference, as every object of
  // the game does; the owner's services are not constant.
  return const_cast<TComponentServices&>(services_);
}

void TFilmManager::SetControlMode(TNovaControl* driven) { driven_ = driven; }

void TFilmManager::Clear() {
  wipes_.clear();
  lastWipe_ = nullptr;
  // No track looks at another while the tracks go.
  for (const auto& track : tracks_) {
    track->Link(nullptr);
    track->SetSuccessor(nullptr);
  }
  tracks_.clear();
  loopStart_ = 0;
  designOrigin_ = TPoint{};
  relative_ = false;
}

int TFilmManager::TrackCount() const { return static_cast<int>(tracks_.size()); }

TCustomFrameList* TFilmManager::Track(int i) const { return tracks_[static_cast<size_t>(i)].get(); }

TCustomFrameList* TFilmManager::FirstTrackAtStart() const {
  for (const auto& track : tracks_)
    if (track->AbsoluteStart() == 0) return track.get();
  return nullptr;
}

bool TFilmManager::NeedsOwnScene() const {
  return std::any_of(tracks_.begin(), tracks_.end(),
                     [](const auto& t) { return t->TrackType() == FT_WIPE || t->OtherScreen(); });
}

TPoint TFilmManager::RelativeShift() const {
  if (!driven_ || !relative_) return TPoint{};
  auto sub = [](int32_t a, int32_t b) {
    return static_cast<int32_t>(std::clamp<int64_t>(int64_t{a} - b, INT32_MIN, INT32_MAX));
  };
  return TPoint{sub(origin_.X, designOrigin_.X), sub(origin_.Y, designOrigin_.Y)};
}

int TFilmManager::ScreenParity(int64_t n) const {
  int parity = 0;
  for (const TCustomFrameList* wipe : wipes_)
    if (wipe->End() - 1 <= n) parity ^= 1;
  return parity;
}

int TFilmManager::ScreenOf(const TCustomFrameList& track) const {
  return ScreenParity(track.AbsoluteStart()) ^ (track.OtherScreen() ? 1 : 0);
}

std::string TFilmManager::CreatedPrefix() const {
  if (anchor_) return "\x01" + anchor_->Name() + "\x01";
  return "\x01";
}

// ---- loading ----

void TFilmManager::LoadFilm(const std::string& name) {
  Clear();
  if (!services_.Files) return;
  TKtMemoryStream bytes;
  services_.Files->ReadFile(bytes, name);
  const std::string& data = bytes.Data();
  ReadFilm(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(data.data()), data.size()), name);
}

void TFilmManager::ReadFilm(std::span<const uint8_t> bytes, const std::string& name) {
  Clear();
  // A film read into a player that held a longer one is only as long as itself.
  frameCount_ = 0;
  if (!IsFilmFile(bytes)) return;
  TFilmPlayback film;
  try {
    film = PlaybackTracks(ReadFilmFile(bytes, name));
  } catch (...) {
    Clear();
    throw;
  }
  sceneSize_ = film.SceneSize;
  backColor_ = film.BackColor;
  relative_ = film.Relative;
  designOrigin_ = film.DesignOrigin;
  loopStart_ = film.LoopStart;
  const std::string folder = FilmFolder(name);
  for (const TFilmTrack& record : film.Tracks) {
    auto track = MakeFrameList(record.Type(), *this);
    if (!track) {
      // The reader rejects unknown types; a track kind missing here is the same fault.
      Clear();
      throw ENovaError(name + ": unknown film track type " + std::to_string(record.Type()));
    }
    track->ReadTrack(record, folder);
    tracks_.push_back(std::move(track));
  }
  // Parents and successors (the first track whose parent a track is).
  for (size_t i = 0; i < tracks_.size(); ++i) {
    const int32_t parent = film.Tracks[i].Parent;
    if (parent < 0 || static_cast<size_t>(parent) >= tracks_.size()) continue;
    TCustomFrameList* p = tracks_[static_cast<size_t>(parent)].get();
    tracks_[i]->Link(p);
    if (!p->Successor()) p->SetSuccessor(tracks_[i].get());
  }
  // Absolute starts from the chain roots down (a parent may come later in the file).
  for (const auto& track : tracks_) {
    std::vector<TCustomFrameList*> chain;
    for (TCustomFrameList* t = track.get(); t && chain.size() <= tracks_.size(); t = t->Parent()) chain.push_back(t);
    int64_t start = chain.back()->Start();
    for (size_t k = chain.size(); k-- > 0;) {
      if (k + 1 < chain.size()) start += chain[k + 1]->Duration();
      chain[k]->SetAbsoluteStart(static_cast<int32_t>(std::clamp<int64_t>(start, INT32_MIN, INT32_MAX)));
    }
  }
  for (const auto& track : tracks_)
    if (track->TrackType() == FT_WIPE) wipes_.push_back(track.get());
  // A damaged picture leaves its track without cells; the film plays and the fault is
  // reported once everything is loaded.
  std::exception_ptr error;
  for (const auto& track : tracks_) {
    try {
      track->LoadResources();
    } catch (const std::exception&) {
      if (!error) error = std::current_exception();
    }
  }
  for (const auto& track : tracks_)
    frameCount_ = static_cast<int32_t>(std::clamp<int64_t>(std::max<int64_t>(frameCount_, track->End()), 0, INT32_MAX));
  if (error) std::rethrow_exception(error);
}

// ---- playing ----

void TFilmManager::StartFilm() {
  if (SceneMode()) {
    scene_->SetSize(sceneSize_.X, sceneSize_.Y);
    scene_->GetScreen(0).SetColor(backColor_);
    scene_->GetScreen(1).SetColor(backColor_);
  }
  for (const auto& track : tracks_)
    if (track->TrackType() == FT_SOUND) static_cast<TSoundFrameList*>(track.get())->EnsureSound();
}

void TFilmManager::ShowFrame(int32_t n) {
  for (const auto& track : tracks_) track->ShowAt(n);
  if (SceneMode()) ShowTransitions(n);
  currentFrame_ = n;
}

void TFilmManager::ShowTransitions(int32_t n) {
  const TWipeFrameList* running = nullptr;
  int q = 0;
  for (TCustomFrameList* track : wipes_) {
    if (n >= track->AbsoluteStart() && n < track->End()) {
      if (running && running->End() - 1 <= n) q ^= 1;  // an earlier running one counts as passed
      running = static_cast<const TWipeFrameList*>(track);
    } else if (n >= track->End() - 1) {
      q ^= 1;
    }
  }
  if (running) {
    const int32_t elapsed = n - running->AbsoluteStart();
    TCustomWipe* wipe = scene_->Transition();
    // The same track's transition goes on (when the scene still runs it); any other starts anew.
    const bool restart = running != lastWipe_ || !wipe || scene_->TransitionSerial() != transitionSerial_ ||
                         scene_->DisplayedIndex() != q;
    if (restart) {
      wipe = scene_->StartTransition(q, running->WipeType(), running->Reverse(), running->Duration());
      transitionSerial_ = scene_->TransitionSerial();
      if (wipe) running->SetUp(*wipe);
    }
    if (wipe) wipe->SetElapsed(elapsed);
  } else if (lastWipe_ || scene_->DisplayedIndex() != q) {
    // Ends the transition of the previous frame: screen q shown as it is.
    scene_->StartTransition(q);
    transitionSerial_ = 0;
  }
  scene_->Displayed().SortChildren();
  lastWipe_ = running;
}

void TFilmManager::SetRunning(bool running) {
  running_ = running;
  if (running) return;
  for (const auto& track : tracks_)
    if (track->TrackType() == FT_SOUND) static_cast<TSoundFrameList*>(track.get())->PauseSound(true);
}

void TFilmManager::SetFilmPaused(bool paused) {
  if (paused == paused_) return;
  paused_ = paused;
  for (const auto& track : tracks_) track->SetTrackPaused(paused);
}

}  // namespace nova
