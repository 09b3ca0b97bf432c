#pragma once
// The variable dump of the tools and the player's --dump-vars: every variable that is neither a
// system variable nor a temporary, in store order, one JSON object per line:
//   {"name": "x", "type": "int", "dims": [3], "values": [1, 2, 3]}
// Types int, real, flag, str, ref; reals as the player's own text form in a JSON string; flags
// as true/false; names and strings in UTF-8. A reference shows what it reads through its target.
#include <ostream>
#include <string>

namespace nova {

class TParamCollection;

void DumpVars(TParamCollection& store, std::ostream& out);

}  // namespace nova
