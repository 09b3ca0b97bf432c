#include "base/hash_collection.h"

#include "base/sjis.h"

namespace nova {

THashCollection::~THashCollection() { Clear(); }

int THashCollection::HashOf(std::string_view name) {
  size_t len = name.size();
  unsigned h = static_cast<unsigned>(len) * 16u;
  if (len >= 2) {
    // Lower-casing never touches a trail byte, so only these two bytes need the check.
    auto folded = [&](size_t i) -> unsigned {
      unsigned char c = static_cast<unsigned char>(name[i]);
      if (c >= 'A' && c <= 'Z' && !IsTrailByteAt(name, i)) c = static_cast<unsigned char>(c + 32);
      return c;
    };
    h += folded(0) + folded(len - 2);
  }
  return static_cast<int>(h & 0xFF);
}

THashCollectionItem* THashCollection::Add(std::unique_ptr<THashCollectionItem> item) {
  THashCollectionItem* raw = item.get();
  raw->owner_ = this;
  raw->index_ = static_cast<int>(items_.size());
  items_.push_back(std::move(item));
  if (!raw->name_.empty()) Link(raw);
  return raw;
}

THashCollectionItem* THashCollection::Add(std::unique_ptr<THashCollectionItem> item, std::string_view name) {
  THashCollectionItem* raw = Add(std::move(item));
  SetItemName(raw, name);
  return raw;
}

void THashCollection::SetItemName(THashCollectionItem* item, std::string_view name) {
  Unlink(item);
  item->name_.assign(name);
  Link(item);
}

int THashCollection::IndexOf(std::string_view name) const {
  for (THashCollectionItem* p = buckets_[HashOf(name)]; p; p = p->next_) {
    if (SameText(p->name_, name)) return p->index_;
  }
  return -1;
}

void THashCollection::Link(THashCollectionItem* item) {
  int b = HashOf(item->name_);
  item->bucket_ = b;
  item->prev_ = nullptr;
  item->next_ = buckets_[b];
  if (buckets_[b]) buckets_[b]->prev_ = item;
  buckets_[b] = item;
  NameIndexChanged(item->name_);
}

void THashCollection::Unlink(THashCollectionItem* item) {
  if (item->bucket_ < 0) return;
  if (item->prev_) item->prev_->next_ = item->next_;
  else buckets_[item->bucket_] = item->next_;
  if (item->next_) item->next_->prev_ = item->prev_;
  item->prev_ = item->next_ = nullptr;
  item->bucket_ = -1;
  NameIndexChanged(item->name_);
}

std::unique_ptr<THashCollectionItem> THashCollection::Extract(int index) {
  auto it = items_.begin() + index;
  std::unique_ptr<THashCollectionItem> item = std::move(*it);
  Unlink(item.get());
  items_.erase(it);
  for (size_t i = static_cast<size_t>(index); i < items_.size(); ++i) items_[i]->index_ = static_cast<int>(i);
  item->owner_ = nullptr;
  item->index_ = -1;
  return item;
}

void THashCollection::Delete(int index) { Extract(index).reset(); }

void THashCollection::Clear() {
  for (auto& b : buckets_) b = nullptr;
  NameIndexChanged(std::string());
  while (!items_.empty()) {
    // Free from the end so that items that look at the collection while dying see it consistent.
    std::unique_ptr<THashCollectionItem> last = std::move(items_.back());
    items_.pop_back();
    last->bucket_ = -1;
    last->owner_ = nullptr;
    last.reset();
  }
}

}  // namespace nova
