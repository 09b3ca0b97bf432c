#pragma once
// The object-creating commands (BoxNew, ImgNew, ... PrevMenuNew): each creates an object of
// its class in the scene, applies the properties its record carries in a fixed order (creation
// defaults for expressions without a value) and lets the object finish its set-up.
#include <array>
#include <memory>

#include "objects/property_value.h"
#include "scenario/command.h"

namespace nova {

class TNovaObject;

// A record that carries one expression per property id set in the page's slot for its code.
class TComComponent : public TCommand {
public:
  using TCommand::TCommand;
  TNovaParser* Prop(int id) const { return (id >= 0 && id < kPropertyCount) ? props_[static_cast<size_t>(id)].get() : nullptr; }
  bool HasProp(int id) const { return Prop(id) != nullptr; }
  void Execute(TCallMan& cm) override;

protected:
  void LoadFields(TFieldReader& f) override { props_ = f.Props(); }
  std::array<std::unique_ptr<TNovaParser>, kPropertyCount> props_{};
};

// Creates a visible object.
class TComControl : public TComComponent {
public:
  using TComComponent::TComComponent;
};

// The order in which a creation command applies its properties (every number 0..162 once).
const std::array<int, kPropertyCount>& CreationOrder();
// The value a property takes at creation when its expression has no value, in its type.
TPropValue CreationDefault(int id);
// The object type code a command code creates (LT_NONE for commands that create none).
uint8_t CreatedTypeCode(int commandCode);

// Applies the properties of a creation record to a new object, in the creation order: PR_NAME
// only when not empty, PR_PARENT by FindControl (an empty or unknown name: the displayed
// screen; a control always gets a parent), the rest through the object's setters.
void ApplyCreationProperties(TNovaObject& object, const TComComponent& record, TCallMan& cm);

}  // namespace nova
