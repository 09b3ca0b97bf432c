#include "objects/object_factory.h"

#include "objects/nova_object.h"

namespace nova {

void TObjectFactory::Register(int typeCode, TMaker maker) {
  if (typeCode > 0 && typeCode < kCodes) makers_[static_cast<size_t>(typeCode)] = std::move(maker);
}

std::unique_ptr<TNovaObject> TObjectFactory::Create(int typeCode, TNovaBaseList& scene) const {
  const TMaker& maker = makers_[static_cast<size_t>(typeCode & 0x7F)];
  return maker ? maker(scene) : nullptr;
}

}  // namespace nova
