#pragma once
// Small surfaces for the render tests: pictures as text, surfaces from pixel lists, random
// surfaces for the comparisons of the fast and plain paths.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/dibx.h"

namespace nova::test {

// One character per pixel, rows ending in "\n": '.' for 0, else the low hex digit.
std::string Picture(TCustomDIBX& s);

// A surface of the given depth with the pixels row by row.
std::unique_ptr<TDIBX> Surface(int width, int height, int bits, const std::vector<uint32_t>& pixels);

// Every pixel, row by row.
std::vector<uint32_t> Pixels(TCustomDIBX& s);

// "Fast", "Reference" or "PerPixel", for test names.
std::string PathName(TBlitPath path);

// A deterministic generator for the property tests.
class Rng {
public:
  explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint32_t Next();
  int Range(int lo, int hi);  // lo .. hi inclusive
  bool Chance(int percent) { return Range(0, 99) < percent; }

private:
  uint64_t state_;
};

// Random pixels that favour the special values of the formulas: a handful of repeated
// colours (so that keys and S = D hits occur) and mask bytes 0 and 255.
std::unique_ptr<TDIBX> RandomSurface(Rng& rng, int width, int height, int bits);

}  // namespace nova::test

namespace nova::test {

// Runs op on copies of dest under every blit path and reports the first path whose pixels
// differ from the per-pixel path ("" when all agree); *changed tells whether op changed any
// pixel. Leaves the fast path selected.
std::string PathsDisagree(TCustomDIBX& dest, const std::function<void(TCustomDIBX&)>& op, bool* changed = nullptr);

}  // namespace nova::test
