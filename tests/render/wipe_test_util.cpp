#include "wipe_test_util.h"

#include <cstdio>

namespace nova::test {

std::unique_ptr<TDIBX> ToSurface(const Img& img, int bits) {
  auto s = std::make_unique<TDIBX>();
  s->SetSize(img.w, img.h, bits);
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) s->SetPixel(x, y, img.at(x, y));
  return s;
}

Img FromSurface(TCustomDIBX& s) {
  Img img(s.GetWidth(), s.GetHeight());
  for (int y = 0; y < img.h; ++y)
    for (int x = 0; x < img.w; ++x) img.at(x, y) = s.GetPixel(x, y);
  return img;
}

Img GreyPicture() {
  Img g(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) g.at(x, y) = static_cast<uint32_t>((x * 37 + y * 23) % 256);
  g.at(0, 0) = 0, g.at(6, 4) = 255;
  return g;
}

std::unique_ptr<TDIBX> GreySurface(const Img& grey) { return ToSurface(grey, 8); }

WipeRun::WipeRun(const WipeSetup& setup) : setup_(setup) {
  old_ = OldPicture(setup.w, setup.h, setup.bits);
  new_ = NewPicture(setup.w, setup.h, setup.bits);
  from_ = ToSurface(old_, setup.bits);
  to_ = ToSurface(new_, setup.bits);
  dest_ = ToSurface(old_, setup.bits);
  TWipeContext context;
  context.Defaults.Pairs[static_cast<size_t>(setup.kind)] = {setup.p0, setup.p1};
  context.Random = TWipeRandomLcg(setup.seed);
  wipe_ = CreateWipe(setup.kind, dest_.get(), from_.get(), to_.get(), context);
  if (!wipe_) return;
  wipe_->SetReverse(setup.reversed ? 1 : 0);
  wipe_->SetDuration(setup.duration);
  if (setup.withGrey) {
    grey_ = GreyPicture();
    wipe_->SetMaskImage(GreySurface(grey_));
  }
  wipe_->Prepare();
}

Img WipeRun::Step(int32_t elapsed) {
  wipe_->Advance(elapsed);
  return FromSurface(*dest_);
}

Img WipeRun::Model(int32_t elapsed) const {
  ModelInput in;
  in.kind = setup_.kind;
  in.reversed = setup_.reversed;
  in.p0 = setup_.p0, in.p1 = setup_.p1;
  in.elapsed = elapsed, in.duration = setup_.duration;
  in.bits = setup_.bits;
  in.from = old_, in.to = new_;
  in.grey = setup_.withGrey ? &grey_ : nullptr;
  in.randomSeed = setup_.seed;
  return ModelStep(in);
}

std::string Difference(const Img& got, const Img& want) {
  if (got.w != want.w || got.h != want.h) return "sizes differ";
  int count = 0;
  std::string first;
  for (int y = 0; y < got.h; ++y)
    for (int x = 0; x < got.w; ++x)
      if (got.at(x, y) != want.at(x, y)) {
        if (count++ == 0) {
          char buf[96];
          std::snprintf(buf, sizeof buf, "(%d, %d): got %06X, want %06X", x, y, got.at(x, y), want.at(x, y));
          first = buf;
        }
      }
  return count == 0 ? "same" : first + " (" + std::to_string(count) + " pixels differ)";
}

}  // namespace nova::test
