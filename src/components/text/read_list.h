#pragma once
// Read marks (TNovaReadList, one for the whole game): for each scenario page (the key) the
// pairs (message number, page index) of the text pages read to their end. A box that starts
// showing a page sets the pending mark; the mark is committed when that box finishes typing
// the page, so a page counts as read only once it was shown whole. Saved with the status data.
#include <cstdint>
#include <string>
#include <vector>

#include "base/hash_collection.h"
#include "base/stream.h"

namespace nova {

class TNovaRead : public THashCollectionItem {
public:
  std::vector<int32_t> Messages;  // message numbers (TextIns command indices)
  std::vector<int32_t> Pages;     // page indices, parallel to Messages
};

class TNovaReadList : public THashCollection {
public:
  bool IsRead(const std::string& key, int32_t message, int32_t page) const;
  void SetPending(const std::string& boxName, const std::string& key, int32_t page, int32_t message);
  // Records the pending mark when the box set it.
  void Commit(const std::string& boxName);
  // ClrRead: every mark and the pending one.
  void ClearAll();

  const std::string& PendingKey() const { return pendingKey_; }

  void SaveToStream(TStream& s) const;
  // Status data below version 100 holds no read marks: the list stays empty.
  void LoadFromStream(TStream& s, int32_t version);

private:
  std::string pendingKey_, pendingBox_;
  int32_t pendingMessage_ = 0, pendingPage_ = 0;
};

}  // namespace nova
