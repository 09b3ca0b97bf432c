#pragma once
// A plain model of every transition kind, written from the formulas pixel by pixel on plain
// arrays (no tables, no row routines, no shared code with the transitions): what a step must
// show. Only SMALL and BIG draw through the surfaces' own rotated draw, which is tested on
// its own.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nova::test {

struct Img {
  int w = 0, h = 0;
  std::vector<uint32_t> px;  // pixel values, row by row
  Img() = default;
  Img(int width, int height, uint32_t fill = 0) : w(width), h(height), px(static_cast<size_t>(width * height), fill) {}
  uint32_t& at(int x, int y) { return px[static_cast<size_t>(y * w + x)]; }
  uint32_t at(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
  bool operator==(const Img& o) const { return w == o.w && h == o.h && px == o.px; }
};

struct ModelInput {
  int kind = 0;
  bool reversed = false;
  int32_t p0 = 0, p1 = 0;  // as given to SetParam (the model applies the minimums itself)
  int32_t elapsed = 0, duration = 1;
  int bits = 32;           // 15, 16 or 32
  Img from, to;
  const Img* grey = nullptr;  // the mask picture's grey levels, or none
  uint32_t randomSeed = 0;    // the run-time generator's state
};

Img ModelStep(const ModelInput& in);

// Colour 0x00BBGGRR as a pixel value of 15, 16 or 32 bits.
uint32_t ModelPixel(uint32_t color, int bits);
// Rounds half to even.
double RoundHalfEven(double v);
// A destination index's source index in a stretch of srcLen onto dstLen (16.16 truncated step).
int StretchIndex(int i, int srcLen, int dstLen);

// Two pictures of up to 64 x 64 pixels with a different colour at every pixel (at 32 bits),
// smooth in two channels and curved in the third (so that a blur shows).
Img OldPicture(int w, int h, int bits);
Img NewPicture(int w, int h, int bits);

}  // namespace nova::test
