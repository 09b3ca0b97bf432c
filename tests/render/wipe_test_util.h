#pragma once
// Running a transition on small surfaces beside its plain model.
#include <memory>

#include "render/dibx.h"
#include "render/wipes.h"
#include "wipe_model.h"

namespace nova::test {

std::unique_ptr<TDIBX> ToSurface(const Img& img, int bits);
Img FromSurface(TCustomDIBX& s);

// The grey picture of the mask tests: 7 x 5 levels from dark to bright, repeated over the
// screen.
Img GreyPicture();
std::unique_ptr<TDIBX> GreySurface(const Img& grey);

struct WipeSetup {
  int kind = 0;
  int32_t p0 = 0, p1 = 0;
  bool reversed = false;
  int w = 32, h = 24, bits = 32;
  int32_t duration = 1000;
  bool withGrey = false;
  uint32_t seed = 7;
};

// A transition created through the factory with (p0, p1) as the kind's defaults, the
// destination starting as the old picture (as the scene leaves it).
class WipeRun {
public:
  explicit WipeRun(const WipeSetup& setup);
  Img Step(int32_t elapsed);
  Img Model(int32_t elapsed) const;
  TCustomWipe& Wipe() { return *wipe_; }
  TDIBX& Dest() { return *dest_; }
  const Img& Old() const { return old_; }
  const Img& New() const { return new_; }

private:
  WipeSetup setup_;
  Img old_, new_, grey_;
  std::unique_ptr<TDIBX> from_, to_, dest_;
  std::unique_ptr<TCustomWipe> wipe_;
};

// "same" or the first differing pixel with both values, for messages.
std::string Difference(const Img& got, const Img& want);

}  // namespace nova::test
