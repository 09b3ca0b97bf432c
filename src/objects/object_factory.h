#pragma once
// Creating display objects by type code (loading saved scenes): the layer that defines the
// concrete classes registers one maker per code; codes without a maker create nothing.
#include <array>
#include <functional>
#include <memory>

#include "objects/object_types.h"

namespace nova {

class TNovaBaseList;
class TNovaObject;

class TObjectFactory {
public:
  using TMaker = std::function<std::unique_ptr<TNovaObject>(TNovaBaseList& scene)>;
  static constexpr int kCodes = 128;

  void Register(int typeCode, TMaker maker);
  // The code is masked with 0x7F; null when no class answers it.
  std::unique_ptr<TNovaObject> Create(int typeCode, TNovaBaseList& scene) const;

private:
  std::array<TMaker, kCodes> makers_;
};

}  // namespace nova
