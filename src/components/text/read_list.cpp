#include "components/text/read_list.h"

#include <memory>

#include "base/error.h"

namespace nova {

bool TNovaReadList::IsRead(const std::string& key, int32_t message, int32_t page) const {
  auto* item = static_cast<const TNovaRead*>(Find(key));
  if (!item) return false;
  for (size_t i = 0; i < item->Messages.size(); ++i)
    if (item->Messages[i] == message && item->Pages[i] == page) return true;
  return false;
}

void TNovaReadList::SetPending(const std::string& boxName, const std::string& key, int32_t page, int32_t message) {
  pendingBox_ = boxName;
  pendingKey_ = key;
  pendingPage_ = page;
  pendingMessage_ = message;
}

void TNovaReadList::Commit(const std::string& boxName) {
  if (pendingKey_.empty() || boxName != pendingBox_) return;
  if (!IsRead(pendingKey_, pendingMessage_, pendingPage_)) {
    auto* item = static_cast<TNovaRead*>(Find(pendingKey_));
    if (!item) item = static_cast<TNovaRead*>(Add(std::make_unique<TNovaRead>(), pendingKey_));
    item->Messages.push_back(pendingMessage_);
    item->Pages.push_back(pendingPage_);
  }
  pendingKey_.clear();
}

void TNovaReadList::ClearAll() {
  Clear();
  pendingKey_.clear();
  pendingBox_.clear();
  pendingMessage_ = pendingPage_ = 0;
}

void TNovaReadList::SaveToStream(TStream& s) const {
  s.WriteInt32(Count());
  for (int i = 0; i < Count(); ++i) {
    auto* item = static_cast<const TNovaRead*>(Item(i));
    s.WriteString(item->Name());
    s.WriteInt32(static_cast<int32_t>(item->Messages.size()));
    for (int32_t m : item->Messages) s.WriteInt32(m);
    for (int32_t p : item->Pages) s.WriteInt32(p);
  }
  s.WriteString(pendingKey_);
  s.WriteInt32(pendingMessage_);
  s.WriteInt32(pendingPage_);
  s.WriteString(pendingBox_);
}

void TNovaReadList::LoadFromStream(TStream& s, int32_t version) {
  ClearAll();
  if (version < 100) return;
  int32_t n = s.ReadInt32();
  if (n < 0 || n > s.Remaining() / 8) RaiseError("read marks: bad count");
  for (int32_t i = 0; i < n; ++i) {
    std::string key = s.ReadString();
    int32_t k = s.ReadInt32();
    if (k < 0 || k > s.Remaining() / 8) RaiseError("read marks: bad count");
    auto item = std::make_unique<TNovaRead>();
    item->Messages.resize(static_cast<size_t>(k));
    item->Pages.resize(static_cast<size_t>(k));
    for (int32_t& m : item->Messages) m = s.ReadInt32();
    for (int32_t& p : item->Pages) p = s.ReadInt32();
    Add(std::move(item), key);
  }
  pendingKey_ = s.ReadString();
  pendingMessage_ = s.ReadInt32();
  pendingPage_ = s.ReadInt32();
  pendingBox_ = s.ReadString();
}

}  // namespace nova
