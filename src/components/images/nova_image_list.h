#pragma once
// The frames an image shows (TNovaImageList of TNovaImageData), taken from one item of the
// image cache. A frame shows the shared picture, or for a brightness other than 0 a private
// copy with the brightness added (or subtracted), its colour key moved along so that
// transparent pixels stay transparent. A list also keeps its own index and countdown for the
// looping animations of map images and preview menus.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/images/brio_collection.h"

namespace nova {

class TNovaImageData {
public:
  explicit TNovaImageData(TBrioItemFrame* frame) : frame_(frame) {}

  TBrioItemFrame& Frame() const { return *frame_; }
  // The picture for a brightness (0: the shared one), making the copy when needed.
  TCustomDIBX* Prepare(int32_t brightness);
  TCustomDIBX* Mask() const { return frame_->Mask(); }
  int32_t Duration() const { return frame_->Duration; }

private:
  TBrioItemFrame* frame_;  // shared, owned by the cache item
  std::unique_ptr<TDIBX> copy_;
  int32_t copyBrightness_ = 0;
  uint32_t copyGeneration_ = 0;
};

// A copy of the picture with the brightness applied (the plain reference of Prepare).
void ApplyBrightness(TCustomDIBX& source, TDIBX& copy, int32_t brightness);

class TNovaImageList {
public:
  explicit TNovaImageList(TBrioCollection* cache) : cache_(cache) {}
  ~TNovaImageList();
  TNovaImageList(const TNovaImageList&) = delete;
  TNovaImageList& operator=(const TNovaImageList&) = delete;

  // Takes the frames of a file from the cache (raises the image error of a damaged file,
  // leaving the list empty).
  void Load(const std::string& file, bool keepOffsets, bool makeMasks);
  // Gives the frames back to the cache.
  void Clear();

  int Count() const { return static_cast<int>(frames_.size()); }
  TNovaImageData& Data(int i) { return *frames_[static_cast<size_t>(i)]; }
  TBrioItem* Item() const { return item_; }

  // The looping animation: index and countdown of the list's own.
  int32_t Index = 0;
  int32_t Countdown = 0;
  void Restart();
  // Advances by the elapsed time, wrapping to frame 0; true when the index changed.
  bool StepLoop(uint32_t elapsedMs);

private:
  TBrioCollection* cache_;
  TBrioItem* item_ = nullptr;
  std::vector<std::unique_ptr<TNovaImageData>> frames_;
};

}  // namespace nova
