#include "components/films/box_frame_list.h"

#include "components/films/film_manager.h"
#include "components/images/nova_box.h"
#include "objects/nova_prop_motion.h"
#include "objects/scene.h"

namespace nova {

int32_t InterpolateColor(const TCustomFrameList& track, int32_t from, int32_t to, int32_t t) {
  if (from == to) return from;
  int32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int32_t a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
    result |= (track.Interpolate(MT_NORMAL, a, b, t) & 0xFF) << shift;
  }
  return result;
}

TRectFrameList::TRectFrameList(TFilmManager& film) : TCustomFrameList(film) {
  cells_.push_back(std::make_unique<TBoxFrame>());
}

void TBoxFrameList::ReadTrack(const TFilmTrack& track, const std::string& folder) {
  TRectFrameList::ReadTrack(track, folder);
  fileName_.clear();
}

TNovaObject* TBoxFrameList::CreateObject() {
  TNovaBaseList* scene = film_.Scene();
  auto* box = scene->Make<TNovaBox>(film_.MutableServices());
  Adopt(box, scene);
  return box;
}

bool TBoxFrameList::ShowAt(int32_t n) {
  if (Outside(n)) {
    if (!film_.ControlMode()) FreeObject();
    return false;
  }
  EnsureObject();
  TNovaControl* target = Target();
  if (!target) return true;
  const int32_t t = n - absoluteStart_;
  const TFilmRect r = RectAt(t);
  const TFilmClipValue clip = ClipAt(t);
  const int32_t alpha = AlphaAt(t);
  const int32_t color = InterpolateColor(*this, StartOf(&TFilmTrack::StartColor, &TFilmTrack::EndColor),
                                         data_.EndColor, t);
  const int32_t borderColor = InterpolateColor(
      *this, StartOf(&TFilmTrack::StartBorderColor, &TFilmTrack::EndBorderColor), data_.EndBorderColor, t);
  const int32_t fromBorder = StartOf(&TFilmTrack::StartBorderWidth, &TFilmTrack::EndBorderWidth);
  const int32_t borderWidth =
      fromBorder == data_.EndBorderWidth ? fromBorder : Interpolate(MT_NORMAL, fromBorder, data_.EndBorderWidth, t);
  auto setInt = [target](int id, int32_t v) { target->SetProperty(id, TPropValue::OfInt(v)); };
  if (film_.ControlMode()) {
    target->SetMotionPosition(r.Left, r.Top);
    target->SetWidth(r.Width);
    target->SetHeight(r.Height);
    target->SetPriority(DrivenPriority());
  } else {
    PlaceObject(*target);
    target->SetBounds(r.Left, r.Top, r.Width, r.Height);
    target->SetPriority(data_.Priority);
  }
  setInt(PR_ALPHA, alpha);
  setInt(PR_COLOR, color);
  setInt(PR_BORDERWIDTH, borderWidth);
  setInt(PR_BORDERCOLOR, borderColor);
  setInt(PR_CLIPLEFT, clip.Left);
  setInt(PR_CLIPTOP, clip.Top);
  setInt(PR_CLIPWIDTH, clip.Width);
  setInt(PR_CLIPHEIGHT, clip.Height);
  return true;
}

}  // namespace nova
