#pragma once
// The scene (TNovaBaseList): the registry of the display objects by name, the event queue
// they post into and the input of the screens. Display objects refer to each other by name
// through the scene, never by lasting pointers it does not know.
#include <memory>
#include <string>
#include <vector>

#include "objects/event_queue.h"
#include "objects/input_state.h"
#include "objects/nova_object.h"

namespace nova {

class TNovaBaseList : public TNovaComponent {
public:
  TNovaBaseList();
  ~TNovaBaseList() override;

  TEventQueue& Events() { return events_; }
  const TEventQueue& Events() const { return events_; }
  TInputState& Input() { return input_; }

  // Takes ownership of the object and registers it under its name.
  TNovaObject* AddObject(std::unique_ptr<TNovaObject> object);
  // Destroys the object (its waiting events go with it).
  void DeleteObject(TNovaObject* object);
  // The registered object of that name (names compare as the store compares them), or null.
  TNovaObject* FindObject(const std::string& name) const;
  bool ObjectExists(const std::string& name) const { return !name.empty() && FindObject(name); }
  bool ObjectExists(const TEventSender& sender) const { return ObjectExists(sender.Name); }
  int ObjectCount() const { return static_cast<int>(objects_.size()); }
  void Clear();

  // The input step of a frame: what arrived since the last frame becomes this frame's input.
  void ProcessInput() { input_.BeginFrame(); }

private:
  std::vector<std::unique_ptr<TNovaObject>> objects_;
  TEventQueue events_;
  TInputState input_;
};

}  // namespace nova
