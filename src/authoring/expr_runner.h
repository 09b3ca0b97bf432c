#pragma once
// The expression workbench behind `novatool expr`: variables declared on the command line,
// texts compiled and run one after another against one store, one output line per text.
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "params/param_collection.h"
#include "params/sysfunc.h"

namespace nova {

class TNovaBaseList;

// What the texts run against: one variable store, the function dispatcher and an empty scene
// (two bare screens, no object) with the functions that reach display objects bound to it:
// GetProp, SetProp, Exists, ListCompo, InPrimary, ToClientX/Y, ToScreenX/Y and the item
// functions (GetCheck, SetCheck, ..., IndexOfMenu). They answer what a game that has no such
// object gets, rather than nothing at all.
class TExprWorkbench {
public:
  TExprWorkbench();
  ~TExprWorkbench();
  TExprWorkbench(const TExprWorkbench&) = delete;
  TExprWorkbench& operator=(const TExprWorkbench&) = delete;

  TParamCollection& Store() { return store_; }
  TSysFuncMan& Funcs() { return funcs_; }
  TNovaBaseList& Scene() { return *scene_; }

private:
  TParamCollection store_;
  TSysFuncMan funcs_{store_};
  std::unique_ptr<TNovaBaseList> scene_;
  // The data-table functions (DBCreateTable ... DBClearRecord) are bound here to a table store
  // of their own once the table store exists; until then they give no value, as any function
  // without a binding.
};

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
