#pragma once
// What an object-creating command compiled from source carries: every property its class takes
// from the command (empty expressions give the creation defaults), plus whatever the source
// names. The compiler builds the page's property-set records from it and the disassembler
// checks them against it.
#include "scenario/page_format.h"

namespace nova::source {

void AddClassProperties(TPropSet& set, int commandCode);

}  // namespace nova::source
