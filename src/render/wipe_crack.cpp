// CRACK: the old picture breaks into square chips that jump and fall off the screen one after
// another, uncovering the new picture.
#include <algorithm>

#include "render/wipe_kinds.h"

namespace nova {

// Index 0 cuts the screen into chips of side max(16, parameter 0) and shuffles them with the
// run-time generator: the chips are taken from the row-ordered pool at Random(pool size)
// until it is empty, then every chip in that order draws its speed Random(200) - 100.
void TWipeCrack::SetParam(int index, int32_t value) {
  TCustomWipe::SetParam(index, value);
  if (index == 0) Cut();
}

void TWipeCrack::Cut() {
  const int side = std::max(16, params_[0]);
  std::vector<TRect> pool;
  for (int y = 0; y < H(); y += side)
    for (int x = 0; x < W(); x += side) pool.push_back(TRect{x, y, std::min(x + side, W()), std::min(y + side, H())});
  chips_.clear();
  while (!pool.empty()) {
    const int32_t n = static_cast<int32_t>(pool.size());
    const size_t i = static_cast<size_t>(std::clamp(Random()(n), 0, n - 1));
    TWipeCrackDraw chip;
    chip.Place = pool[i];
    chips_.push_back(chip);
    pool.erase(pool.begin() + static_cast<ptrdiff_t>(i));
  }
  for (auto& chip : chips_) chip.Speed = Random()(200) - 100;
}

int32_t TWipeCrack::FallSteps() const {
  int64_t k = 0;
  while (FallY(k) < H()) ++k;
  return static_cast<int32_t>(k);
}

// Chip j starts at step j x parameter 1; the time is scaled so that the last chip just
// leaves the screen at the end: steps = elapsed x (F + start of the last chip) / duration.
// k steps after its start a chip lies at its place plus (k v / 100, (5k^2 - 1500k) / 1000);
// once that fall reaches the screen height it is dropped for good.
void TWipeCrack::DrawStep() {
  StartFrom(to_);
  if (chips_.empty()) return;
  const int64_t lastStart = static_cast<int64_t>(chips_.size() - 1) * params_[1];
  const int64_t steps = Scaled(std::max<int64_t>(1, FallSteps() + lastStart));
  for (size_t j = 0; j < chips_.size(); ++j) {
    TWipeCrackDraw& chip = chips_[j];
    chip.Start = static_cast<int32_t>(static_cast<int64_t>(j) * params_[1]);
    if (chip.Dropped) continue;
    const int64_t k = std::max<int64_t>(0, steps - chip.Start);
    const int64_t dy = FallY(k);
    if (dy >= H()) {
      chip.Dropped = true;
      continue;
    }
    const int64_t dx = k * chip.Speed / 100;
    dest_->Draw(chip.Place.Left + static_cast<int>(dx), chip.Place.Top + static_cast<int>(dy), false, false, false,
                chip.Place, from_);
  }
}

}  // namespace nova
