// Serialising build operations: each operand text becomes a typed constant or a variable name,
// in the same form TNovaParser loads.
#include "base/error.h"
#include "params/compiler_internal.h"
#include "params/param_convert.h"
#include "params/parser.h"
#include "params/sysfunc.h"

namespace nova {
namespace {

enum TOperandKind : uint8_t { kVariable = 0, kInteger = 1, kReal = 2, kFlag = 3, kString = 4 };

void WriteOperandText(TStream& s, const std::string& text) {
  int32_t i = 0;
  Real r = 0;
  if (TryTextToInt(text, i)) {
    s.WriteByte(kInteger);
    s.WriteInt32(i);
  } else if (TryTextToReal(text, r)) {
    s.WriteByte(kReal);
    s.WriteExtended(r);
  } else if (text == "TRUE" || text == "FALSE") {
    s.WriteByte(kFlag);
    s.WriteByte(text == "TRUE" ? 1 : 0);
  } else if (text.size() > 1 && text.front() == '"' && text.back() == '"') {
    s.WriteByte(kString);
    s.WriteString(text.substr(1, text.size() - 2));
  } else {
    s.WriteByte(kVariable);
    s.WriteString(text);
  }
}

}  // namespace

void TBuildNovaParser::SaveToStream(TStream& s) const {
  s.WriteInt32(static_cast<int32_t>(Operations.size()));
  for (const auto& o : Operations) {
    s.WriteByte(o->Op);
    s.WriteString(o->DestName);
    size_t first = 0;
    if (o->Op == ocFunc) {
      // Operand 0 names the function; it is written as the function code, not as an operand.
      const std::string name = o->Operands.empty() ? std::string() : o->Operands[0];
      int code = FindSysFunc(name);
      if (code < 0) throw ENovaError(compiler::UnknownFunction(name));
      const TSysFuncInfo& info = SysFuncInfo(code);
      int count = static_cast<int>(o->Operands.size()) - 1;
      if (count < info.MinArgs || (info.MaxArgs >= 0 && count > info.MaxArgs))
        throw ENovaError(compiler::BadArgCount(name));
      s.WriteInt32(count);
      s.WriteByte(static_cast<uint8_t>(code));
      first = 1;
    } else {
      s.WriteInt32(static_cast<int32_t>(o->Operands.size()));
    }
    for (size_t k = first; k < o->Operands.size(); ++k) WriteOperandText(s, o->Operands[k]);
  }
}

}  // namespace nova
