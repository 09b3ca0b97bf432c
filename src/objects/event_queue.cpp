#include "objects/event_queue.h"

#include <algorithm>

namespace nova {

void TEventQueue::PostEvent(const TEventSender& sender, const std::string& pageRef, std::vector<std::string> args,
                            uint8_t code) {
  TEventEntry e;
  e.PageRef = pageRef;
  e.Sender = sender;
  e.EventCode = code;
  e.Args = std::move(args);
  entries_.push_back(std::move(e));
}

int TEventQueue::FindPendingEvent(const TNovaObject* sender, uint8_t code) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].EventCode == code && entries_[i].Sender.Is(sender)) return static_cast<int>(i);
  return -1;
}

TEventEntry* TEventQueue::FirstPending() {
  for (auto& e : entries_)
    if (e.Level == 0) return &e;
  return nullptr;
}

void TEventQueue::RemoveLevel(int32_t level) {
  std::erase_if(entries_, [level](const TEventEntry& e) { return e.Level == level; });
}

void TEventQueue::RemoveLevels(int32_t from, int32_t to) {
  std::erase_if(entries_, [from, to](const TEventEntry& e) { return e.Level >= from && e.Level <= to; });
}

void TEventQueue::Remove(const TEventEntry* entry) {
  std::erase_if(entries_, [entry](const TEventEntry& e) { return &e == entry; });
}

void TEventQueue::RemoveRunning() {
  std::erase_if(entries_, [](const TEventEntry& e) { return e.Level != 0; });
}

void TEventQueue::RemoveSenderPending(const TNovaObject* sender) {
  std::erase_if(entries_, [&](const TEventEntry& e) { return e.Level == 0 && e.Sender.Is(sender); });
}

}  // namespace nova
