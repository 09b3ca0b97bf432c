#pragma once
// The arithmetic of the fire effect, apart from the object: the decay and map tables, the
// random, column and row tables with their two cursors, one step of the cellular fire over an
// 8-bit index image, and the fire palettes of 15-, 16- and 32-bit draw surfaces.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace nova {

// The largest fire image: as for pictures (a script asking for 100000 x 100000 would take
// ten gigabytes); a fire beyond it has no image and draws nothing.
constexpr int32_t kMaxFireSide = 16384;
constexpr int64_t kMaxFirePixels = int64_t{1} << 24;
bool FireImageFits(int64_t width, int64_t height);

// The stored index every fire pixel keeps at least; the image's transparent value.
constexpr uint8_t kFireFloor = 16;
// The value of the lit bottom rows.
constexpr uint8_t kFireHot = 254;
// The decay x of a new fire, and the one of a strength 0..255: a stronger fire decays less.
constexpr double kNewFireDecay = 4.5;
double FireDecayOf(int32_t strength);

struct TFireTables {
  std::array<uint8_t, 1024> Decay{};  // D[s] for the sum s of four neighbours
  std::array<uint8_t, 256> Map{};     // M[v]: v held to at least the floor
  std::vector<uint8_t> Random;        // R: one value 0..8 per image pixel
  std::vector<uint8_t> Columns;       // X[i] = i mod width, as a byte; 2 x width entries
  std::vector<uint8_t> Rows;          // Y[i] = i mod height, as a byte; 2 x height entries
  int32_t RowCursor = 0, ColumnCursor = 0;
  int32_t Width = 0, Height = 0;

  // D[s] = min(254, nearest(s / (x - 0.05 t^3))) with t = (1023 - s) / 1023.
  void BuildDecay(double x);
  // A new image of width x height: R drawn from random(9) (a uniform integer 0..8), X and Y,
  // both cursors 0 and the map.
  void Reset(int32_t width, int32_t height, const std::function<int32_t(int32_t)>& random);
};

// One step over the image (row 0 at the top, pitch bytes from row to row): the cursors move,
// the bottom 4 rows are lit, and every inner pixel from the top down becomes the decayed sum of
// itself, its two lower neighbours and the pixel two rows below, less a random value.
void FireStep(uint8_t* bits, int32_t pitch, TFireTables& t);

// The palettes: 256 pixel values of the red-orange-yellow gradient (index 0 black).
const std::array<uint32_t, 256>& FirePalette32();   // 0x00RRGGBB
const std::array<uint32_t, 256>& FirePalette565();  // 5-6-5
const std::array<uint32_t, 256>& FirePalette555();  // 5-5-5, for 15-bit surfaces
// The table of a draw surface's bit count (15, 16 or 32), or null for any other count.
const uint32_t* FirePaletteFor(int bitCount);
// The gradient's colour of an index as (red, green, blue).
std::array<uint8_t, 3> FireGradient(int index);

}  // namespace nova
