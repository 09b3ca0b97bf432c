#pragma once
// The root of the display objects: a name unique within the scene it is registered in, a tag
// and the priority that orders siblings. Components are the objects that post events.
#include <cstdint>
#include <string>

namespace nova {

class TNovaBaseList;

class TNovaObject {
public:
  TNovaObject() = default;
  virtual ~TNovaObject();
  TNovaObject(const TNovaObject&) = delete;
  TNovaObject& operator=(const TNovaObject&) = delete;

  const std::string& Name() const { return name_; }
  // Renames the object (the scene's registry follows).
  void SetName(const std::string& name);
  TNovaBaseList* Scene() const { return scene_; }

  std::string Tag;
  int32_t Priority = 0;
  int32_t SubOrder = 0;

private:
  friend class TNovaBaseList;
  std::string name_;
  TNovaBaseList* scene_ = nullptr;
};

// An object that posts events into its scene's event queue.
class TNovaComponent : public TNovaObject {
public:
  ~TNovaComponent() override;
};

}  // namespace nova
