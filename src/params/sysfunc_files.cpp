// Game files and path texts.
#include "base/sjis.h"
#include "params/environment.h"
#include "params/sysfunc_internal.h"

namespace nova {
namespace {

void FnFileExists(TSysFuncCall& c) {
  std::string name = c.Str(0);
  c.ResultBool(!name.empty() && Environment().FileExists(name));
}

void FnLoadTextFile(TSysFuncCall& c) {
  std::string name = c.Str(1);
  TSystemEnvironment& env = Environment();
  if (name.empty() || !(env.FileExists(name) || env.PromptDisk(name))) return;
  TKtMemoryStream data;
  if (!env.ReadGameFile(name, data) || data.Size() == 0) return;
  std::vector<std::string> lines = SplitLines(data.Data());
  if (lines.empty()) return;
  TCustomParam& v = c.OutWhole(0);
  v.SetDims({static_cast<int32_t>(lines.size())});
  for (size_t i = 0; i < lines.size(); ++i) v.SetStrAt(static_cast<int>(i), lines[i]);
  c.ResultBool(true);
}

void FnExtractFilePath(TSysFuncCall& c) { c.ResultStr(ExtractFilePath(c.Str(0))); }
void FnExtractFileName(TSysFuncCall& c) { c.ResultStr(ExtractFileName(c.Str(0))); }
void FnExtractFileExt(TSysFuncCall& c) { c.ResultStr(ExtractFileExt(c.Str(0))); }
void FnAddBackSlash(TSysFuncCall& c) { c.ResultStr(IncludeTrailingBackslash(c.Str(0))); }
void FnChangeFileExt(TSysFuncCall& c) { c.ResultStr(ChangeFileExt(c.Str(0), c.Str(1))); }

// Byte `index` (1-based) of s is one of `delims` and not the second byte of a character.
bool DelimiterAt(const std::string& delims, const std::string& s, int32_t index) {
  if (index < 1 || index > static_cast<int64_t>(s.size())) return false;
  size_t i = static_cast<size_t>(index - 1);
  return delims.find(s[i]) != std::string::npos && !IsTrailByteAt(s, i);
}

void FnIsPathDelimiter(TSysFuncCall& c) { c.ResultBool(DelimiterAt("\\", c.Str(0), c.Int(1))); }
void FnIsDelimiter(TSysFuncCall& c) { c.ResultBool(DelimiterAt(c.Str(0), c.Str(1), c.Int(2))); }

}  // namespace

void AddFileFuncs(TSysFuncImpl* t) {
  t[71] = FnFileExists;
  t[72] = FnLoadTextFile;
  t[75] = FnExtractFilePath;
  t[76] = FnExtractFileName;
  t[77] = FnExtractFileExt;
  t[78] = FnIsPathDelimiter;
  t[79] = FnAddBackSlash;
  t[80] = FnChangeFileExt;
  t[81] = FnIsDelimiter;
}

}  // namespace nova
