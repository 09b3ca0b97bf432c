#include "components/images/map_regions.h"

#include <algorithm>
#include <limits>

#include "base/error.h"

namespace nova {

namespace {

// Products of doubled 32-bit coordinates need more than 64 bits.
__extension__ typedef __int128 TWide;
__extension__ typedef unsigned __int128 TWideUnsigned;

// The region's edges lie on whole pixels; an edge past the largest coordinate stays there.
int32_t ExclusiveEdge(int32_t inclusive) {
  return inclusive == std::numeric_limits<int32_t>::max() ? inclusive : inclusive + 1;
}

// ceil(n / d) for d > 0.
TWide CeilDiv(TWide n, TWide d) { return n >= 0 ? (n + d - 1) / d : -((-n) / d); }
// floor(n / 2).
TWide FloorHalf(TWide n) { return n >= 0 ? n / 2 : -((-n + 1) / 2); }

class TMapReader {
public:
  TMapReader(std::span<const uint8_t> bytes, const std::string& name) : bytes_(bytes), name_(name) {}

  int32_t Int32() {
    Need(4);
    const uint8_t* p = bytes_.data() + pos_;
    pos_ += 4;
    return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
  }
  uint8_t Byte() {
    Need(1);
    return bytes_[pos_++];
  }
  std::string String() {
    const int32_t n = Int32();
    if (n <= 0) return std::string();
    Need(static_cast<size_t>(n));
    std::string s(reinterpret_cast<const char*>(bytes_.data() + pos_), static_cast<size_t>(n));
    pos_ += static_cast<size_t>(n);
    return s;
  }
  // A count of records that each take at least `size` bytes.
  int32_t Count(size_t size) {
    const int32_t n = Int32();
    if (n < 0 || static_cast<size_t>(n) > (bytes_.size() - pos_) / size) Damaged();
    return n;
  }

private:
  void Need(size_t n) {
    if (bytes_.size() - pos_ < n) Damaged();
  }
  [[noreturn]] void Damaged() const { RaiseError(name_ + ": damaged map file"); }

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  const std::string& name_;
};

}  // namespace

bool TMapRegion::Contains(int32_t x, int32_t y) const {
  switch (Shape) {
    case kRectangle: return Bounds.Contains(x, y);
    case kEllipse: {
      if (!Bounds.Contains(x, y)) return false;
      // Twice the coordinates keep the pixel centres whole: dx^2 h^2 + dy^2 w^2 <= w^2 h^2. Inside
      // the bounds |dx| < w and |dy| < h, so with sides below 2^32 each term stays below 2^128.
      const uint64_t w = static_cast<uint64_t>(int64_t{Bounds.Right} - Bounds.Left);
      const uint64_t h = static_cast<uint64_t>(int64_t{Bounds.Bottom} - Bounds.Top);
      const int64_t dx = 2 * int64_t{x} + 1 - (int64_t{Bounds.Left} + Bounds.Right);
      const int64_t dy = 2 * int64_t{y} + 1 - (int64_t{Bounds.Top} + Bounds.Bottom);
      const uint64_t adx = static_cast<uint64_t>(dx < 0 ? -dx : dx), ady = static_cast<uint64_t>(dy < 0 ? -dy : dy);
      const TWideUnsigned whole = TWideUnsigned{w * w} * (h * h);
      const TWideUnsigned across = TWideUnsigned{adx * adx} * (h * h);
      const TWideUnsigned down = TWideUnsigned{ady * ady} * (w * w);
      return across <= whole && down <= whole - across;
    }
    default: {
      // Non-zero winding number at the pixel centre (doubled coordinates).
      const int64_t px = 2 * int64_t{x} + 1, py = 2 * int64_t{y} + 1;
      int winding = 0;
      const size_t n = Points.size();
      for (size_t i = 0; i < n; ++i) {
        const TPoint& a = Points[i];
        const TPoint& b = Points[(i + 1) % n];
        const int64_t ax = 2 * int64_t{a.X}, ay = 2 * int64_t{a.Y}, bx = 2 * int64_t{b.X}, by = 2 * int64_t{b.Y};
        const TWide cross = TWide{bx - ax} * (py - ay) - TWide{px - ax} * (by - ay);
        if (ay <= py) {
          if (by > py && cross > 0) ++winding;
        } else if (by <= py && cross < 0) {
          --winding;
        }
      }
      return winding != 0;
    }
  }
}

void TMapRegion::RowCoverage(int32_t y, int32_t left, int32_t right, std::vector<uint8_t>& inside) const {
  const int32_t width = std::max(0, right - left);
  inside.assign(static_cast<size_t>(width), 0);
  if (width == 0) return;
  if (Shape != kPolygon) {
    for (int32_t x = left; x < right; ++x) inside[static_cast<size_t>(x - left)] = Contains(x, y) ? 1 : 0;
    return;
  }
  // The winding number along the row, the same test as Contains: an edge that crosses the row's
  // centre line counts for the pixel centres left of its crossing. Each edge changes the count
  // of a run of pixels from the row's start, kept as differences.
  std::vector<int64_t> change(static_cast<size_t>(width) + 1, 0);
  const int64_t py = 2 * int64_t{y} + 1;
  const size_t n = Points.size();
  for (size_t i = 0; i < n; ++i) {
    const TPoint& a = Points[i];
    const TPoint& b = Points[(i + 1) % n];
    const int64_t ax = 2 * int64_t{a.X}, ay = 2 * int64_t{a.Y}, bx = 2 * int64_t{b.X}, by = 2 * int64_t{b.Y};
    int delta = 0;
    if (ay <= py && by > py) delta = 1;
    else if (ay > py && by <= py) delta = -1;
    if (delta == 0) continue;
    // The edge counts where (px - ax) * |by - ay| < sign * (bx - ax) * (py - ay), px = 2x + 1.
    const TWide d = delta > 0 ? TWide{by - ay} : TWide{ay - by};
    const TWide m = TWide{bx - ax} * (py - ay) * delta;
    const TWide lastCentre = TWide{ax} + CeilDiv(m, d) - 1;
    const TWide last = FloorHalf(lastCentre - 1);  // the last x whose centre lies left of the edge
    if (last < left) continue;
    const TWide end = std::min<TWide>(last - left + 1, width);
    change[0] += delta;
    change[static_cast<size_t>(end)] -= delta;
  }
  int64_t winding = 0;
  for (int32_t k = 0; k < width; ++k) {
    winding += change[static_cast<size_t>(k)];
    inside[static_cast<size_t>(k)] = winding != 0 ? 1 : 0;
  }
}

TRect TMapRegion::Box() const {
  if (Shape == kRectangle || Shape == kEllipse) return Bounds;
  if (Points.empty()) return TRect{};
  TRect r{Points[0].X, Points[0].Y, Points[0].X, Points[0].Y};
  for (const TPoint& p : Points) {
    r.Left = std::min(r.Left, p.X), r.Top = std::min(r.Top, p.Y);
    r.Right = std::max(r.Right, p.X), r.Bottom = std::max(r.Bottom, p.Y);
  }
  return r;
}

std::vector<TMapRegion> ReadMapRegions(std::span<const uint8_t> bytes, const std::string& name) {
  TMapReader in(bytes, name);
  // An entry takes at least a name length, a shape byte and four numbers.
  const int32_t count = in.Count(4 + 1 + 16);
  std::vector<TMapRegion> regions(static_cast<size_t>(count));
  for (TMapRegion& r : regions) {
    r.Name = in.String();
    const uint8_t shape = in.Byte();
    if (shape == TMapRegion::kRectangle || shape == TMapRegion::kEllipse) {
      r.Shape = shape;
      const int32_t left = in.Int32(), top = in.Int32(), right = in.Int32(), bottom = in.Int32();
      r.Bounds = TRect{left, top, ExclusiveEdge(right), ExclusiveEdge(bottom)};
    } else {
      r.Shape = TMapRegion::kPolygon;
      const int32_t points = in.Count(8);
      r.Points.resize(static_cast<size_t>(points));
      for (TPoint& p : r.Points) p.X = in.Int32(), p.Y = in.Int32();
    }
  }
  return regions;
}

}  // namespace nova
