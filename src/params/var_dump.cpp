#include "params/var_dump.h"

#include <cstdio>

#include "base/json.h"
#include "params/param_collection.h"
#include "params/param_convert.h"

namespace nova {

namespace {

const char* TypeName(int type) {
  switch (type) {
    case PT_INT: return "int";
    case PT_FLOAT: return "real";
    case PT_BOOL: return "flag";
    case PT_STR: return "str";
    default: return "ref";
  }
}

// Element i of a value of the given type as JSON; i < 0 reads the whole value.
std::string JsonValue(TCustomParam& p, int type, int i) {
  switch (type) {
    case PT_INT: return IntToText(i < 0 ? p.GetAsInt() : p.GetIntAt(i));
    case PT_FLOAT: return JsonString(RealToText(i < 0 ? p.GetAsFloat() : p.GetFloatAt(i)));
    case PT_BOOL: return (i < 0 ? p.GetAsBool() : p.GetBoolAt(i)) ? "true" : "false";
    default: return JsonString(i < 0 ? p.GetAsStr() : p.GetStrAt(i));
  }
}

}  // namespace

void DumpVars(TParamCollection& store, std::ostream& out) {
  for (int i = TParamCollection::kSystemCount; i < store.Count(); ++i) {
    TParamCollectionItem* item = store.ParamItem(i);
    if (item->Name().compare(0, 4, "____") == 0 || !item->Param) continue;
    TCustomParam& p = *item->Param;
    bool ref = p.ClassCode() != kClassInt && p.ClassCode() != kClassFloat && p.ClassCode() != kClassFlag &&
               p.ClassCode() != kClassStr;
    std::string line = "{\"name\": " + JsonString(item->Name()) + ", \"type\": \"" +
                       (ref ? "ref" : TypeName(p.GetParamType())) + "\", \"dims\": [";
    if (!ref) {
      for (size_t k = 0; k < p.Dims.size(); ++k) line += (k ? ", " : "") + IntToText(p.Dims[k]);
    }
    std::string values;
    try {
      int type = p.GetParamType();
      if (ref) {
        // What the reference reads: the element it stands for, in its target's type.
        if (type != PT_NONE) values = JsonValue(p, type, -1);
      } else {
        for (int k = 0; k < p.GetCount(); ++k) values += (k ? ", " : "") + JsonValue(p, type, k);
      }
    } catch (const std::exception&) {
      values.clear();  // a reference past its target's end reads nothing
    }
    out << line << "], \"values\": [" << values << "]}\n";
  }
}

}  // namespace nova
