#pragma once
// The properties each object class takes from its creation command: what the authoring tool's
// dialog for that class edits (every settable property the class supports, except the width
// and height of objects sized by their picture, text or film, plus the expressions the command hands
// to the object). A command compiled from source carries all of them, so that the ones left
// empty take their creation defaults (a message box's font height 16).
#include <cstdint>
#include <vector>

namespace nova {

// Property numbers in ascending order; empty for type codes without a class.
const std::vector<int>& CreationProperties(uint8_t typeCode);

}  // namespace nova
