#pragma once
// A list of dirty rectangles. A rectangle added within 20 pixels of a listed one merges with it,
// so that a frame repaints a few larger areas rather than many small ones.
#include <vector>

#include "base/geometry.h"

namespace nova {

class TClipList {
public:
  // Rectangles closer than this on both axes merge.
  static constexpr int kMergeDistance = 20;

  // Ignores an empty rectangle; merges with the first listed rectangle that overlaps or lies
  // near (nothing changes when the new one lies inside it), adding the union again by the same
  // rule so that merges cascade; otherwise appends.
  void Add(const TRect& r);
  void Clear() { items_.clear(); }
  bool Empty() const { return items_.empty(); }
  int Count() const { return static_cast<int>(items_.size()); }
  const TRect& operator[](int i) const { return items_[static_cast<size_t>(i)]; }
  const std::vector<TRect>& Items() const { return items_; }
  std::vector<TRect>::const_iterator begin() const { return items_.begin(); }
  std::vector<TRect>::const_iterator end() const { return items_.end(); }

private:
  std::vector<TRect> items_;
};

}  // namespace nova
