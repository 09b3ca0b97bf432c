// Mask members of stripes and cells: blinds, curtains and grids. Each quantises the time to a
// progress value b and renders the mask only when b changes.
#include <algorithm>
#include <cmath>

#include "render/wipe_kinds.h"
#include "render/wipe_math.h"

namespace nova {

using wipe::SoftValue;

// ---------------------------------------------------------------------------------------------
// Blinds: w = stripe width (parameter 0), s = softness (parameter 1). Position i of a stripe
// opens after the delay 2 i (reversed: 2 (w - 1 - i)), over s steps of b.

namespace {

int BlindDelay(int i, int w, bool reversed) { return 2 * (reversed ? w - 1 - i : i); }

}  // namespace

bool TWipeBlindH::RenderMask() {
  const int w = params_[0], s = params_[1];
  binary_ = s < 2;
  const int64_t b = Scaled(int64_t{s} + 2 * int64_t{w} - 2);
  if (!NewProgress(b)) return false;
  uint8_t* row = MaskRow(0);
  for (int x = 0; x < W(); ++x) row[x] = SoftValue(b - BlindDelay(x % w, w, reverse_), s);
  return true;
}

int TWipeBlindV::MaskHeight() { return std::max(params_[0], 2); }

bool TWipeBlindV::RenderMask() {
  const int w = params_[0], s = params_[1];
  const int64_t b = Scaled(int64_t{s} + 2 * int64_t{w} - 2);
  if (!NewProgress(b)) return false;
  bool onlyEnds = true;
  for (int y = 0; y < mask_.GetHeight(); ++y) {
    uint8_t v = y < w ? SoftValue(b - BlindDelay(y, w, reverse_), s) : 0;
    onlyEnds = onlyEnds && (v == 0 || v == 255);
    std::memset(MaskRow(y), v, static_cast<size_t>(W()));
  }
  binary_ = s < 2 && onlyEnds;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Curtains: positions in blocks of w (parameter 0); position i (counted from the far end when
// reversed) opens after g = 16 (i / w + i mod w), over s (parameter 1) steps of
// b = ((ceil(L / w) + w - 2) x 16 + s) x elapsed / duration.

void TWipeOrderHMask::SetParam(int index, int32_t value) { TCustomWipe::SetParam(index, std::max(value, 1)); }

bool TWipeOrderHMask::RenderLine(int length, std::vector<uint8_t>& out) {
  const int w = params_[0], s = params_[1];
  binary_ = s < 2;
  const int64_t blocks = (int64_t{length} + w - 1) / w;
  const int64_t b = Scaled((blocks + w - 2) * 16 + s);
  if (!NewProgress(b)) return false;
  out.resize(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i) {
    int p = reverse_ ? length - 1 - i : i;
    int64_t g = 16 * (int64_t{p / w} + p % w);
    out[static_cast<size_t>(i)] = SoftValue(b - g, s);
  }
  return true;
}

bool TWipeOrderHMask::RenderMask() {
  if (!RenderLine(W(), line_)) return false;
  std::memcpy(MaskRow(0), line_.data(), line_.size());
  return true;
}

int TWipeOrderVMask::MaskHeight() { return H(); }

bool TWipeOrderVMask::RenderMask() {
  if (!RenderLine(H(), line_)) return false;
  for (int y = 0; y < mask_.GetHeight(); ++y) std::memset(MaskRow(y), line_[static_cast<size_t>(y)], W());
  return true;
}

// ---------------------------------------------------------------------------------------------
// Grids: cells of w x w (parameter 0); a cell with delay h = 4 d shows a centred square of side
// min(w, w (b - h) / s) and value min(255, (b - h) 255 / s), with b = (s + D - 4) x elapsed /
// duration and D = 4 x the total distance.

int TWipeGrid::CellDistance(int row, int column) {
  if (reverse_) row = Rows() - 1 - row, column = Columns() - 1 - column;
  return wipe::Round(std::hypot(row, column));
}

int TWipeGrid::TotalDistance() { return wipe::Round(std::hypot(Rows() - 1, Columns() - 1)); }

int TWipeGridH::MaskHeight() { return std::min(std::max(params_[0], 2), H()); }

int TWipeGridH::CellDistance(int, int column) { return reverse_ ? Columns() - 1 - column : column; }

int TWipeGridH::TotalDistance() { return Columns(); }

int TWipeGridV::CellDistance(int row, int) { return reverse_ ? Rows() - 1 - row : row; }

int TWipeGridV::TotalDistance() { return Rows(); }

bool TWipeGrid::RenderMask() {
  const int w = CellSide(), s = params_[1];
  binary_ = s < 2;
  const int64_t total = 4 * int64_t{TotalDistance()};
  const int64_t b = Scaled(s + total - 4);
  if (!NewProgress(b)) return false;
  mask_.Fill(0);
  // Only the cell rows the mask holds (GridH: one band, repeated down the screen).
  const int rows = std::min(Rows(), (mask_.GetHeight() + w - 1) / w);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < Columns(); ++c) {
      const int64_t h = 4 * int64_t{CellDistance(r, c)};
      if (b < h) continue;
      const int side = static_cast<int>(std::min<int64_t>(w, w * (b - h) / s));
      if (side <= 0) continue;
      const int off = (w - side) / 2;
      wipe::FillMask(mask_, TRect::FromSize(c * w + off, r * w + off, side, side), SoftValue(b - h, s));
    }
  return true;
}

}  // namespace nova
