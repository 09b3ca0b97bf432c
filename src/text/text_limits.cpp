#include "text/text_limits.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "base/encoding.h"
#include "base/error.h"

namespace nova {

namespace {

int32_t Saturate(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

bool TextSurfaceFits(int64_t width, int64_t height) {
  if (width < 0 || height < 0 || width > kMaxImageSide || height > kMaxImageSide) return false;
  return width * height <= kMaxImagePixels;
}

std::string TextSurfaceRefusal(const std::string& what, int64_t width, int64_t height) {
  return Format("%s: text surface %lldx%lld is beyond the limit (%d a side, %lld pixels); nothing is drawn",
                SjisToUtf8(what).c_str(), static_cast<long long>(width), static_cast<long long>(height), kMaxImageSide,
                static_cast<long long>(kMaxImagePixels));
}

void ReportTextSurfaceRefused(const std::string& what, int64_t width, int64_t height) {
  std::fprintf(stderr, "novaplayer: %s\n", TextSurfaceRefusal(what, width, height).c_str());
}

// The exact result of two int32 values fits in 64 bits.
int32_t SaturatedAdd(int32_t a, int32_t b) { return Saturate(int64_t{a} + b); }
int32_t SaturatedMul(int32_t a, int32_t b) { return Saturate(int64_t{a} * b); }

int32_t TextObjectSide(int64_t size) {
  return static_cast<int32_t>(std::clamp<int64_t>(size, -kMaxTextObjectSide, kMaxTextObjectSide));
}

}  // namespace nova
