#include "components/text/history_functions.h"

#include "components/text/history.h"
#include "params/sysfunc.h"
#include "params/sysfunc_call.h"
#include "params/system_vars.h"

namespace nova {

void RegisterHistoryFunctions(TSysFuncMan& funcs, TNovaHistoryFormatManager& history) {
  funcs.Register(FindSysFunc("GetHistoryCount"), [&history](TSysFuncCall& c) {
    TNovaHistoryFormat* f = history.FindFormat(c.Str(0));
    c.ResultInt(f ? f->History.Count() : -1);
  });
  funcs.Register(FindSysFunc("GetHistoryMaxCount"), [&history](TSysFuncCall& c) {
    TNovaHistoryFormat* f = history.FindFormat(c.Str(0));
    c.ResultInt(f ? f->History.MaxCount : -1);
  });
  funcs.Register(FindSysFunc("SetHistoryMaxCount"), [&history](TSysFuncCall& c) {
    TNovaHistoryFormat* f = history.FindFormat(c.Str(0));
    if (f) f->History.MaxCount = c.Int(1);
    c.ResultBool(f != nullptr);
  });
  funcs.RegisterVariable(SV_HISTORYCOUNT, {.GetInt = [&history] { return history.Default().History.Count(); }});
  funcs.RegisterVariable(SV_HISTORYMAXCOUNT, {.GetInt = [&history] { return history.Default().History.MaxCount; },
                                              .SetInt = [&history](int32_t v) { history.Default().History.MaxCount = v; }});
}

void UnregisterHistoryFunctions(TSysFuncMan& funcs) {
  for (const char* f : {"GetHistoryCount", "GetHistoryMaxCount", "SetHistoryMaxCount"}) funcs.Register(FindSysFunc(f), nullptr);
  funcs.UnregisterVariable(SV_HISTORYCOUNT);
  funcs.UnregisterVariable(SV_HISTORYMAXCOUNT);
}

}  // namespace nova
