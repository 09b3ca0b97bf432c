#include "components/films/image_frame_list.h"

#include <algorithm>
#include <cmath>

#include "components/films/film_interpolate.h"
#include "components/films/film_manager.h"
#include "components/images/brio_collection.h"
#include "components/images/nova_custom_image.h"
#include "components/images/nova_prev_images.h"
#include "components/images/nova_tile.h"
#include "objects/scene.h"

namespace nova {

namespace {

int32_t Scaled(int32_t zoom, int32_t size) {
  const int64_t v = int64_t{zoom} * size / 256;
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

// ---- TCustomImageFrameList ----

TImageCellState TCustomImageFrameList::StateAt(int32_t t) const {
  TImageCellState s;
  s.Cell = CellAt(t);
  const TPoint hot = data_.HotSpot;
  const TPoint cellOffset = CellOffset(s.Cell);
  s.Offset = TPoint{hot.X - cellOffset.X, hot.Y - cellOffset.Y};
  const TPoint from = StartPosition(), to = EndPosition();
  s.Position = TPoint{Interpolate(data_.EaseX, from.X, to.X, t), Interpolate(data_.EaseY, from.Y, to.Y, t)};
  s.ZoomX = Interpolate(data_.EaseZoomX, ZoomUnits(StartOf(&TFilmTrack::StartZoomX, &TFilmTrack::EndZoomX)),
                        ZoomUnits(data_.EndZoomX), t);
  s.ZoomY = Interpolate(data_.EaseZoomY, ZoomUnits(StartOf(&TFilmTrack::StartZoomY, &TFilmTrack::EndZoomY)),
                        ZoomUnits(data_.EndZoomY), t);
  s.Clip = ClipAt(t);
  const int32_t startAngle = StartOf(&TFilmTrack::StartAngle, &TFilmTrack::EndAngle);
  if (startAngle != 0 || data_.EndAngle != 0)
    s.Angle = AngleUnits(InterpolateReal(data_.EaseAngle, startAngle, data_.EndAngle, t));
  s.Alpha = AlphaAt(t);
  return s;
}

bool TCustomImageFrameList::ShowAt(int32_t n) {
  if (Outside(n)) {
    if (!film_.ControlMode()) FreeObject();
    return false;
  }
  EnsureObject();
  const int32_t t = n - absoluteStart_;
  const int32_t cell = CellAt(t);
  if (cell < 0 || cell >= CellCount()) return true;
  ApplyCell(StateAt(t));
  return true;
}

// ---- TImageFrameList ----

TImageFrameList::TImageFrameList(TFilmManager& film) : TCustomImageFrameList(film) {}

TImageFrameList::~TImageFrameList() {
  FreeObject();
  ClearCells();
}

void TImageFrameList::FreeObject() {
  if (auto* image = dynamic_cast<TNovaCustomImage*>(GetObject())) image->ShowPicture(nullptr, nullptr);
  TCustomImageFrameList::FreeObject();
}

void TImageFrameList::ClearCells() {
  // A created object never keeps a picture of a released cache entry.
  if (auto* image = dynamic_cast<TNovaCustomImage*>(GetObject())) image->ShowPicture(nullptr, nullptr);
  cells_.clear();
  if (cache_) cache_->ReleaseImage(this);
  cache_ = nullptr;
}

int32_t TImageFrameList::CellWidth() const { return cells_.empty() ? 0 : ImageCell(0).Width; }
int32_t TImageFrameList::CellHeight() const { return cells_.empty() ? 0 : ImageCell(0).Height; }

void TImageFrameList::LoadResources() {
  ClearCells();
  TBrioCollection* cache = film_.Services().Images;
  if (!cache || fileName_.empty()) return;
  TBrioItem* item = cache->AcquireImage(this, fileName_, false, false);
  cache_ = cache;
  if (!item) return;
  int32_t cycle = 0;
  for (int i = 0; i < item->FrameCount(); ++i) {
    TBrioItemFrame& frame = *item->Frames[static_cast<size_t>(i)];
    auto cell = std::make_unique<TImageFrame>();
    cell->Surface = &frame.Surface;
    cell->Mask = frame.Mask();
    cell->Index = i;
    cell->Width = frame.Surface.GetWidth();
    cell->Height = frame.Surface.GetHeight();
    cell->OffsetX = frame.OffsetX;
    cell->OffsetY = frame.OffsetY;
    cell->Duration = std::max<int32_t>(1, static_cast<int32_t>(std::nearbyint(frame.Duration / kFilmFrameMs)));
    cycle = static_cast<int32_t>(std::min<int64_t>(int64_t{cycle} + cell->Duration, INT32_MAX));
    cells_.push_back(std::move(cell));
  }
  cycle_ = cycle;
}

int32_t TImageFrameList::CellAt(int32_t t) const {
  if (cells_.empty()) return -1;
  int32_t rest = t % std::max<int32_t>(1, cycle_);
  if (rest < 0) rest += std::max<int32_t>(1, cycle_);
  for (int i = 0; i < CellCount(); ++i) {
    rest -= ImageCell(i).Duration;
    if (rest < 0) return i;
  }
  return CellCount() - 1;
}

TNovaObject* TImageFrameList::CreateObject() {
  TNovaBaseList* scene = film_.Scene();
  auto* image = scene->Make<TNovaImage>(film_.MutableServices());
  Adopt(image, scene);
  return image;
}

void TImageFrameList::ApplyToDriven(const TImageCellState& s, TNovaControl& driven) {
  const TImageFrame& cell = ImageCell(s.Cell);
  auto* image = dynamic_cast<TNovaCustomImage*>(&driven);
  if (image) image->ShowPicture(cell.Surface, cell.Mask);
  driven.SetWidth(Scaled(s.ZoomX, cell.Width));
  driven.SetHeight(Scaled(s.ZoomY, cell.Height));
  driven.SetSubOrder(data_.Priority);
  track::SetFlag(driven, PR_FLIPH, FlipH());
  track::SetFlag(driven, PR_FLIPV, FlipV());
  driven.SetMotionPosition(s.Position.X, s.Position.Y);
  driven.SetOffsetX(s.Offset.X);
  driven.SetOffsetY(s.Offset.Y);
  track::SetInt(driven, PR_ZOOMX, s.ZoomX);
  track::SetInt(driven, PR_ZOOMY, s.ZoomY);
  track::SetInt(driven, PR_ANGLE, s.Angle);
  track::SetInt(driven, PR_ALPHA, s.Alpha);
  track::SetClip(driven, s.Clip);
  // A preview image's hit test stays its rectangle.
  if (!dynamic_cast<TNovaPrevImages*>(&driven)) track::SetFlag(driven, PR_CAPTUREMASK, true);
}

void TImageFrameList::ApplyCell(const TImageCellState& s) {
  if (film_.ControlMode()) {
    if (TNovaControl* driven = film_.Driven()) ApplyToDriven(s, *driven);
    return;
  }
  auto* image = dynamic_cast<TNovaCustomImage*>(Target());
  if (!image) return;
  const TImageFrame& cell = ImageCell(s.Cell);
  PlaceObject(*image);
  // The size follows the picture times the zoom.
  image->ShowPicture(cell.Surface, cell.Mask);
  image->SetZoomX(s.ZoomX);
  image->SetZoomY(s.ZoomY);
  image->SetPriority(data_.Priority);
  image->SetFlipH(FlipH());
  image->SetFlipV(FlipV());
  image->SetOffsetX(s.Offset.X);
  image->SetOffsetY(s.Offset.Y);
  image->SetLeft(s.Position.X);
  image->SetTop(s.Position.Y);
  image->SetAngle(s.Angle);
  image->SetAlpha(s.Alpha);
  track::SetClip(*image, s.Clip);
  track::SetFlag(*image, PR_CAPTUREMASK, true);
}

// ---- TTileFrameList ----

void TTileFrameList::LoadResources() {
  const bool hadCells = CellCount() > 0;
  TImageFrameList::LoadResources();
  if (hadCells || cells_.empty()) return;
  // A size of 0 takes the picture's on the first file.
  const int32_t w = CellWidth(), h = CellHeight();
  if (data_.StartSize.X == 0) data_.StartSize.X = w;
  if (data_.StartSize.Y == 0) data_.StartSize.Y = h;
  if (data_.EndSize.X == 0) data_.EndSize.X = w;
  if (data_.EndSize.Y == 0) data_.EndSize.Y = h;
}

TNovaObject* TTileFrameList::CreateObject() {
  TNovaBaseList* scene = film_.Scene();
  auto* tile = scene->Make<TNovaTile>(film_.MutableServices());
  Adopt(tile, scene);
  return tile;
}

bool TTileFrameList::ShowAt(int32_t n) {
  if (Outside(n)) {
    if (!film_.ControlMode()) FreeObject();
    return false;
  }
  EnsureObject();
  const int32_t t = n - absoluteStart_;
  const int32_t cellIndex = CellAt(t);
  if (cellIndex < 0 || cellIndex >= CellCount()) return true;
  TNovaControl* target = Target();
  if (!target) return true;
  const TImageCellState s = StateAt(t);
  const TFilmRect r = RectAt(t);
  const TImageFrame& cell = ImageCell(cellIndex);
  const int32_t scrollX = Interpolate(data_.EaseScrollX, StartOf(&TFilmTrack::StartScroll, &TFilmTrack::EndScroll).X,
                                      data_.EndScroll.X, t);
  const int32_t scrollY = Interpolate(data_.EaseScrollY, StartOf(&TFilmTrack::StartScroll, &TFilmTrack::EndScroll).Y,
                                      data_.EndScroll.Y, t);
  if (auto* image = dynamic_cast<TNovaCustomImage*>(target)) image->ShowPicture(cell.Surface, cell.Mask);
  if (film_.ControlMode()) {
    target->SetPriority(DrivenPriority());
    target->SetMotionPosition(r.Left, r.Top);
  } else {
    PlaceObject(*target);
    target->SetPriority(data_.Priority);
    target->SetLeft(r.Left);
    target->SetTop(r.Top);
  }
  track::SetInt(*target, PR_DISTANCEX, data_.Distance.X);
  track::SetInt(*target, PR_DISTANCEY, data_.Distance.Y);
  track::SetFlag(*target, PR_FLIPH, FlipH());
  track::SetFlag(*target, PR_FLIPV, FlipV());
  target->SetWidth(r.Width);
  target->SetHeight(r.Height);
  target->SetOffsetX(s.Offset.X);
  target->SetOffsetY(s.Offset.Y);
  track::SetInt(*target, PR_ZOOMX, s.ZoomX);
  track::SetInt(*target, PR_ZOOMY, s.ZoomY);
  track::SetInt(*target, PR_ALPHA, s.Alpha);
  track::SetInt(*target, PR_SCROLLX, scrollX);
  track::SetInt(*target, PR_SCROLLY, scrollY);
  track::SetClip(*target, s.Clip);
  return true;
}

}  // namespace nova
