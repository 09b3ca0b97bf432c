#pragma once
// The scene's event queue: records that objects post for the interpreter. A record waits with
// level 0 until the interpreter takes it; it then carries the event level its handler runs at
// and is removed when that handler returns.
#include <cstdint>
#include <string>
#include <vector>

#include "objects/nova_object.h"

namespace nova {

// The object that posted an event. It is held by reference, not by name: a rename, or another
// object taking the name over, must not hand the event (and @Sender) to someone else. The scene
// resolves it only while that very object is registered and gives its name when asked
// (TNovaBaseList::SenderName). Empty: no sender.
struct TEventSender {
  TObjectRef Ref;
  TEventSender() = default;
  explicit TEventSender(TNovaObject* object) : Ref(object) {}
  bool Empty() const { return Ref.Object == nullptr; }
  // Posted by exactly this object (not by an earlier one at the same address).
  bool Is(const TNovaObject* object) const { return object && Ref.Object == object && Ref.Serial == object->Serial(); }
  bool operator==(const TEventSender&) const = default;
};

struct TEventEntry {
  std::string PageRef;  // "page.nsb" or "page.nsb:label"
  TEventSender Sender;
  uint8_t EventCode = 0;  // the number of the event property that posted it
  int32_t Level = 0;      // 0: pending
  std::vector<std::string> Args;
};

class TEventQueue {
public:
  void PostEvent(const TEventSender& sender, const std::string& pageRef, std::vector<std::string> args,
                 uint8_t code);
  int Count() const { return static_cast<int>(entries_.size()); }
  TEventEntry& Entry(int index) { return entries_[static_cast<size_t>(index)]; }
  const TEventEntry& Entry(int index) const { return entries_[static_cast<size_t>(index)]; }

  // First waiting or running record of that sender and code, or -1.
  int FindPendingEvent(const TNovaObject* sender, uint8_t code) const;
  TEventEntry* FirstPending();
  void SetLevel(TEventEntry& entry, int32_t level) { entry.Level = level; }
  void RemoveLevel(int32_t level);
  void RemoveLevels(int32_t from, int32_t to);  // every record whose level lies in from..to
  void Remove(const TEventEntry* entry);
  void RemoveRunning();                                  // every record whose level is not 0
  void RemoveSenderPending(const TNovaObject* sender);  // a destroyed component's waiting records
  void Clear() { entries_.clear(); }

private:
  std::vector<TEventEntry> entries_;
};

}  // namespace nova
