#include "objects/nova_object.h"

#include "objects/scene.h"

namespace nova {

TNovaObject::~TNovaObject() = default;

void TNovaObject::SetName(const std::string& name) {
  if (name == name_) return;
  if (scene_) scene_->Rename(*this, name);
  else name_ = name;
}

void TNovaObject::SetPriority(int32_t priority) {
  if (priority == priority_ && subOrder_ == 0) return;
  priority_ = priority;
  subOrder_ = 0;
  OrderChanged();
}

void TNovaObject::SetSubOrder(int32_t subOrder) {
  if (subOrder == subOrder_) return;
  subOrder_ = subOrder;
  OrderChanged();
}

bool TNovaObject::GetProperty(int, TPropValue&) { return false; }
bool TNovaObject::SetProperty(int, const TPropValue&) { return false; }

void TNovaObject::MarkForDeletion() {
  if (scene_) scene_->MarkForDeletion(this);
}

bool TNovaObject::IsPendingDeletion() const { return scene_ && scene_->IsPendingDeletion(this); }

std::string TNovaObject::EventText(int code) {
  TPropValue v;
  if (!GetProperty(code, v) || v.Type != PT_STR) return std::string();
  return v.Str;
}

bool TNovaObject::PostEventIfFree(int code, std::vector<std::string> args, bool checkPending) {
  if (!scene_) return false;
  std::string page = EventText(code);
  if (page.empty() || IsEventBlocked()) return false;
  TEventQueue& queue = scene_->Events();
  if (checkPending && queue.FindPendingEvent(this, static_cast<uint8_t>(code)) >= 0) return false;
  queue.PostEvent(TEventSender(this), page, std::move(args), static_cast<uint8_t>(code));
  return true;
}

void TNovaObject::SaveToStream(TStream& s) {
  s.WriteString(name_);
  s.WriteInt32(priority_);
  s.WriteInt32(subOrder_);
  s.WriteString(Tag);
}

void TNovaObject::LoadFromStream(TStream& s, int32_t version) {
  name_ = s.ReadString();
  priority_ = s.ReadInt32();
  if (version > 103) subOrder_ = s.ReadInt32();
  if (version >= 120) Tag = s.ReadString();
}

TNovaComponent::~TNovaComponent() {
  // Events that have not started yet go with their sender.
  if (TNovaBaseList* scene = Scene(); scene && scene != this) scene->Events().RemoveSenderPending(this);
}

}  // namespace nova
