#include "text/decorate.h"

#include <algorithm>

namespace nova {

int TDecorateList::IndexOf(const TDecorate* d) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == d) return static_cast<int>(i);
  return -1;
}

TDecorate* TDecorateList::Find(const TDecorateValues& v) const {
  for (const auto& d : items_)
    if (static_cast<const TDecorateValues&>(*d) == v) return d.get();
  return nullptr;
}

TDecorate* TDecorateList::Acquire(const TDecorateValues& v) {
  if (TDecorate* d = Find(v)) {
    ++d->RefCount;
    return d;
  }
  return Append(v, 1);
}

TDecorate* TDecorateList::Append(const TDecorateValues& v, int32_t refCount) {
  auto d = std::make_unique<TDecorate>();
  static_cast<TDecorateValues&>(*d) = v;
  d->RefCount = refCount;
  items_.push_back(std::move(d));
  return items_.back().get();
}

void TDecorateList::Release(TDecorate* d) {
  if (!d) return;
  if (--d->RefCount > 0) return;
  auto it = std::find_if(items_.begin(), items_.end(), [d](const auto& p) { return p.get() == d; });
  if (it != items_.end()) items_.erase(it);
}

void TDecorateList::Change(TDecorate*& d, const TDecorateValues& v) {
  if (TDecorate* found = Find(v)) {
    ++found->RefCount;
    Release(d);  // after raising: found may be d itself
    d = found;
    return;
  }
  if (d && d->RefCount == 1) {
    static_cast<TDecorateValues&>(*d) = v;
    return;
  }
  if (d) --d->RefCount;  // still used by others, so it stays
  d = Append(v, 1);
}

}  // namespace nova
