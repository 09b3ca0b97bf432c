#include "components/images/map_regions.h"

#include <algorithm>

#include "base/error.h"

namespace nova {

namespace {

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
      // Twice the coordinates keep the pixel centres whole.
      const int64_t w = Bounds.Width(), h = Bounds.Height();
      const int64_t dx = 2 * int64_t{x} + 1 - (int64_t{Bounds.Left} + Bounds.Right);
      const int64_t dy = 2 * int64_t{y} + 1 - (int64_t{Bounds.Top} + Bounds.Bottom);
      return dx * dx * h * h + dy * dy * w * w <= w * w * h * h;
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
        const int64_t cross = (bx - ax) * (py - ay) - (px - ax) * (by - ay);
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
      r.Bounds = TRect{left, top, right + 1, bottom + 1};
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
