#include "objects/scene.h"

#include <algorithm>

#include "base/sjis.h"

namespace nova {

TNovaBaseList::TNovaBaseList() = default;

TNovaBaseList::~TNovaBaseList() { Clear(); }

TNovaObject* TNovaBaseList::AddObject(std::unique_ptr<TNovaObject> object) {
  object->scene_ = this;
  objects_.push_back(std::move(object));
  return objects_.back().get();
}

void TNovaBaseList::DeleteObject(TNovaObject* object) {
  auto it = std::find_if(objects_.begin(), objects_.end(), [&](const auto& o) { return o.get() == object; });
  if (it == objects_.end()) return;
  std::unique_ptr<TNovaObject> gone = std::move(*it);
  objects_.erase(it);
}

TNovaObject* TNovaBaseList::FindObject(const std::string& name) const {
  for (const auto& o : objects_)
    if (SameText(o->Name(), name)) return o.get();
  return nullptr;
}

void TNovaBaseList::Clear() {
  while (!objects_.empty()) DeleteObject(objects_.back().get());
}

}  // namespace nova
