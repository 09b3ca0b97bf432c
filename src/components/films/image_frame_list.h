#pragma once
// Picture tracks: TCustomImageFrameList animates a hot spot's position, angle, zooms, alpha and
// clip; TImageFrameList adds a layered image whose frames are its cells; TTileFrameList fills
// a rectangle with the picture (scroll and spacing).
#include "components/films/frame_list.h"

namespace nova {

class TBrioCollection;
class TNovaCustomImage;

// The state of a picture-like track at one frame.
struct TImageCellState {
  int32_t Cell = 0;
  TPoint Position;
  TFilmClipValue Clip;
  int32_t Alpha = 255, Angle = 0, ZoomX = 256, ZoomY = 256;
  TPoint Offset;
};

class TCustomImageFrameList : public TCustomFrameList {
public:
  using TCustomFrameList::TCustomFrameList;
  bool ShowAt(int32_t n) override;
  // The values of frame t after the absolute start (t inside the track).
  TImageCellState StateAt(int32_t t) const;

protected:
  // Gives the state to the driven control (control mode) or the track's object.
  virtual void ApplyCell(const TImageCellState& state) = 0;
  // The offset of a cell inside its picture (zero: images are acquired without offsets).
  virtual TPoint CellOffset(int32_t /*cell*/) const { return TPoint{}; }
};

class TImageFrameList : public TCustomImageFrameList {
public:
  explicit TImageFrameList(TFilmManager& film);
  ~TImageFrameList() override;
  int TrackType() const override { return FT_PICTURE; }
  int32_t CellWidth() const override;
  int32_t CellHeight() const override;
  int32_t CellAt(int32_t t) const override;
  void ClearCells() override;
  void LoadResources() override;
  // The object lets go of the track's pictures first: it may outlive the cache entry until
  // the scene deletes it.
  void FreeObject() override;
  TImageFrame& ImageCell(int i) const { return static_cast<TImageFrame&>(Cell(i)); }

protected:
  TNovaObject* CreateObject() override;
  void ApplyCell(const TImageCellState& state) override;
  // The picture, the frame's size by the zooms and the drawing attributes on the driven
  // control (control mode).
  void ApplyToDriven(const TImageCellState& state, TNovaControl& driven);

private:
  TBrioCollection* cache_ = nullptr;
};

class TTileFrameList : public TImageFrameList {
public:
  using TImageFrameList::TImageFrameList;
  int TrackType() const override { return FT_TILE; }
  void LoadResources() override;
  bool ShowAt(int32_t n) override;

protected:
  TNovaObject* CreateObject() override;
  void ApplyCell(const TImageCellState&) override {}
};

}  // namespace nova
