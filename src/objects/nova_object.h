#pragma once
// The root of the display objects (TNovaObject) and the objects that post events
// (TNovaComponent). Every object lives in a scene, which owns it; objects refer to each other
// by name through the scene or by TObjectRef, never by lasting raw pointers.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "objects/object_types.h"
#include "objects/property_value.h"

namespace nova {

class TNovaBaseList;
class TNovaControl;
class TNovaParser;

class TNovaObject {
public:
  explicit TNovaObject(TNovaBaseList* scene) : scene_(scene) {}
  virtual ~TNovaObject();
  TNovaObject(const TNovaObject&) = delete;
  TNovaObject& operator=(const TNovaObject&) = delete;

  // Identity.
  TNovaBaseList* Scene() const { return scene_; }
  const std::string& Name() const { return name_; }
  // Renames by the naming rules (a control takes the name from another holder, which gets a
  // numbered one; a component's other holder is deleted at the end of the frame).
  void SetName(const std::string& name);
  // Stores the name as it is (loading saved data).
  void SetNameDirect(const std::string& name) { name_ = name; }
  bool HasSystemName() const { return !name_.empty() && name_[0] == '\x01'; }
  uint64_t Serial() const { return serial_; }
  virtual uint8_t TypeCode() const { return LT_NONE; }
  virtual bool IsControl() const { return false; }
  virtual bool WantsAutoName() const { return true; }

  std::string Tag;
  int32_t Priority() const { return priority_; }
  int32_t SubOrder() const { return subOrder_; }
  void SetPriority(int32_t priority);  // also resets SubOrder
  void SetSubOrder(int32_t subOrder);

  // Properties this class supports: true when it answered (reads) or took (writes) the value;
  // false leaves the unsupported value of the property table (reads) or ignores the write.
  virtual bool GetProperty(int id, TPropValue& value);
  virtual bool SetProperty(int id, const TPropValue& value);

  // Called by the creation commands once the command's properties are applied.
  virtual void EndInit() {}
  // The creation commands hand some objects the compiled expression of a property that the
  // object evaluates itself whenever it needs the value (an image's frame delay).
  virtual void TakeExpression(int /*property*/, std::shared_ptr<TNovaParser> /*expression*/) {}
  // Media objects (videos, sounds): the play state the commands set (1 plays; 2 stops; 3 stops
  // after fading out over PR_DELAY) and read back. Other classes have none.
  virtual int32_t PlayState() const { return 0; }
  virtual void SetPlayState(int32_t /*state*/) {}

  // The frame's update: true asks the scene to destroy the object now (auto-scrap).
  virtual bool Update(uint32_t /*elapsedMs*/) { return false; }
  virtual bool Paused() const { return false; }
  virtual bool IsEventBlocked() const { return false; }
  virtual bool InCabinet() const { return false; }

  // Deferred deletion (freed at the end of the frame's update).
  void MarkForDeletion();
  bool IsPendingDeletion() const;

  // Events: the text of an event property, and posting it when free (the text is set, no
  // record of this object and code is waiting or running unless checkPending is false, not
  // blocked).
  std::string EventText(int code);
  bool PostEventIfFree(int code, std::vector<std::string> args = {}, bool checkPending = true);

  // The object record of the serialised form; classes append their own fields.
  virtual void SaveToStream(TStream& s);
  virtual void LoadFromStream(TStream& s, int32_t version);

protected:
  // Called when the priority or the sub-order changed (controls re-sort their parent).
  virtual void OrderChanged() {}
  // The sub-order stored without the OrderChanged call (for a control being destroyed).
  void StoreSubOrder(int32_t subOrder) { subOrder_ = subOrder; }

private:
  friend class TNovaBaseList;
  TNovaBaseList* scene_;
  std::string name_;
  int32_t priority_ = 0;
  int32_t subOrder_ = 0;
  uint64_t serial_ = 0;  // set when registered; never reused within a process
};

// An object that posts events. Destroying it removes its records that have not started yet.
class TNovaComponent : public TNovaObject {
public:
  using TNovaObject::TNovaObject;
  ~TNovaComponent() override;
};

// A reference to an object that tells when the object is gone: the scene checks that the
// object is still registered under the same serial number.
struct TObjectRef {
  TNovaObject* Object = nullptr;
  uint64_t Serial = 0;
  TObjectRef() = default;
  explicit TObjectRef(TNovaObject* object) : Object(object), Serial(object ? object->Serial() : 0) {}
  bool operator==(const TObjectRef&) const = default;
};

}  // namespace nova
