#pragma once
// The process-wide cache of decoded layered images (TBrioCollection). Every image object takes
// its frames from here: an item is decoded once per file and variant and shared by all its
// users (image objects and frame lists), and freed when the last user leaves. The key is the
// file name followed by "?m" when every frame needs a mask and by "?t" when each frame keeps
// its offset inside the full picture.
//
// Frames are surfaces at the screen's bit depth with the frame's transparent colour as colour
// key. A file the game does not have becomes one 8 x 8 frame of pixel 0 keyed on 0, so it shows
// nothing; a damaged file raises the image error naming the file.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/hash_collection.h"
#include "render/dibx.h"

namespace nova {

class TNovaBaseList;
struct TComponentServices;

struct TBrioItemFrame {
  // The records and their surfaces stay in place while the item lives (rebuilds draw into
  // them again), so users may keep pointers to them.
  TDIBX Surface;      // its Transparent is the colour key (-1: none)
  TDIBX MaskSurface;  // 8 bits, used when HasMask
  bool HasMask = false;
  int32_t TransparentColor = -1;
  int32_t Duration = 1;         // milliseconds, at least 1
  int32_t OffsetX = 0, OffsetY = 0;  // with "?t"
  // Counts the rebuilds of the picture, so that copies made from it (brightness) are redone.
  uint32_t Generation = 0;

  TDIBX* Mask() { return HasMask ? &MaskSurface : nullptr; }
};

class TBrioItem : public THashCollectionItem {
public:
  std::string FileName;  // without the variant suffixes
  bool KeepOffsets = false;
  bool MakeMasks = false;
  bool Missing = false;  // the game has no such file
  std::vector<const void*> Users;
  std::vector<std::unique_ptr<TBrioItemFrame>> Frames;
  int32_t Width = 0, Height = 0;  // of the first frame
  int32_t TotalDuration = 0;

  int FrameCount() const { return static_cast<int>(Frames.size()); }
};

class TBrioCollection : public THashCollection {
public:
  explicit TBrioCollection(const TComponentServices& services);
  ~TBrioCollection() override;

  static std::string CacheKey(const std::string& file, bool keepOffsets, bool makeMasks);

  // The item of a file and variant, decoded when absent; the user is added once. A damaged
  // file raises the image error and leaves no item behind.
  TBrioItem* AcquireImage(const void* user, const std::string& file, bool keepOffsets, bool makeMasks);
  // Removes the user from the items it uses; an item without users is freed.
  void ReleaseImage(const void* user);
  TBrioItem* FindImage(const std::string& key) const;

  // The dither flag (@CGDither). A new value rebuilds every item's frames and repaints both
  // screens whole.
  bool Dither() const { return dither_; }
  void SetDither(bool on);
  // Screen-mode change: the frame surfaces go; RestoreImageSurfaces decodes them again at the
  // current bit depth.
  void ReleaseImageSurfaces();
  void RestoreImageSurfaces();
  // A file was rewritten (a saved screen image): later acquisitions decode it anew, present
  // users keep the pictures they have.
  void DropImage(const std::string& file);

  // The depth of the frame surfaces (the screens'; 32 without a screen manager).
  void SetBitCount(int bits) { bits_ = bits; }
  int BitCount() const { return bits_; }
  // The scene whose screens a dither change repaints.
  void SetScene(TNovaBaseList* scene) { scene_ = scene; }

  TBrioItem* Image(int i) const { return static_cast<TBrioItem*>(Item(i)); }
  uint64_t Decodes() const { return decodes_; }  // files decoded so far (tests)

private:
  // Fills the item's frames from its file (reusing the frame records it has).
  void Decode(TBrioItem& item);
  void Rebuild();

  const TComponentServices& services_;
  TNovaBaseList* scene_ = nullptr;
  bool dither_ = false;
  int bits_ = 32;
  uint64_t decodes_ = 0;
};

}  // namespace nova
