#pragma once
// An ordered collection of named items with a 256-bucket hash index. Indices stay dense:
// deleting an item renumbers every later one. A new or renamed item goes to the head of its
// bucket's chain; lookup walks the chain and compares names case-insensitively.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nova {

class THashCollection;

class THashCollectionItem {
public:
  virtual ~THashCollectionItem() = default;
  const std::string& Name() const { return name_; }
  int Index() const { return index_; }
  THashCollectionItem* NextInBucket() const { return next_; }
  THashCollection* Collection() const { return owner_; }

private:
  friend class THashCollection;
  std::string name_;
  int index_ = -1;
  int bucket_ = -1;  // -1 while unlinked
  THashCollectionItem* prev_ = nullptr;
  THashCollectionItem* next_ = nullptr;
  THashCollection* owner_ = nullptr;
};

class THashCollection {
public:
  static constexpr int kBuckets = 256;
  THashCollection() = default;
  THashCollection(const THashCollection&) = delete;
  THashCollection& operator=(const THashCollection&) = delete;
  virtual ~THashCollection();

  // h = (16 * L + c[0] + c[L-2]) mod 256 over the lower-cased bytes; 16 * L only when L <= 1.
  static int HashOf(std::string_view name);

  int Count() const { return static_cast<int>(items_.size()); }
  THashCollectionItem* Item(int index) const { return items_[static_cast<size_t>(index)].get(); }

  // Appends an item; with a name it is linked into its bucket.
  THashCollectionItem* Add(std::unique_ptr<THashCollectionItem> item);
  THashCollectionItem* Add(std::unique_ptr<THashCollectionItem> item, std::string_view name);
  // Renames (unlink, link at the head of the new bucket).
  virtual void SetItemName(THashCollectionItem* item, std::string_view name);
  // Index of the first matching item along the chain, or -1.
  virtual int IndexOf(std::string_view name) const;
  THashCollectionItem* Find(std::string_view name) const {
    int i = IndexOf(name);
    return i < 0 ? nullptr : Item(i);
  }
  THashCollectionItem* BucketHead(int bucket) const { return buckets_[bucket]; }

  void Delete(int index);
  std::unique_ptr<THashCollectionItem> Extract(int index);
  void Clear();

protected:
  // Called whenever a name enters or leaves the hash index (add, rename, delete, clear with
  // an empty name), so that a subclass can keep lookup caches honest.
  virtual void NameIndexChanged(const std::string& /*name*/) {}

private:
  void Link(THashCollectionItem* item);
  void Unlink(THashCollectionItem* item);

  std::vector<std::unique_ptr<THashCollectionItem>> items_;
  THashCollectionItem* buckets_[kBuckets] = {};
};

}  // namespace nova
