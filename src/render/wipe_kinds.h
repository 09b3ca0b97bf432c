#pragma once
// The members of the transition family, by family. Create them through CreateWipe
// (wipes.h); the classes are visible for tests and for owners that want a member's own data
// (a mask, a distance table).
#include <cstdint>
#include <vector>

#include "render/wipes.h"

namespace nova {

// ---------------------------------------------------------------------------------------------
// Mask members: stripes and cells (wipe_stripes.cpp)

// Vertical stripes of width w (parameter 0) opening with softness s (parameter 1).
class TWipeBlindH : public TWipeMask {
public:
  using TWipeMask::TWipeMask;
  bool RenderMask() override;
  int MaskHeight() override { return 1; }
};

// Horizontal stripes: the same per row of a band of w rows.
class TWipeBlindV : public TWipeMask {
public:
  using TWipeMask::TWipeMask;
  bool RenderMask() override;
  int MaskHeight() override;
};

// Columns in blocks of w, each block opening column by column: a curtain drawn across.
class TWipeOrderHMask : public TWipeMask {
public:
  using TWipeMask::TWipeMask;
  // Both parameters at least 1.
  void SetParam(int index, int32_t value) override;
  bool RenderMask() override;
  int MaskHeight() override { return 1; }

protected:
  // The per-position values of one line of `length` positions into out.
  bool RenderLine(int length, std::vector<uint8_t>& out);
  std::vector<uint8_t> line_;
};

class TWipeCurtainH : public TWipeOrderHMask {
public:
  using TWipeOrderHMask::TWipeOrderHMask;
};

// The same per row over the full height.
class TWipeOrderVMask : public TWipeOrderHMask {
public:
  using TWipeOrderHMask::TWipeOrderHMask;
  bool RenderMask() override;
  int MaskHeight() override;
};

class TWipeCurtainV : public TWipeOrderVMask {
public:
  using TWipeOrderVMask::TWipeOrderVMask;
};

// Cells of w x w pixels, each opening as a growing centred square; the delay of a cell is its
// rounded distance from the top-left cell.
class TWipeGrid : public TWipeMask {
public:
  using TWipeMask::TWipeMask;
  bool RenderMask() override;

protected:
  int Columns() { return (W() + CellSide() - 1) / CellSide(); }
  int Rows() { return (H() + CellSide() - 1) / CellSide(); }
  int CellSide() { return params_[0]; }
  // The cell's distance d (the delay is 4 d) and the total D / 4.
  virtual int CellDistance(int row, int column);
  virtual int TotalDistance();
};

// Delay by column.
class TWipeGridH : public TWipeGrid {
public:
  using TWipeGrid::TWipeGrid;
  int MaskHeight() override;

protected:
  int CellDistance(int row, int column) override;
  int TotalDistance() override;
};

// Delay by row.
class TWipeGridV : public TWipeGrid {
public:
  using TWipeGrid::TWipeGrid;

protected:
  int CellDistance(int row, int column) override;
  int TotalDistance() override;
};

// ---------------------------------------------------------------------------------------------
// Mask members: patterns and pictures (wipe_patterns.cpp)

// A fixed random order of the pixels of a 64 x 64 tile.
class TWipeDither : public TWipeMask {
public:
  using TWipeMask::TWipeMask;
  void Prepare() override;
  bool RenderMask() override;
  int MaskHeight() override { return 64; }
  const std::vector<uint16_t>& Order() const { return order_; }

private:
  std::vector<uint16_t> order_;  // 4096 tile positions
  std::vector<uint8_t> tile_;    // 64 x 64
};

// WP_MASKFADE: bright areas of the mask picture change first.
class TWipeShadow : public TWipeMask {
public:
  using TWipeMask::TWipeMask;
  void Prepare() override;
  bool RenderMask() override;
  const std::vector<uint8_t>& Grey() const { return grey_; }

private:
  std::vector<uint8_t> grey_;
};

// Square blocks of side max(10, parameter 0) (at most W and H) switching one after another.
class TWipeBlockCoil : public TWipeMask {
public:
  using TWipeMask::TWipeMask;
  // Both parameters are stored as they are.
  void SetParam(int index, int32_t value) override;
  void Prepare() override;
  bool RenderMask() override;
  const std::vector<TRect>& Blocks() const { return blocks_; }

protected:
  // The blocks in row order.
  std::vector<TRect> RowBlocks();
  virtual void OrderBlocks();
  std::vector<TRect> blocks_;
  int32_t filledFrom_ = 0, filledTo_ = 0;  // [from, to) of blocks_ currently in the mask
};

// The blocks in a random order.
class TWipeBlockRandom : public TWipeBlockCoil {
public:
  using TWipeBlockCoil::TWipeBlockCoil;

protected:
  void OrderBlocks() override;
};

// ---------------------------------------------------------------------------------------------
// Mask members: shapes about the screen's centre (wipe_shapes.cpp)

// The direction of every pixel centre about the screen's centre, in 1/65536 of a turn (0 = up,
// clockwise), built once for the pie-shaped masks.
class TWipeDirections {
public:
  void Build(int width, int height);
  // Fills the mask: 255 where (angle - start) mod 65536 < sweep for one of the (start, sweep)
  // pairs (at most two; a sweep of 65536 or more covers everything), 0 elsewhere.
  void Fill(TDIBX& mask, const std::vector<std::pair<uint32_t, int64_t>>& sectors) const;
  const std::vector<uint16_t>& Angles() const { return angles_; }
  // Degrees as a direction in 1/65536 of a turn.
  static uint32_t FromDegrees(int32_t degrees);

private:
  int width_ = 0, height_ = 0;
  std::vector<uint16_t> angles_;
};

// A binary mask of pie sectors about the screen's centre, drawn from the pixel directions built
// once when the transition starts.
class TWipeSectors : public TWipeMask {
public:
  using TWipeMask::TWipeMask;
  void Prepare() override;

protected:
  TWipeDirections directions_;
};

// A hand sweeping round from parameter 0 degrees (0 = up), clockwise (reversed: counter-).
class TWipeClockhand : public TWipeSectors {
public:
  using TWipeSectors::TWipeSectors;
  bool RenderMask() override;
};

// A fan opening both ways about parameter 0 degrees.
class TWipeFan : public TWipeSectors {
public:
  using TWipeSectors::TWipeSectors;
  bool RenderMask() override;
};

// Two fans, about parameter 0 degrees and the opposite direction.
class TWipeWFan : public TWipeSectors {
public:
  using TWipeSectors::TWipeSectors;
  bool RenderMask() override;
};

// A growing disc of the new picture (reversed: a shrinking disc of the old one).
class TWipeCircle : public TWipeMask {
public:
  using TWipeMask::TWipeMask;
  bool RenderMask() override;
};

// ---------------------------------------------------------------------------------------------
// Light and blends (wipe_lights.cpp)

// A plain member: one step drawing, nothing else of its own.
#define NOVA_PLAIN_WIPE(Name)      \
  class Name : public TCustomWipe { \
  public:                          \
    using TCustomWipe::TCustomWipe; \
                                   \
  protected:                       \
    void DrawStep() override;      \
  }

NOVA_PLAIN_WIPE(TWipeFade);
NOVA_PLAIN_WIPE(TWipeWhite);
NOVA_PLAIN_WIPE(TWipeBlack);
NOVA_PLAIN_WIPE(TWipeFlash);

// WP_MASKWHITE: each pixel brightens to white and comes back as the new picture, in the order
// of the mask picture's grey levels.
class TWipeShadowWhite : public TCustomWipe {
public:
  using TCustomWipe::TCustomWipe;
  void Prepare() override;
  const std::vector<uint8_t>& Grey() const { return grey_; }

protected:
  void DrawStep() override;
  virtual bool Darkens() const { return false; }
  std::vector<uint8_t> grey_;
};

// A kind that passes through white, made to pass through black instead.
template <typename TWhite>
class TThroughBlack : public TWhite {
public:
  using TWhite::TWhite;

protected:
  bool Darkens() const override { return true; }
};

// WP_MASKBLACK: the same through black.
using TWipeShadowBlack = TThroughBlack<TWipeShadowWhite>;

// Blurs the old picture, brightens it to white, comes back as the blurred new picture and
// sharpens it.
class TWipeBlurWhite : public TCustomWipe {
public:
  TWipeBlurWhite(TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to);
  TDIBX& BlurredFrom() { return blurFrom_; }
  TDIBX& BlurredTo() { return blurTo_; }

protected:
  void DrawStep() override;
  virtual bool Darkens() const { return false; }
  TDIBX blurFrom_, blurTo_;
};

// The same through black.
using TWipeBlurBlack = TThroughBlack<TWipeBlurWhite>;

// A bright ring travelling out from the centre (reversed: in from the corners); the picture
// switches under its peak.
class TWipeSpot : public TCustomWipe {
public:
  TWipeSpot(TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to);
  // Rebuilds the distance table.
  void SetReverse(uint8_t reverse) override;
  const std::vector<uint16_t>& Distances() const { return distance_; }
  double Radius() const { return radius_; }

protected:
  void DrawStep() override;

private:
  void BuildTable();
  std::vector<uint16_t> distance_;
  double radius_ = 0;
};

// Box blur of radius r over a whole picture into out (same size and bit count): every
// channel the truncated average of the (2r + 1) x (2r + 1) square's pixels that lie inside.
void BoxBlur(TCustomDIBX& picture, TDIBX& out, int radius);

// ---------------------------------------------------------------------------------------------
// Moving pictures (wipe_moves.cpp)

NOVA_PLAIN_WIPE(TWipeScrollH);
NOVA_PLAIN_WIPE(TWipeScrollV);
// One column (SUDAREV: row) of the picture pulled across the screen like a bamboo blind.
NOVA_PLAIN_WIPE(TWipeSudareH);
NOVA_PLAIN_WIPE(TWipeSudareV);
// As SUDARE with a strip that narrows to one column at the middle of the time and widens again.
NOVA_PLAIN_WIPE(TWipeRubberH);
NOVA_PLAIN_WIPE(TWipeRubberV);
// The old picture shrinks and turns away over the new one.
NOVA_PLAIN_WIPE(TWipeSmall);
// The new picture grows and turns in over the old one.
NOVA_PLAIN_WIPE(TWipeBig);
// Rows (TWISTV: columns) turning over like slats, the old picture on their front.
NOVA_PLAIN_WIPE(TWipeTwistH);
NOVA_PLAIN_WIPE(TWipeTwistV);

class TWipeMosaic : public TCustomWipe {
public:
  using TCustomWipe::TCustomWipe;

protected:
  void DrawStep() override;

private:
  TDIBX scratch_;
};

// Zooms into the point (parameter 0, parameter 1) of the old picture and out of the new one.
class TWipeZoomin : public TCustomWipe {
public:
  using TCustomWipe::TCustomWipe;
  // The source rectangle stretched over the screen at the current time, and whether it is
  // taken from the old picture.
  TRect SourceRect(bool& fromOld);

protected:
  void DrawStep() override;
};

#undef NOVA_PLAIN_WIPE

// ---------------------------------------------------------------------------------------------
// Ripple and falling chips (wipe_ripple.cpp, wipe_crack.cpp)

class TWipeRipple : public TCustomWipe {
public:
  TWipeRipple(TCustomDIBX* destination, TCustomDIBX* from, TCustomDIBX* to);
  // Index 0 (the ring's amplitude) rebuilds the profile.
  void SetParam(int index, int32_t value) override;
  const std::vector<int32_t>& Profile() const { return profile_; }

protected:
  void DrawStep() override;

private:
  void BuildProfile();
  template <typename Pixel>
  void StepTyped(int pos);
  void StepPerPixel(int pos);
  int wq_ = 0, hq_ = 0, ringWidth_ = 0, reach_ = 0;
  std::vector<uint16_t> distance_;  // per quarter pixel
  std::vector<int32_t> cos_, sin_;  // x 65536
  std::vector<int32_t> profile_;
};

// One falling chip: its place, speed and start.
class TWipeCrackDraw {
public:
  TRect Place;        // where it lies in the picture
  int32_t Speed = 0;  // horizontal, -100 .. 99
  int32_t Start = 0;  // the time step it starts falling at
  bool Dropped = false;
};

class TWipeCrack : public TCustomWipe {
public:
  using TCustomWipe::TCustomWipe;
  // Index 0 cuts the screen into chips of side max(16, value) in a new random order.
  void SetParam(int index, int32_t value) override;
  const std::vector<TWipeCrackDraw>& Chips() const { return chips_; }
  // The first k whose fall (5k^2 - 1500k) / 1000 reaches the screen height.
  int32_t FallSteps() const;
  // The fall of a chip k steps after its start.
  static int64_t FallY(int64_t k) { return (5 * k * k - 1500 * k) / 1000; }

protected:
  void DrawStep() override;

private:
  void Cut();
  std::vector<TWipeCrackDraw> chips_;
};

}  // namespace nova
