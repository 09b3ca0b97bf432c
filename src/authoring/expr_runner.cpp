#include "authoring/expr_runner.h"

#include <cstdio>

#include "base/encoding.h"
#include "base/error.h"
#include "components/lists/item_functions.h"
#include "objects/object_functions.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "params/param_convert.h"
#include "params/parser.h"
#include "params/sysfunc.h"

namespace nova {

namespace {

[[noreturn]] void Malformed(const std::string& declaration, const std::string& why) {
  // Tool messages are UTF-8 already; the edge prints them as they are.
  throw ENovaError("--var " + declaration + ": " + why);
}

int TypeFromName(const std::string& name) {
  if (name == "int") return PT_INT;
  if (name == "real") return PT_FLOAT;
  if (name == "flag") return PT_BOOL;
  if (name == "str") return PT_STR;
  return -1;
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

}  // namespace

TExprWorkbench::TExprWorkbench() : scene_(std::make_unique<TNovaBaseList>()) {
  RegisterObjectFunctions(funcs_, *scene_);
  RegisterItemFunctions(funcs_, *scene_);
}

TExprWorkbench::~TExprWorkbench() {
  UnregisterItemFunctions(funcs_);
  UnregisterObjectFunctions(funcs_);
}

void DeclareVariable(TParamCollection& store, const std::string& declaration) {
  size_t colon = declaration.find(':');
  if (colon == std::string::npos) Malformed(declaration, "expected NAME:TYPE[DIMS][=VALUE]");
  std::string name = declaration.substr(0, colon);
  std::string rest = declaration.substr(colon + 1);
  std::string value;
  bool hasValue = false;
  if (size_t eq = rest.find('='); eq != std::string::npos) {
    value = rest.substr(eq + 1);
    rest.resize(eq);
    hasValue = true;
  }
  std::vector<int32_t> dims;
  if (size_t open = rest.find('['); open != std::string::npos) {
    if (rest.back() != ']') Malformed(declaration, "dimensions must end with ]");
    std::string list = rest.substr(open + 1, rest.size() - open - 2);
    rest.resize(open);
    size_t start = 0;
    while (true) {
      size_t comma = list.find(',', start);
      std::string part = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      int32_t size = 0;
      if (!TryTextToInt(part, size) || size <= 0) Malformed(declaration, "bad dimension \"" + part + "\"");
      dims.push_back(size);
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
  int type = TypeFromName(rest);
  if (type < 0) Malformed(declaration, "unknown type \"" + rest + "\" (int, real, flag or str)");

  std::string sjisName;
  if (!TryUtf8ToSjis(name, sjisName)) Malformed(declaration, "the name does not fit Shift-JIS");
  TParamCollectionItem* item = store.AddParam(static_cast<uint8_t>(type));
  try {
    store.SetParamName(item, sjisName);
    if (!dims.empty()) item->Param->SetDims(dims);
  } catch (const ENovaError& e) {
    store.FreeItem(item);
    Malformed(declaration, SjisToUtf8(e.Message()));
  }
  if (hasValue) {
    std::string sjisValue = Utf8ToSjis(value);
    for (int i = 0; i < item->Param->GetCount(); ++i) item->Param->SetStrAt(i, sjisValue);
  }
}

bool RunExpressionLine(TParamCollection& store, TSysFuncMan& funcs, const std::string& utf8Text, bool hex,
                       std::string& line) {
  TKtMemoryStream compiled;
  try {
    TBuildNovaParser builder;
    builder.Build(Utf8ToSjis(utf8Text));
    builder.SaveToStream(compiled);
  } catch (const ENovaError& e) {
    line = "error " + SjisToUtf8(e.Message());
    return false;
  }
  if (hex) {
    line = Hex(compiled.Data());
    return true;
  }
  TNovaParser parser;
  compiled.SetPosition(0);
  parser.LoadFromStream(compiled);
  parser.Execute(store, funcs);
  if (!parser.Result) {
    line = "none";
    return true;
  }
  TCustomParam& r = *parser.Result;
  switch (r.GetParamType()) {
    case PT_INT: line = "int " + IntToText(r.GetAsInt()); break;
    case PT_FLOAT: line = "real " + RealToText(r.GetAsFloat()); break;
    case PT_BOOL: line = std::string("flag ") + (r.GetAsBool() ? "TRUE" : "FALSE"); break;
    default: line = "str " + SjisToUtf8(r.GetAsStr()); break;
  }
  return true;
}

}  // namespace nova
