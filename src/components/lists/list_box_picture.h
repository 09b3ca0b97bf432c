#pragma once
// The pictures of a list box: the nine border cells, the scroll bar and the check marks. Each
// is a looping frame list from the image cache; a name the game has no file for leaves the
// picture empty (0 x 0) rather than showing the cache's placeholder. Drawing helpers apply a
// display object's blend value (0..254 blend, 255 opaque, 256..511 additive with factor
// value - 256) to a part of a picture or to a picture repeated over a rectangle.
#include <cstdint>
#include <string>

#include "base/geometry.h"
#include "components/images/nova_image_list.h"

namespace nova {

struct TComponentServices;

class TListBoxPicture {
public:
  explicit TListBoxPicture(TBrioCollection* cache) : list_(cache) {}

  const std::string& Source() const { return source_; }
  // Takes the frames of the file when the game has it (a damaged file raises the image error
  // after the picture has been emptied).
  void Load(const std::string& name, TComponentServices& services);
  bool Empty() const { return list_.Count() == 0; }
  // The size of the first frame (0 x 0 when empty).
  int32_t Width() const;
  int32_t Height() const;
  // The current frame of the loop, or null when empty.
  TCustomDIBX* Surface();
  TCustomDIBX* Mask();
  // Advances the loop; true when the shown frame changed.
  bool Step(uint32_t elapsedMs) { return list_.StepLoop(elapsedMs); }

private:
  std::string source_;
  TNovaImageList list_;
};

// Draws srcRect of the picture at (x, y), mirrored as asked: DrawMask/Draw at 255,
// DrawAddMask/DrawAdd with blend - 256 above, DrawAlphaMask/DrawAlpha below (keyed when the
// picture has a colour key).
void DrawPicturePart(TCustomDIBX& target, int32_t x, int32_t y, const TRect& srcRect, TCustomDIBX* picture,
                     TCustomDIBX* mask, int32_t blend, bool flipV = false, bool flipH = false);

// Repeats the picture over rect, the pattern's origin at (originX, originY) relative to the
// rectangle's top-left: PatternFill when opaque, unkeyed and unmasked, else PatternDrawMask or
// PatternDraw with the blend value.
void PatternPicture(TCustomDIBX& target, const TRect& rect, int32_t originX, int32_t originY, TCustomDIBX* picture,
                    TCustomDIBX* mask, int32_t blend);

// Where a pattern starts inside a cell of cellSize for an image of imageSize: alignment 0 at
// the cell's start, 1 centred, 2 ending at the cell's end.
int32_t AlignedPatternStart(int32_t cellSize, int32_t imageSize, uint8_t align);

}  // namespace nova
