// Path texts.
#include "base/sjis.h"
#include "params/sysfunc_internal.h"

namespace nova {
namespace {

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

void AddPathFuncs(TSysFuncMan& m) {
  m.Register(75, FnExtractFilePath);
  m.Register(76, FnExtractFileName);
  m.Register(77, FnExtractFileExt);
  m.Register(78, FnIsPathDelimiter);
  m.Register(79, FnAddBackSlash);
  m.Register(80, FnChangeFileExt);
  m.Register(81, FnIsDelimiter);
}

}  // namespace nova
