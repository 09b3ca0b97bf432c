#include "game/splash.h"

#include <memory>

#include "archive/vrfile_collection.h"
#include "archive/vrfiles.h"
#include "base/stream.h"
#include "objects/property_access.h"
#include "objects/scene.h"

namespace nova {

const char* const TSplash::kFilmName = "novaplayer\\splash.nmt";

namespace {
constexpr int kSpaceKey = 32;
constexpr int kReturnKey = 13;
}  // namespace

TSplash::TSplash(TNovaBaseList& scene, TVrFileManager& files, std::span<const uint8_t> film)
    : scene_(scene), files_(files), film_(film.begin(), film.end()) {}

// The cinema goes with the scene; only the archive is ours to take back.
TSplash::~TSplash() { RemoveArchive(); }

void TSplash::RemoveArchive() {
  // Found by identity: the index it got may have moved.
  for (int i = 0; archive_ && i < files_.ArchiveCount(); ++i)
    if (files_.Archive(i) == archive_) files_.RemoveArchive(i);
  archive_ = nullptr;
}

TNovaObject* TSplash::Cinema() const { return scene_.Resolve(cinema_); }

void TSplash::Start() {
  started_ = true;
  auto archive = std::make_unique<TVrFileCollection>();
  archive->AddMemoryFile(kFilmName)->Memory->Assign(film_);
  archive_ = archive.get();
  files_.AddCollection(std::move(archive));
  TNovaObject* object = scene_.CreateObject(LT_CINEMA);
  auto* cinema = dynamic_cast<TNovaControl*>(object);
  if (!cinema) {
    // A player without the cinema class has nothing to show.
    if (object) scene_.FreeObject(object);
    return;
  }
  // A system name: no game object can meet it, and it is never saved.
  cinema->SetName("\x01" "splash");
  cinema->SetParent(&scene_.Displayed());
  WriteProperty(*cinema, PR_SOURCE, TPropValue::OfStr(kFilmName));
  WriteProperty(*cinema, PR_IGNOREMOUSE, TPropValue::OfInt(IM_ALL));
  WriteProperty(*cinema, PR_AUTOSCRAP, TPropValue::OfFlag(true));
  WriteProperty(*cinema, PR_REPEAT, TPropValue::OfFlag(false));
  WriteProperty(*cinema, PR_LEFT, TPropValue::OfInt((scene_.ScreenWidth() - cinema->Width()) / 2));
  WriteProperty(*cinema, PR_TOP, TPropValue::OfInt((scene_.ScreenHeight() - cinema->Height()) / 2));
  cinema_ = TObjectRef(cinema);
}

void TSplash::Finish() {
  done_ = true;
  cinema_ = TObjectRef();
  RemoveArchive();
  film_.clear();
}

bool TSplash::Step() {
  if (done_) return true;
  if (!started_) {
    Start();
    return false;
  }
  TNovaObject* cinema = Cinema();
  if (!cinema) {
    Finish();
    return true;
  }
  TInputState& input = scene_.Input();
  if (input.DisplayedScreen().LeftPressedThisFrame || input.IsKeyHeld(kSpaceKey) || input.IsKeyHeld(kReturnKey)) {
    // Jumping past the last frame ends the film in the cinema's next update; it scraps itself.
    WriteProperty(*cinema, PR_INDEX, ReadProperty(*cinema, PR_COUNT));
  }
  return false;
}

}  // namespace nova
