#include "components/effects/fire_tables.h"

#include <algorithm>
#include <cmath>

namespace nova {

bool FireImageFits(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxFireSide && height <= kMaxFireSide &&
         width * height <= kMaxFirePixels;
}

double FireDecayOf(int32_t strength) { return (128.0 - strength) / 128.0 * 1.2825 + 4.2175; }

void TFireTables::BuildDecay(double x) {
  for (int s = 0; s < 1024; ++s) {
    const double t = (1023.0 - s) / 1023.0;
    const double v = std::nearbyint(s / (x - 0.05 * t * t * t));
    Decay[static_cast<size_t>(s)] = static_cast<uint8_t>(std::clamp(v, 0.0, 254.0));
  }
}

void TFireTables::Reset(int32_t width, int32_t height, const std::function<int32_t(int32_t)>& random) {
  Width = std::max(width, 0);
  Height = std::max(height, 0);
  const size_t w = static_cast<size_t>(Width), h = static_cast<size_t>(Height);
  Random.resize(w * h);
  for (uint8_t& r : Random) r = static_cast<uint8_t>(std::clamp(random ? random(9) : 0, 0, 8));
  Columns.resize(2 * w);
  for (size_t i = 0; i < Columns.size(); ++i) Columns[i] = static_cast<uint8_t>(i % w);
  Rows.resize(2 * h);
  for (size_t i = 0; i < Rows.size(); ++i) Rows[i] = static_cast<uint8_t>(i % h);
  RowCursor = ColumnCursor = 0;
  for (int v = 0; v < 256; ++v) Map[static_cast<size_t>(v)] = static_cast<uint8_t>(std::max(v, int{kFireFloor}));
}

void FireStep(uint8_t* bits, int32_t pitch, TFireTables& t) {
  const int32_t w = t.Width, h = t.Height;
  if (!bits || w <= 0 || h <= 0 || t.Random.size() < static_cast<size_t>(w) * static_cast<size_t>(h)) return;
  // The cursors stay below 256 and below the size, so every index below stays in its table.
  const uint8_t* X = t.Columns.data();
  const uint8_t* Y = t.Rows.data();
  t.RowCursor = Y[t.RowCursor + 1];
  t.ColumnCursor = (t.RowCursor % 8 == 0) ? X[t.ColumnCursor + 1] : X[t.ColumnCursor];
  const int32_t r = t.RowCursor, c = t.ColumnCursor;
  auto row = [&](int32_t y) { return bits + static_cast<intptr_t>(y) * pitch; };
  for (int32_t y = std::max(0, h - 4); y < h; ++y) std::fill(row(y), row(y) + w, kFireHot);
  const uint8_t* D = t.Decay.data();
  const uint8_t* M = t.Map.data();
  const uint8_t* R = t.Random.data();
  for (int32_t y = 0; y <= h - 3; ++y) {
    uint8_t* p = row(y);
    const uint8_t* below = row(y + 1);
    const uint8_t* below2 = row(y + 2);
    const uint8_t* randomRow = R + static_cast<size_t>(Y[r + y + 1]) * static_cast<size_t>(w);
    const uint8_t* cols = X + c;
    for (int32_t x = 1; x <= w - 2; ++x) {
      const int s = below[x - 1] + below[x + 1] + p[x] + below2[x];
      // Every pixel is at least 16, so D[s] >= 8 and v >= 0; the map holds the floor again.
      const int v = D[s] - randomRow[cols[x]];
      p[x] = M[static_cast<uint8_t>(std::max(v, 0))];
    }
  }
}

namespace {

struct TFireAnchor {
  int Index;
  uint8_t R, G, B;
};
constexpr TFireAnchor kFireAnchors[] = {{0, 0, 0, 0},        {32, 102, 39, 3},    {112, 213, 97, 7},
                                        {160, 243, 157, 13}, {192, 255, 192, 55}, {255, 255, 230, 175}};

template <class F>
std::array<uint32_t, 256> FireTable(F&& pack) {
  std::array<uint32_t, 256> t{};
  for (int i = 0; i < 256; ++i) {
    const auto c = FireGradient(i);
    t[static_cast<size_t>(i)] = pack(c[0], c[1], c[2]);
  }
  return t;
}

}  // namespace

std::array<uint8_t, 3> FireGradient(int index) {
  index = std::clamp(index, 0, 255);
  size_t k = 1;
  while (k + 1 < std::size(kFireAnchors) && kFireAnchors[k].Index < index) ++k;
  const TFireAnchor& a = kFireAnchors[k - 1];
  const TFireAnchor& b = kFireAnchors[k];
  const int span = b.Index - a.Index, at = index - a.Index;
  auto mix = [&](uint8_t from, uint8_t to) { return static_cast<uint8_t>(from + (to - from) * at / span); };
  return {mix(a.R, b.R), mix(a.G, b.G), mix(a.B, b.B)};
}

const std::array<uint32_t, 256>& FirePalette32() {
  static const auto t = FireTable([](uint32_t r, uint32_t g, uint32_t b) { return r << 16 | g << 8 | b; });
  return t;
}

const std::array<uint32_t, 256>& FirePalette565() {
  static const auto t =
      FireTable([](uint32_t r, uint32_t g, uint32_t b) { return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3; });
  return t;
}

const std::array<uint32_t, 256>& FirePalette555() {
  // From the 5-6-5 table: red stays, the top 5 green bits, blue stays.
  static const auto t = [] {
    std::array<uint32_t, 256> out{};
    const auto& wide = FirePalette565();
    for (size_t i = 0; i < 256; ++i) {
      const uint32_t p = wide[i];
      out[i] = (p >> 11) << 10 | ((p >> 6) & 0x1F) << 5 | (p & 0x1F);
    }
    return out;
  }();
  return t;
}

const uint32_t* FirePaletteFor(int bitCount) {
  switch (bitCount) {
    case 15: return FirePalette555().data();
    case 16: return FirePalette565().data();
    case 32: return FirePalette32().data();
    default: return nullptr;
  }
}

}  // namespace nova
