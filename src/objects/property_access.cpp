#include "objects/property_access.h"

#include "base/error.h"
#include "base/sjis_text.h"
#include "objects/nova_object.h"
#include "params/param.h"
#include "params/property_table.h"

namespace nova {
namespace {

NOVA_SJIS_TEXT(GetPropError, "GetPropエラー")
NOVA_SJIS_TEXT(SetPropError, "SetPropエラー")

constexpr int32_t kStyleBits = 0x0F;  // bold, italic, underline, strikeout

TPropValue UnsupportedValue(TNovaObject& object, const TPropertyInfo& info) {
  switch (info.Unsupported) {
    case TUnsupported::MinusOne: return TPropValue::OfInt(-1);
    case TUnsupported::One: return TPropValue::OfInt(1);
    case TUnsupported::Full255: return TPropValue::OfInt(255);
    case TUnsupported::Full256: return TPropValue::OfInt(256);
    case TUnsupported::White: return TPropValue::OfInt(0xFFFFFF);
    case TUnsupported::True: return TPropValue::OfFlag(true);
    case TUnsupported::False: return TPropValue::OfFlag(false);
    case TUnsupported::Empty: return TPropValue::OfStr(std::string());
    case TUnsupported::Width: return ReadProperty(object, PR_WIDTH);
    case TUnsupported::Height: return ReadProperty(object, PR_HEIGHT);
    case TUnsupported::Zero:
    case TUnsupported::Own: break;
  }
  return info.Type == PT_FLOAT ? TPropValue::OfFloat(0) : TPropValue::OfInt(0);
}

// A class answer in another numeric type than the table's is converted to it.
TPropValue InType(TPropValue v, uint8_t type) {
  if (v.Type == type) return v;
  switch (type) {
    case PT_INT: return TPropValue::OfInt(v.Type == PT_BOOL ? (v.Flag ? 1 : 0) : static_cast<int32_t>(v.Float));
    case PT_BOOL: return TPropValue::OfFlag(v.Type == PT_INT ? v.Int != 0 : v.Float != 0);
    case PT_FLOAT: return TPropValue::OfFloat(v.Type == PT_INT ? Real(v.Int) : Real(v.Flag ? 1 : 0));
    default: return TPropValue::OfStr(v.Str);
  }
}

}  // namespace

TPropValue ReadProperty(TNovaObject& object, int id) {
  const TPropertyInfo* info = PropertyInfo(id);
  if (!info) return TPropValue{};
  switch (id) {
    case PR_NAME: return TPropValue::OfStr(object.Name());
    case PR_PRIORITY: return TPropValue::OfInt(object.Priority());
    case PR_TAG: return TPropValue::OfStr(object.Tag);
    case PR_COMPOTYPE: return TPropValue::OfInt(object.TypeCode());
    case PR_APPEARX:
    case PR_APPEARY: return TPropValue::OfInt(0);
    default: break;
  }
  TPropValue v;
  if (!object.GetProperty(id, v)) return UnsupportedValue(object, *info);
  v = InType(std::move(v), info->Type);
  if (id == PR_FONTSTYLE || id == PR_FONTHOVERSTYLE) v.Int &= kStyleBits;
  return v;
}

void WriteProperty(TNovaObject& object, int id, TPropValue value) {
  const TPropertyInfo* info = PropertyInfo(id);
  if (!info || info->ReadOnly) return;
  switch (id) {
    case PR_NAME: object.SetName(value.Str); return;
    case PR_PRIORITY: object.SetPriority(value.Int); return;
    case PR_TAG: object.Tag = value.Str; return;
    case PR_FONTSTYLE:
    case PR_FONTHOVERSTYLE: value.Int &= kStyleBits; break;
    default: break;
  }
  object.SetProperty(id, value);
}

void GetPropById(TCustomParam& result, TNovaObject& object, int32_t id) {
  if (id < 0 || id >= kPropertyCount) RaiseError(GetPropError());
  TPropValue v = ReadProperty(object, id);
  switch (v.Type) {
    case PT_INT: result.SetAsInt(v.Int); break;
    case PT_BOOL: result.SetAsBool(v.Flag); break;
    case PT_FLOAT: result.SetAsFloat(v.Float); break;
    default: result.SetAsStr(v.Str); break;
  }
}

void SetPropById(TNovaObject& object, int32_t id, TCustomParam& value) {
  if (id < 0 || id >= kPropertyCount || id == PR_APPEARX || id == PR_APPEARY) RaiseError(SetPropError());
  const TPropertyInfo* info = PropertyInfo(id);
  if (info->ReadOnly) return;
  switch (info->Type) {
    case PT_INT: WriteProperty(object, id, TPropValue::OfInt(value.GetAsInt())); break;
    case PT_BOOL: WriteProperty(object, id, TPropValue::OfFlag(value.GetAsBool())); break;
    case PT_FLOAT: WriteProperty(object, id, TPropValue::OfFloat(value.GetAsFloat())); break;
    default: WriteProperty(object, id, TPropValue::OfStr(value.GetAsStr())); break;
  }
}

}  // namespace nova
