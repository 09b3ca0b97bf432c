#pragma once
// Caption tracks (TLabelFrameList): a text in one font, moved, turned, zoomed, faded and
// clipped like a picture. The single cell has no offset, so the hot spot is the offset.
#include "components/films/image_frame_list.h"

namespace nova {

class TLabelFrameList : public TCustomImageFrameList {
public:
  explicit TLabelFrameList(TFilmManager& film);
  int TrackType() const override { return FT_LABEL; }
  void ReadTrack(const TFilmTrack& track, const std::string& folder) override;

protected:
  TNovaObject* CreateObject() override;
  void ApplyCell(const TImageCellState& state) override;
};

}  // namespace nova
