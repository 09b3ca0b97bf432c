#pragma once
// Rectangle tracks: TRectFrameList animates a rectangle (its corners), alpha and clip;
// TBoxFrameList fills and frames it (TNovaBox).
#include "components/films/frame_list.h"

namespace nova {

// Each of the three low bytes interpolated on its own (equal ends kept, so -1 stays -1).
int32_t InterpolateColor(const TCustomFrameList& track, int32_t from, int32_t to, int32_t t);

class TRectFrameList : public TCustomFrameList {
public:
  explicit TRectFrameList(TFilmManager& film);
  using TCustomFrameList::RectAt;
  using TCustomFrameList::ClipAt;
  using TCustomFrameList::AlphaAt;
};

class TBoxFrameList : public TRectFrameList {
public:
  using TRectFrameList::TRectFrameList;
  int TrackType() const override { return FT_BOX; }
  bool ShowAt(int32_t n) override;
  void ReadTrack(const TFilmTrack& track, const std::string& folder) override;

protected:
  TNovaObject* CreateObject() override;
};

}  // namespace nova
