#pragma once
// The named hot regions of a map image, read from its map file: int32 count, then per entry a
// name (string), a shape byte and the shape: 0 a rectangle and 1 an ellipse, each as left,
// top, right, bottom (inclusive), any other value a polygon (int32 point count and the points
// as x, y pairs, filled by the winding rule). Regions are in the picture's own pixels; a pixel
// belongs to a region when its centre does.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/geometry.h"

namespace nova {

struct TMapRegion {
  static constexpr uint8_t kRectangle = 0, kEllipse = 1, kPolygon = 2;

  std::string Name;
  uint8_t Shape = kRectangle;
  TRect Bounds;                 // rectangle and ellipse: right and bottom exclusive
  std::vector<TPoint> Points;   // polygon

  bool Contains(int32_t x, int32_t y) const;
  bool Contains(TPoint p) const { return Contains(p.X, p.Y); }
  // Which pixels of row y from left to right (exclusive) the region covers, as Contains would
  // answer for each (1 covered); a polygon's row costs one pass over its edges.
  void RowCoverage(int32_t y, int32_t left, int32_t right, std::vector<uint8_t>& inside) const;
  // The pixels the region can cover (right and bottom exclusive).
  TRect Box() const;
};

// Raises an error naming the file when the data ends inside an entry or a count is impossible.
std::vector<TMapRegion> ReadMapRegions(std::span<const uint8_t> bytes, const std::string& name);

}  // namespace nova
