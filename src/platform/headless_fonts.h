#pragma once
// The headless font rasteriser: no font file, the same glyphs on every machine. It knows the
// four Japanese Windows faces ("ＭＳ ゴシック", "ＭＳ Ｐゴシック", "ＭＳ 明朝", "ＭＳ Ｐ明朝")
// and the faces added from font data (by the family names their files declare); every face
// draws the same glyphs:
// - a single-byte character advances size / 2, a double-byte one size; spaces (0x20, the
//   full-width space 0x8140) and control characters have no ink;
// - the ink is the cell inset by i = size / 8 on every side (box width advance - 2i, height
//   size - 2i), fully covered inside with a one-pixel rim of coverage 96; bold widens it by one
//   pixel to the right; an aliased request gives the inside only (the rim is below half);
// - ascent size - size / 8; underline and strike-out max(1, size / 16) thick, the strike-out
//   top size * 3 / 10 above the baseline, the underline size / 16 below it.
#include <memory>
#include <string>
#include <vector>

#include "platform/font_rasterizer.h"

namespace nova {

class THeadlessFontRasterizer : public TFontRasterizer {
public:
  THeadlessFontRasterizer();
  ~THeadlessFontRasterizer() override;

  TFontFace* FindFace(const std::string& family) override;
  int AddFontData(std::string bytes) override;
  std::vector<std::string> Families(bool fixedPitchOnly) override;

  // Tests: grey requests fail (as a platform without grey glyphs would), and the number of
  // glyphs rendered so far.
  bool RefuseGrey = false;
  int Renders = 0;

private:
  struct TFace;
  std::vector<std::unique_ptr<TFace>> faces_;  // added faces first in lookup, then the built-in ones
  std::vector<std::unique_ptr<TFace>> builtIn_;
};

}  // namespace nova
