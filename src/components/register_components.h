#pragma once
// The object factory of the game: one maker per type code for the concrete classes, each made
// with the game's services.
namespace nova {

class TObjectFactory;
struct TComponentServices;

void RegisterComponentClasses(TObjectFactory& factory, TComponentServices& services);

}  // namespace nova
