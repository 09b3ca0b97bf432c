#include "objects/nova_object.h"

#include "objects/scene.h"

namespace nova {

TNovaObject::~TNovaObject() = default;

void TNovaObject::SetName(const std::string& name) { name_ = name; }

TNovaComponent::~TNovaComponent() {
  // Events that have not started yet go with their sender.
  if (TNovaBaseList* scene = Scene(); scene && scene != this && !Name().empty())
    scene->Events().RemoveSenderPending(Name());
}

}  // namespace nova
