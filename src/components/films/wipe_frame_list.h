#pragma once
// Transition tracks (TWipeFrameList): they show nothing themselves; in scene mode the film runs
// the scene's screen transition from them (TFilmManager::ShowFrame).
#include "components/films/frame_list.h"

namespace nova {

class TCustomWipe;

class TWipeFrameList : public TCustomFrameList {
public:
  explicit TWipeFrameList(TFilmManager& film);
  int TrackType() const override { return FT_WIPE; }
  bool ShowAt(int32_t /*n*/) override { return false; }
  void ReadTrack(const TFilmTrack& track, const std::string& folder) override;
  int32_t WipeType() const { return data_.WipeType; }
  bool Reverse() const { return data_.Reverse != 0; }
  // The mask name resolved against the film's folder (empty when none is stored).
  const std::string& MaskName() const { return fileName_; }
  // Parameters, mask and Prepare on a transition this track has just started.
  void SetUp(TCustomWipe& wipe) const;
};

}  // namespace nova
