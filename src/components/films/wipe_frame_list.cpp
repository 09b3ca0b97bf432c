#include "components/films/wipe_frame_list.h"

#include "archive/vrfiles.h"
#include "base/stream.h"
#include "components/component_services.h"
#include "components/films/film_manager.h"
#include "formats/surface_loader.h"
#include "render/dibx.h"
#include "render/wipes.h"

namespace nova {

namespace {

// The 8-bit picture of a mask transition, or null when it cannot be read (the transition then
// changes everything together, as with a missing mask).
std::unique_ptr<TCustomDIBX> LoadMask(const TComponentServices& services, const std::string& name) {
  if (!services.Files || name.empty()) return nullptr;
  try {
    if (!services.Files->Exists(name)) return nullptr;
    TKtMemoryStream bytes;
    services.Files->ReadFile(bytes, name);
    bytes.SetPosition(0);
    auto picture = std::make_unique<TDIBX>();
    picture->SetSize(1, 1, 8);
    if (!LoadSurfaceFromStream(*picture, bytes, name, services.ImageKey)) return nullptr;
    return picture;
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace

TWipeFrameList::TWipeFrameList(TFilmManager& film) : TCustomFrameList(film) {
  cells_.push_back(std::make_unique<TBoxFrame>());
}

void TWipeFrameList::ReadTrack(const TFilmTrack& track, const std::string& folder) {
  data_ = track;
  cycle_ = track.Cycle;
  fileName_ = track.File.empty() ? std::string() : ResolveFilmMaskName(folder, track.File);
}

void TWipeFrameList::SetUp(TCustomWipe& wipe) const {
  wipe.SetParam(0, data_.WipeParam0);
  wipe.SetParam(1, data_.WipeParam1);
  wipe.SetMaskName(fileName_);
  const int32_t kind = data_.WipeType;
  if (kind == WP_MASKFADE || kind == WP_MASKWHITE || kind == WP_MASKBLACK)
    wipe.SetMaskImage(LoadMask(film_.Services(), fileName_));
  wipe.Prepare();
}

}  // namespace nova
