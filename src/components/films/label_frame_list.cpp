#include "components/films/label_frame_list.h"

#include "components/films/film_manager.h"
#include "components/text/nova_label.h"
#include "objects/scene.h"

namespace nova {

TLabelFrameList::TLabelFrameList(TFilmManager& film) : TCustomImageFrameList(film) {
  cells_.push_back(std::make_unique<TLabelFrame>());
}

void TLabelFrameList::ReadTrack(const TFilmTrack& track, const std::string& folder) {
  TCustomImageFrameList::ReadTrack(track, folder);
  fileName_.clear();  // a caption uses no file
}

TNovaObject* TLabelFrameList::CreateObject() {
  TNovaBaseList* scene = film_.Scene();
  auto* label = scene->Make<TNovaLabel>(film_.Services());
  Adopt(label, scene);
  label->SetParent(OtherScreen() ? &scene->BackScreen() : &scene->Displayed());
  return label;
}

void TLabelFrameList::ApplyCell(const TImageCellState& s) {
  TNovaControl* target = Target();
  if (!target) return;
  auto setInt = [target](int id, int32_t v) { target->SetProperty(id, TPropValue::OfInt(v)); };
  auto setFlag = [target](int id, bool v) { target->SetProperty(id, TPropValue::OfFlag(v)); };
  if (!film_.ControlMode()) PlaceObject(*target);
  target->SetProperty(PR_FONTNAME, TPropValue::OfStr(data_.FontName));
  setInt(PR_FONTHEIGHT, data_.FontHeight);
  setInt(PR_LINESPACE, data_.LineSpace);
  setInt(PR_FONTCOLOR, data_.FontColor);
  setInt(PR_FONTSTYLE, data_.FontStyle);
  setFlag(PR_ANTIALIAS, data_.Antialias != 0);
  setInt(PR_HALIGN, data_.HAlign);
  setFlag(PR_FLIPH, FlipH());
  setFlag(PR_FLIPV, FlipV());
  target->SetProperty(PR_TEXT, TPropValue::OfStr(data_.Text));
  if (film_.ControlMode()) {
    target->SetPriority(DrivenPriority());
    target->SetMotionPosition(s.Position.X, s.Position.Y);
  } else {
    target->SetPriority(data_.Priority);
    target->SetLeft(s.Position.X);
    target->SetTop(s.Position.Y);
  }
  target->SetOffsetX(s.Offset.X);
  target->SetOffsetY(s.Offset.Y);
  setInt(PR_ALPHA, s.Alpha);
  setInt(PR_ANGLE, s.Angle);
  setInt(PR_ZOOMX, s.ZoomX);
  setInt(PR_ZOOMY, s.ZoomY);
  setInt(PR_CLIPLEFT, s.Clip.Left);
  setInt(PR_CLIPTOP, s.Clip.Top);
  setInt(PR_CLIPWIDTH, s.Clip.Width);
  setInt(PR_CLIPHEIGHT, s.Clip.Height);
}

}  // namespace nova
