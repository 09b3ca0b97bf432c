#pragma once
// Compiled expressions: a flat list of three-address operations run against the store.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "params/param.h"

namespace nova {

class TParamCollection;
class TSysFuncMan;

enum TOpeCode : uint8_t {
  ocNone = 0, ocTo, ocPlus, ocMinus, ocMul, ocDiv, ocMod, ocOr, ocAnd, ocXor, ocDimTo, ocFunc,
  ocEqual, ocBig, ocSmall, ocEBig, ocESmall, ocShiftL, ocShiftR, ocComboStr, ocNEqual
};
const char* OpeCodeName(uint8_t op);  // "ocNone" .. "ocNEqual"

struct TOpeData {
  uint8_t Op = ocNone;
  std::string DestName;
  uint8_t FuncCode = 0;
  std::vector<std::unique_ptr<TCustomParam>> Operands;
  int DestHash = -1;      // bucket of DestName, computed at the first run
  TNameCache DestCache;   // the destination's lookup (not copied, not saved)
};

class TNovaParser {
public:
  std::vector<std::unique_ptr<TOpeData>> Operations;
  std::unique_ptr<TCustomParam> Result;

  void Clear();
  void LoadFromStream(TStream& s);
  void SaveToStream(TStream& s) const;
  void Assign(const TNovaParser& other);
  bool Empty() const { return Operations.empty(); }
  // Runs against the store; errors end the run silently.
  void Execute(TParamCollection& store, TSysFuncMan& funcs);
};

// Compiles expression text (Shift-JIS) into build operations.
struct TBuildOpeData {
  uint8_t Op = ocNone;
  std::string DestName;
  std::vector<std::string> Operands;
};

// Compiles text and loads its serialised form into a runnable expression, as the run-time
// compiles (the Calc function, the VAR tag of message text) do. Raises the compiler's errors.
std::unique_ptr<TNovaParser> CompileExpression(const std::string& text);

class TBuildNovaParser {
public:
  std::vector<std::unique_ptr<TBuildOpeData>> Operations;
  int TempCounter = 0;
  void Build(const std::string& text);      // raises ENovaError with the compiler's messages
  void SaveToStream(TStream& s) const;      // classifies operand texts; may raise
};

}  // namespace nova
