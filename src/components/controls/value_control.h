#pragma once
// What the value controls (slider, scroll bar, gauge) share: a picture of equal cells side by
// side taken from the image cache, drawn cell by cell repeated along a bar, and the clamped
// and scaled arithmetic of values over a range that may be empty or span the whole int32 range.
#include <cstdint>
#include <string>

#include "base/geometry.h"
#include "components/images/nova_image_list.h"

namespace nova {

class TCustomDIBX;

// Bars are limited to this many pixels, so that every position along them and the control's
// size stay inside 32 bits.
constexpr int32_t kMaxBarLength = 1 << 24;

class TCellPicture {
public:
  TCellPicture(TBrioCollection* cache, int cells) : list_(cache), cells_(cells) {}

  const std::string& Source() const { return source_; }
  // Takes the first frame of the file from the cache (a damaged file raises the image error
  // and leaves the picture empty).
  void Load(const std::string& name);
  // The same, but a file that cannot be read leaves the picture empty (saved data).
  void LoadQuietly(const std::string& name);
  bool Empty() const { return list_.Count() == 0; }
  int32_t CellWidth() const;  // the picture width / cells, truncated
  int32_t Height() const;
  TCustomDIBX* Surface();
  TCustomDIBX* Mask();
  // Whether the pixel (x, y) of a cell is opaque by the mask: true without a mask, false outside.
  bool MaskHit(int cell, int32_t x, int32_t y);
  bool HasMask() { return Mask() != nullptr; }

  // Repeats a cell over run (target coordinates) along the bar: tiles of the cell length start
  // at origin (x for horizontal bars, y for vertical ones) and the cell's top-left lies on the
  // run's across edge.
  void DrawRun(TCustomDIBX& target, int cell, const TRect& run, int32_t origin, bool vertical, int32_t blend);
  // One whole cell at (x, y).
  void DrawCell(TCustomDIBX& target, int cell, int32_t x, int32_t y, int32_t blend);

private:
  std::string source_;
  TNovaImageList list_;
  int cells_;
};

// v clamped to min..max; min wins when max < min.
int32_t ClampToRange(int64_t v, int32_t min, int32_t max);
// part / range * length rounded to the nearest integer (0 for an empty range), in 64 bits.
int64_t ScaleRounded(int64_t part, int64_t range, int64_t length);

}  // namespace nova
