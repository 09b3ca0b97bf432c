#include "render_test_util.h"

namespace nova::test {

std::string Picture(TCustomDIBX& s) {
  std::string out;
  for (int y = 0; y < s.GetHeight(); ++y) {
    for (int x = 0; x < s.GetWidth(); ++x) {
      uint32_t v = s.GetPixel(x, y);
      out += v == 0 ? '.' : "0123456789ABCDEF"[v & 0xF];
    }
    out += '\n';
  }
  return out;
}

std::unique_ptr<TDIBX> Surface(int width, int height, int bits, const std::vector<uint32_t>& pixels) {
  auto s = std::make_unique<TDIBX>();
  s->SetSize(width, height, bits);
  s->Fill(0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      size_t i = static_cast<size_t>(y * width + x);
      if (i < pixels.size()) s->SetPixel(x, y, pixels[i]);
    }
  return s;
}

std::vector<uint32_t> Pixels(TCustomDIBX& s) {
  std::vector<uint32_t> out;
  for (int y = 0; y < s.GetHeight(); ++y)
    for (int x = 0; x < s.GetWidth(); ++x) out.push_back(s.GetPixel(x, y));
  return out;
}

std::string PathName(TBlitPath path) {
  switch (path) {
    case TBlitPath::FastRows: return "Fast";
    case TBlitPath::ReferenceRows: return "Reference";
    default: return "PerPixel";
  }
}

uint32_t Rng::Next() {
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return static_cast<uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
}

int Rng::Range(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint32_t>(hi - lo + 1)); }

std::unique_ptr<TDIBX> RandomSurface(Rng& rng, int width, int height, int bits) {
  auto s = std::make_unique<TDIBX>();
  s->SetSize(width, height, bits);
  uint32_t range = bits == 15 ? 0x7FFF : bits >= 32 ? 0xFFFFFFFF : (1u << bits) - 1;
  uint32_t palette[4] = {rng.Next() & range, rng.Next() & range, 0, range};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t v = rng.Chance(30) ? palette[rng.Range(0, 3)] : rng.Next() & range;
      s->SetPixel(x, y, v);
    }
  return s;
}

}  // namespace nova::test

namespace nova::test {

std::string PathsDisagree(TCustomDIBX& dest, const std::function<void(TCustomDIBX&)>& op, bool* changed) {
  std::vector<uint32_t> results[3];
  const TBlitPath paths[3] = {TBlitPath::PerPixel, TBlitPath::ReferenceRows, TBlitPath::FastRows};
  for (int i = 0; i < 3; ++i) {
    SetBlitPath(paths[i]);
    auto copy = Surface(dest.GetWidth(), dest.GetHeight(), dest.GetBitCount(), Pixels(dest));
    copy->SetClipRect(dest.GetClipRect());
    op(*copy);
    results[i] = Pixels(*copy);
  }
  SetBlitPath(TBlitPath::FastRows);
  if (changed) *changed = results[0] != Pixels(dest);
  for (int i = 1; i < 3; ++i)
    if (results[i] != results[0]) return PathName(paths[i]);
  return "";
}

}  // namespace nova::test
