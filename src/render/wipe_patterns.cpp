// Mask members of patterns and pictures: the dither tile, the mask picture (WP_MASKFADE) and
// the blocks switching in a coil or at random.
#include <algorithm>

#include "base/kt_random.h"
#include "render/wipe_kinds.h"
#include "render/wipe_math.h"

namespace nova {

// ---------------------------------------------------------------------------------------------
// Dither: the first n = elapsed x 4096 / duration positions of a fixed permutation of the
// 64 x 64 tile are new, the tile repeated over the screen. The permutation is the tool
// family's generator seeded 12341, so every run shows the same pattern.

void TWipeDither::Prepare() {
  TWipeMask::Prepare();
  binary_ = true;
  TKtRandom random(12341);
  random.Init(4096);
  order_.resize(4096);
  for (auto& p : order_) p = static_cast<uint16_t>(random.Next());
  tile_.assign(4096, 0);
}

bool TWipeDither::RenderMask() {
  const int64_t n = std::min<int64_t>(Scaled(4096), 4096);
  if (!NewProgress(n)) return false;
  // Past the half it is shorter to clear the positions still old.
  if (n > 2047) {
    std::fill(tile_.begin(), tile_.end(), 255);
    for (int64_t i = n; i < 4096; ++i) tile_[order_[static_cast<size_t>(i)]] = 0;
  } else {
    std::fill(tile_.begin(), tile_.end(), 0);
    for (int64_t i = 0; i < n; ++i) tile_[order_[static_cast<size_t>(i)]] = 255;
  }
  for (int y = 0; y < mask_.GetHeight(); ++y) {
    uint8_t* row = MaskRow(y);
    const uint8_t* t = tile_.data() + (y % 64) * 64;
    for (int x = 0; x < W(); ++x) row[x] = t[x % 64];
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Mask picture: b = elapsed x 512 / duration; a pixel of grey level g has the mask value
// clamp(b + g - 256, 0, 255), so bright areas change first.

void TWipeShadow::Prepare() {
  TWipeMask::Prepare();
  binary_ = false;
  grey_ = GreyLevels();
}

bool TWipeShadow::RenderMask() {
  const int64_t b = Scaled(512);
  if (!NewProgress(b)) return false;
  uint8_t value[256];
  for (int g = 0; g < 256; ++g) value[g] = static_cast<uint8_t>(std::clamp<int64_t>(b + g - 256, 0, 255));
  for (int y = 0; y < H(); ++y) {
    uint8_t* row = MaskRow(y);
    const uint8_t* g = grey_.data() + static_cast<size_t>(y) * static_cast<size_t>(W());
    for (int x = 0; x < W(); ++x) row[x] = value[g[x]];
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Blocks of side max(10, parameter 0), at most the screen's width and height. With k =
// (count - 1) x elapsed / duration the blocks 0 .. k of the order are new (reversed: the
// blocks from (count - 1) x (duration - elapsed) / duration to the last), so one block shows
// the new picture from the first step and the last one comes with the end. BLOCKRANDOM takes
// its reversed order from the end of the shuffled list as BLOCKCOIL does from its coil's end.

void TWipeBlockCoil::SetParam(int index, int32_t value) { TCustomWipe::SetParam(index, value); }

std::vector<TRect> TWipeBlockCoil::RowBlocks() {
  const int side = std::max(1, std::min({std::max(10, params_[0]), W(), H()}));
  std::vector<TRect> blocks;
  for (int y = 0; y < H(); y += side)
    for (int x = 0; x < W(); x += side) blocks.push_back(TRect{x, y, std::min(x + side, W()), std::min(y + side, H())});
  return blocks;
}

void TWipeBlockCoil::OrderBlocks() {
  const int side = std::max(1, std::min({std::max(10, params_[0]), W(), H()}));
  const int columns = (W() + side - 1) / side, rows = (H() + side - 1) / side;
  auto add = [&](int r, int c) {
    blocks_.push_back(TRect{c * side, r * side, std::min((c + 1) * side, W()), std::min((r + 1) * side, H())});
  };
  // Right along the top, down the right side, left along the bottom, up the left side, then
  // the same round the area that is left.
  int left = 0, top = 0, right = columns - 1, bottom = rows - 1;
  while (left <= right && top <= bottom) {
    for (int c = left; c <= right; ++c) add(top, c);
    ++top;
    for (int r = top; r <= bottom; ++r) add(r, right);
    --right;
    if (top <= bottom) {
      for (int c = right; c >= left; --c) add(bottom, c);
      --bottom;
    }
    if (left <= right) {
      for (int r = bottom; r >= top; --r) add(r, left);
      ++left;
    }
  }
}

// The row-ordered blocks are taken from the pool at Random(pool size) until it is empty.
void TWipeBlockRandom::OrderBlocks() {
  std::vector<TRect> pool = RowBlocks();
  while (!pool.empty()) {
    int32_t n = static_cast<int32_t>(pool.size());
    size_t i = static_cast<size_t>(std::clamp(Random()(n), 0, n - 1));
    blocks_.push_back(pool[i]);
    pool.erase(pool.begin() + static_cast<ptrdiff_t>(i));
  }
}

void TWipeBlockCoil::Prepare() {
  TWipeMask::Prepare();
  binary_ = true;
  blocks_.clear();
  OrderBlocks();
  filledFrom_ = filledTo_ = 0;
}

bool TWipeBlockCoil::RenderMask() {
  const int64_t last = static_cast<int64_t>(blocks_.size()) - 1;
  if (last < 0) return NewProgress(0);
  int32_t from = 0, to = 0;
  if (reverse_) {
    from = static_cast<int32_t>(last * (duration_ - elapsed_) / duration_);
    to = static_cast<int32_t>(last + 1);
  } else {
    to = static_cast<int32_t>(Scaled(last) + 1);
  }
  const bool first = lastProgress_ < 0;
  if (!first && from == filledFrom_ && to == filledTo_) return false;
  lastProgress_ = 0;
  auto fill = [&](int32_t a, int32_t b) {
    for (int32_t j = a; j < b; ++j) wipe::FillMask(mask_, blocks_[static_cast<size_t>(j)], 255);
  };
  // Only the newly reached blocks while the range grows at its moving end.
  if (!first && from == filledFrom_ && to > filledTo_) {
    fill(filledTo_, to);
  } else if (!first && to == filledTo_ && from < filledFrom_) {
    fill(from, filledFrom_);
  } else {
    mask_.Fill(0);
    fill(from, to);
  }
  filledFrom_ = from, filledTo_ = to;
  return true;
}

}  // namespace nova
