#include "render/clip_list.h"

namespace nova {

namespace {

bool Near(const TRect& e, const TRect& r) {
  const int d = TClipList::kMergeDistance;
  return !(e.Right + d < r.Left || e.Bottom + d < r.Top || r.Right < e.Left - d || r.Bottom < e.Top - d);
}

bool Inside(const TRect& r, const TRect& e) {
  return r.Left >= e.Left && r.Top >= e.Top && r.Right <= e.Right && r.Bottom <= e.Bottom;
}

}  // namespace

void TClipList::Add(const TRect& rect) {
  TRect r = rect;
  // Each merge removes an entry, so this ends after at most Count() rounds.
  for (;;) {
    if (r.Empty()) return;
    auto it = items_.begin();
    for (; it != items_.end(); ++it)
      if (Near(*it, r)) break;
    if (it == items_.end()) {
      items_.push_back(r);
      return;
    }
    if (Inside(r, *it)) return;
    r = Union(*it, r);
    items_.erase(it);
  }
}

}  // namespace nova
