#include "scenario/file_functions.h"

#include "base/text_lines.h"
#include "params/sysfunc_call.h"

namespace nova {

void RegisterFileFunctions(TSysFuncMan& funcs, TVrFileManager& files,
                           std::function<bool(const std::string& name)> available) {
  funcs.Register(FindSysFunc("FileExists"), [&files](TSysFuncCall& c) {
    std::string name = c.Str(0);
    c.ResultBool(!name.empty() && files.Exists(name));
  });
  funcs.Register(FindSysFunc("LoadTextFile"), [&files, available = std::move(available)](TSysFuncCall& c) {
    std::string name = c.Str(1);
    if (name.empty() || !available(name)) return;
    TKtMemoryStream data;
    files.ReadFile(data, name);
    if (data.Size() == 0) return;
    std::vector<std::string> lines = SplitLines(data.Data());
    if (lines.empty()) return;
    TCustomParam& v = c.OutWhole(0);
    v.SetDims({static_cast<int32_t>(lines.size())});
    for (size_t i = 0; i < lines.size(); ++i) v.SetStrAt(static_cast<int>(i), lines[i]);
    c.ResultBool(true);
  });
}

void UnregisterFileFunctions(TSysFuncMan& funcs) {
  for (const char* f : {"FileExists", "LoadTextFile"}) funcs.Register(FindSysFunc(f), nullptr);
}

}  // namespace nova
