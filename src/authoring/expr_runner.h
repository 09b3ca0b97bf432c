#pragma once
// The expression workbench behind `novatool expr`: variables declared on the command line,
// texts compiled and run one after another against one store, one output line per text.
#include <ostream>
#include <string>
#include <vector>

namespace nova {

class TParamCollection;
class TSysFuncMan;

// Declares a variable from "NAME:TYPE[DIMS][=VALUE]" (UTF-8; TYPE int|real|flag|str; DIMS like
// [3,4]; VALUE converted by the variable's type and given to every element). Raises
// ENovaError with a readable UTF-8 message when the declaration is malformed.
void DeclareVariable(TParamCollection& store, const std::string& declaration);

// Compiles one UTF-8 text; with hex, the line is the compiled form in lowercase hex, else the
// run's result: "int 3", "real 3.5", "flag TRUE", "str <UTF-8>" or "none". A compile error
// gives "error <message in UTF-8>". Returns false for a compile error.
bool RunExpressionLine(TParamCollection& store, TSysFuncMan& funcs, const std::string& utf8Text, bool hex,
                       std::string& line);

}  // namespace nova
