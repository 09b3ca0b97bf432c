#pragma once
// Points and rectangles in pixels. A rectangle covers Left <= x < Right, Top <= y < Bottom
// (right and bottom exclusive); it is empty when either extent is zero or negative.
#include <algorithm>
#include <cstdint>

namespace nova {

struct TPoint {
  int32_t X = 0, Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;

  // The far edges are held to the 32-bit range: an object placed near its end still has a
  // rectangle (cut at the end) instead of one that wraps around.
  static constexpr TRect FromSize(int32_t left, int32_t top, int32_t width, int32_t height) {
    return TRect{left, top, Saturate(int64_t{left} + width), Saturate(int64_t{top} + height)};
  }
  static constexpr int32_t Saturate(int64_t v) {
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
  }
  constexpr int32_t Width() const { return Right - Left; }
  constexpr int32_t Height() const { return Bottom - Top; }
  constexpr bool Empty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(int32_t x, int32_t y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  constexpr bool Contains(const TPoint& p) const { return Contains(p.X, p.Y); }
  constexpr TRect Offset(int32_t dx, int32_t dy) const { return TRect{Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// The overlap of two rectangles; empty (all zero) when they do not overlap.
constexpr TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  return r.Empty() ? TRect{} : r;
}

// The smallest rectangle holding both; an empty rectangle adds nothing.
constexpr TRect Union(const TRect& a, const TRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
               std::max(a.Bottom, b.Bottom)};
}

// The largest screen width and height a game may ask for: no display shows more, and the
// scene's surfaces of that size must fit in memory.
constexpr int32_t kMaxScreenSide = 8192;

}  // namespace nova
