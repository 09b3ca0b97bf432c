#include "components/register_components.h"

#include "components/component_services.h"
#include "components/nova_cglabel.h"
#include "components/nova_label.h"
#include "components/nova_mes.h"
#include "objects/nova_cabinet.h"
#include "objects/object_factory.h"
#include "objects/scene.h"

namespace nova {

void RegisterComponentClasses(TObjectFactory& factory, TComponentServices& services) {
  factory.Register(LT_CABINET, [](TNovaBaseList& scene) { return std::make_unique<TNovaCabinet>(&scene); });
  factory.Register(LT_MES, [&services](TNovaBaseList& scene) { return std::make_unique<TNovaMes>(&scene, services); });
  factory.Register(LT_LABEL, [&services](TNovaBaseList& scene) { return std::make_unique<TNovaLabel>(&scene, services); });
  factory.Register(LT_CGLABEL,
                   [&services](TNovaBaseList& scene) { return std::make_unique<TNovaCGLabel>(&scene, services); });
}

}  // namespace nova
