#include "params/system_vars.h"

#include <cmath>

#include "base/error.h"
#include "params/param_collection.h"
#include "params/param_convert.h"
#include "params/param_messages.h"

namespace nova {

namespace {

const char* const kNames[kSystemVarCount] = {
    "@Result",     "@LClick",      "@RClick",     "@LPush",      "@RPush",       "@MouseX",
    "@MouseY",     "@TextDelay",   "@HistoryCount", "@ParamCount", "@ParamStr",  "@Sender",
    "@ScrWidth",   "@ScrHeight",   "@TickCount",  "@PCTickCount", "@UpdateCount", "@Year",
    "@Month",      "@Day",         "@Week",       "@Hour",       "@Min",         "@Sec",
    "@Fonts",      "@FixedFonts",  "@FullScr",    "@Cursor",     "@SelStr",      "@SelIndex",
    "@Pi",         "@CGDither",    "@1Hour",      "@1Min",       "@1Sec",        "@KeyPush",
    "@KeyClick",   "@DisplayModeCount", "@DisplayModeIndex", "@Title", "@SoundON", "@ActiveCompo",
    "@KeyRepeat",  "@HistoryMaxCount", "@Temp",   "@MidiPort",   "@MidiPorts",   "@WheelDown",
    "@WheelUp",    "@IsDebug"};

// Type of each variable that does not forward.
const uint8_t kTypes[kSystemVarCount] = {
    PT_NONE, PT_BOOL, PT_BOOL, PT_BOOL, PT_BOOL, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT,   // 0-9
    PT_STR, PT_STR, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT, PT_INT,       // 10-19
    PT_INT, PT_INT, PT_INT, PT_INT, PT_STR, PT_STR, PT_BOOL, PT_STR, PT_STR, PT_INT,      // 20-29
    PT_FLOAT, PT_BOOL, PT_FLOAT, PT_FLOAT, PT_FLOAT, PT_BOOL, PT_BOOL, PT_INT, PT_INT, PT_STR,  // 30-39
    PT_BOOL, PT_STR, PT_BOOL, PT_INT, PT_NONE, PT_STR, PT_STR, PT_BOOL, PT_BOOL, PT_BOOL};    // 40-49

// Day of the week, 1 = Sunday .. 7 = Saturday, of a proleptic Gregorian date.
int DayOfWeek(int y, int m, int d) {
  // Days since 1970-01-01 (a Thursday), by the civil-calendar count.
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long days = static_cast<long>(era) * 146097 + doe - 719468;
  long w = (days + 4) % 7;  // 0 = Sunday
  if (w < 0) w += 7;
  return static_cast<int>(w) + 1;
}

// The clock variables read their binding; an unbound clock reads 0 and 1899-12-30.
TDateTimeParts Now(const TClockBinding& clock) { return clock.Now ? clock.Now() : TDateTimeParts{}; }
uint32_t Ticks(const std::function<uint32_t()>& f) { return f ? f() : 0; }

}  // namespace

const char* SystemVarName(int number) { return (number >= 0 && number < kSystemVarCount) ? kNames[number] : ""; }

TParamSystem::TParamSystem(uint8_t number, TParamCollection& store)
    : TCustomParam(kClassSystem), Number(number), store_(store) {}

TCustomParam* TParamSystem::ForwardTarget() const {
  if (Number == SV_RESULT) {
    const TSystemVarBinding& b = store_.SystemVarBindingOf(SV_RESULT);
    TCustomParam* p = b.Target ? b.Target() : nullptr;
    return p == this ? nullptr : p;
  }
  if (Number == SV_TEMP && !store_.TempTarget.empty()) {
    TParamCollectionItem* item = store_.FindParam(store_.TempTarget);
    // @Temp naming itself, or a reference that leads back to it, stands for nothing.
    if (!item || !item->Param || ReferenceChainReaches(item->Param.get(), this)) return nullptr;
    return item->Param.get();
  }
  return nullptr;
}

bool TParamSystem::IsArray() const {
  return Number == SV_PARAMSTR || Number == SV_KEYPUSH || Number == SV_KEYCLICK || Number == SV_KEYREPEAT ||
         Number == SV_MIDIPORTS;
}

int TParamSystem::NativeType() const {
  if (Number >= kSystemVarCount) RaiseError(msg::InternalError());
  return kTypes[Number];
}

int32_t TParamSystem::ReadInt() const {
  const TClockBinding& clock = store_.Clock();
  switch (Number) {
    case SV_TEXTDELAY: return store_.TextDelay;
    case SV_SELINDEX: return store_.SelIndex;
    case SV_TICKCOUNT: return static_cast<int32_t>(Ticks(clock.Total));
    case SV_PCTICKCOUNT: return static_cast<int32_t>(Ticks(clock.Timer));
    case SV_UPDATECOUNT: return static_cast<int32_t>(Ticks(clock.Frames));
    case SV_YEAR: return Now(clock).Year;
    case SV_MONTH: return Now(clock).Month;
    case SV_DAY: return Now(clock).Day;
    case SV_WEEK: {
      TDateTimeParts t = Now(clock);
      return DayOfWeek(t.Year, t.Month, t.Day);
    }
    case SV_HOUR: return Now(clock).Hour;
    case SV_MIN: return Now(clock).Min;
    case SV_SEC: return Now(clock).Sec;
    default: {
      const TSystemVarBinding& b = store_.SystemVarBindingOf(Number);
      if (b.GetInt) return b.GetInt();
      return Number == SV_DISPLAYMODEINDEX ? -1 : 0;
    }
  }
}

Real TParamSystem::ReadFloat() const {
  switch (Number) {
    case SV_PI: return std::acos(static_cast<Real>(-1));
    case SV_1HOUR: return static_cast<Real>(1) / 24;
    case SV_1MIN: return static_cast<Real>(1) / 1440;
    case SV_1SEC: return static_cast<Real>(1) / 86400;
    default: return 0;
  }
}

bool TParamSystem::ReadBool(int index) const {
  const TSystemVarBinding& b = store_.SystemVarBindingOf(Number);
  if (IsArray() && (index < 0 || index >= GetCount())) return false;
  if (b.GetFlag) return b.GetFlag(index);
  return Number == SV_SOUNDON;  // sound is on until media says otherwise; @IsDebug is FALSE
}

std::string TParamSystem::ReadStr(int index) const {
  switch (Number) {
    case SV_CURSOR: return store_.Cursor;
    case SV_SELSTR: return store_.SelStr;
    default: {
      const TSystemVarBinding& b = store_.SystemVarBindingOf(Number);
      if (Number == SV_MIDIPORTS && index < 0) index = 0;  // the whole value is the first port
      if (IsArray() && (index < 0 || index >= GetCount())) return std::string();
      return b.GetStr ? b.GetStr(index) : std::string();
    }
  }
}

void TParamSystem::WriteInt(int32_t v) {
  switch (Number) {
    case SV_TEXTDELAY: store_.TextDelay = v; break;
    case SV_SELINDEX: store_.SelIndex = v; break;
    default:
      if (const TSystemVarBinding& b = store_.SystemVarBindingOf(Number); b.SetInt) b.SetInt(v);
      break;  // read-only
  }
}

void TParamSystem::WriteBool(bool v) {
  const TSystemVarBinding& b = store_.SystemVarBindingOf(Number);
  if (!b.SetFlag) return;
  // @CGDither reloads every image when it changes: a write of the same value does nothing.
  if (Number == SV_CGDITHER && b.GetFlag && b.GetFlag(-1) == v) return;
  b.SetFlag(v);
}

void TParamSystem::WriteStr(const std::string& v) {
  switch (Number) {
    case SV_CURSOR: store_.Cursor = v; break;
    case SV_SELSTR: store_.SelStr = v; break;
    default:
      if (const TSystemVarBinding& b = store_.SystemVarBindingOf(Number); b.SetStr) b.SetStr(v);
      break;
  }
}

// ---- counts and types ----

int TParamSystem::GetCount() const {
  if (Forwards()) {
    TCustomParam* p = ForwardTarget();
    return p ? p->GetCount() : 1;
  }
  switch (Number) {
    case SV_KEYPUSH:
    case SV_KEYCLICK:
    case SV_KEYREPEAT: return kKeyArraySize;
    case SV_PARAMSTR:
    case SV_MIDIPORTS: {
      const TSystemVarBinding& b = store_.SystemVarBindingOf(Number);
      return b.Count ? b.Count() : 0;
    }
    default: return 1;
  }
}

void TParamSystem::SetCount(int n) {
  if (TCustomParam* p = ForwardTarget()) p->SetCount(n);
}

int TParamSystem::GetParamType() const {
  if (Forwards()) {
    TCustomParam* p = ForwardTarget();
    return p ? p->GetParamType() : PT_NONE;
  }
  return NativeType();
}

int TParamSystem::GetDimCount() const {
  TCustomParam* p = ForwardTarget();
  return p ? p->GetDimCount() : 1;
}

int TParamSystem::GetDim(int i) const {
  TCustomParam* p = ForwardTarget();
  if (p) return p->GetDim(i);
  return i == 0 ? GetCount() : 1;
}

// ---- reads: the native accessor, converted ----

int32_t TParamSystem::GetIntAt(int i) {
  if (Forwards()) {
    TCustomParam* p = ForwardTarget();
    return p ? p->GetIntAt(i) : 0;
  }
  switch (NativeType()) {
    case PT_INT: return ReadInt();
    case PT_FLOAT: return RealToInt(ReadFloat());
    case PT_BOOL: return ReadBool(i) ? 1 : 0;
    default: return TextToInt(ReadStr(i));
  }
}

Real TParamSystem::GetFloatAt(int i) {
  if (Forwards()) {
    TCustomParam* p = ForwardTarget();
    return p ? p->GetFloatAt(i) : 0;
  }
  switch (NativeType()) {
    case PT_INT: return ReadInt();
    case PT_FLOAT: return ReadFloat();
    case PT_BOOL: return ReadBool(i) ? 1 : 0;
    default: return TextToReal(ReadStr(i));
  }
}

bool TParamSystem::GetBoolAt(int i) {
  if (Forwards()) {
    TCustomParam* p = ForwardTarget();
    return p ? p->GetBoolAt(i) : false;
  }
  switch (NativeType()) {
    case PT_INT: return ReadInt() != 0;
    case PT_FLOAT: return ReadFloat() != 0;
    case PT_BOOL: return ReadBool(i);
    default: return TextToFlag(ReadStr(i));
  }
}

std::string TParamSystem::GetStrAt(int i) {
  if (Forwards()) {
    TCustomParam* p = ForwardTarget();
    return p ? p->GetStrAt(i) : std::string();
  }
  switch (NativeType()) {
    case PT_INT: return IntToText(ReadInt());
    case PT_FLOAT: return RealToText(ReadFloat());
    case PT_BOOL: return FlagToText(ReadBool(i));
    default: return ReadStr(i);
  }
}

// The whole value of an array variable is its "no element" reading (index -1); a forwarded
// value's whole value is its own.
bool TParamSystem::GetAsBool() {
  if (TCustomParam* p = ForwardTarget()) return p->GetAsBool();
  return Forwards() ? false : GetBoolAt(-1);
}
Real TParamSystem::GetAsFloat() {
  if (TCustomParam* p = ForwardTarget()) return p->GetAsFloat();
  return Forwards() ? 0 : GetFloatAt(-1);
}
int32_t TParamSystem::GetAsInt() {
  if (TCustomParam* p = ForwardTarget()) return p->GetAsInt();
  return Forwards() ? 0 : GetIntAt(-1);
}
std::string TParamSystem::GetAsStr() {
  if (TCustomParam* p = ForwardTarget()) return p->GetAsStr();
  return Forwards() ? std::string() : GetStrAt(-1);
}

// ---- writes: converted to the native type; a text that does not convert is ignored ----

void TParamSystem::SetAsInt(int32_t v) {
  if (Forwards()) {
    if (TCustomParam* p = ForwardTarget()) p->SetAsInt(v);
    return;
  }
  switch (NativeType()) {
    case PT_INT: WriteInt(v); break;
    case PT_BOOL: WriteBool(v != 0); break;
    case PT_STR: WriteStr(IntToText(v)); break;
    default: break;
  }
}

void TParamSystem::SetAsFloat(Real v) {
  if (Forwards()) {
    if (TCustomParam* p = ForwardTarget()) p->SetAsFloat(v);
    return;
  }
  switch (NativeType()) {
    case PT_INT: WriteInt(RealToInt(v)); break;
    case PT_BOOL: WriteBool(v != 0); break;
    case PT_STR: WriteStr(RealToText(v)); break;
    default: break;
  }
}

void TParamSystem::SetAsBool(bool v) {
  if (Forwards()) {
    if (TCustomParam* p = ForwardTarget()) p->SetAsBool(v);
    return;
  }
  switch (NativeType()) {
    case PT_INT: WriteInt(v ? 1 : 0); break;
    case PT_BOOL: WriteBool(v); break;
    case PT_STR: WriteStr(FlagToText(v)); break;
    default: break;
  }
}

void TParamSystem::SetAsStr(const std::string& v) {
  if (Forwards()) {
    if (TCustomParam* p = ForwardTarget()) p->SetAsStr(v);
    return;
  }
  int32_t i = 0;
  switch (NativeType()) {
    case PT_INT:
      if (TryTextToInt(v, i)) WriteInt(i);
      break;
    case PT_BOOL:
      // A flag takes the text's integer value, not the text "TRUE".
      if (TryTextToInt(v, i)) WriteBool(i != 0);
      break;
    case PT_STR: WriteStr(v); break;
    default: break;
  }
}

// The non-array variables ignore the index; the arrays are read-only.
void TParamSystem::SetIntAt(int i, int32_t v) {
  if (TCustomParam* p = ForwardTarget()) p->SetIntAt(i, v);
  else if (!Forwards() && !IsArray()) SetAsInt(v);
}
void TParamSystem::SetFloatAt(int i, Real v) {
  if (TCustomParam* p = ForwardTarget()) p->SetFloatAt(i, v);
  else if (!Forwards() && !IsArray()) SetAsFloat(v);
}
void TParamSystem::SetBoolAt(int i, bool v) {
  if (TCustomParam* p = ForwardTarget()) p->SetBoolAt(i, v);
  else if (!Forwards() && !IsArray()) SetAsBool(v);
}
void TParamSystem::SetStrAt(int i, const std::string& v) {
  if (TCustomParam* p = ForwardTarget()) p->SetStrAt(i, v);
  else if (!Forwards() && !IsArray()) SetAsStr(v);
}

// ---- whole-value operations: forwarded, else nothing ----

void TParamSystem::AssignRaw(const TCustomParam& src) {
  if (TCustomParam* p = ForwardTarget()) p->AssignRaw(src);
}
void TParamSystem::SetDims(const std::vector<int32_t>& dims) {
  if (TCustomParam* p = ForwardTarget()) p->SetDims(dims);
}
void TParamSystem::FillInt(int32_t v) {
  if (TCustomParam* p = ForwardTarget()) p->FillInt(v);
}
void TParamSystem::FillFloat(Real v) {
  if (TCustomParam* p = ForwardTarget()) p->FillFloat(v);
}
void TParamSystem::FillBool(bool v) {
  if (TCustomParam* p = ForwardTarget()) p->FillBool(v);
}
void TParamSystem::FillStr(const std::string& v) {
  if (TCustomParam* p = ForwardTarget()) p->FillStr(v);
}
void TParamSystem::CopyFrom(const TCustomParam& src) {
  if (TCustomParam* p = ForwardTarget()) p->CopyFrom(src);
}
void TParamSystem::SaveToStream(TStream& s) {
  if (TCustomParam* p = ForwardTarget()) p->SaveToStream(s);
}
void TParamSystem::LoadFromStream(TStream& s) {
  if (TCustomParam* p = ForwardTarget()) p->LoadFromStream(s);
}
void TParamSystem::BeforeScalarSet() {
  if (TCustomParam* p = ForwardTarget()) p->BeforeScalarSet();
}
int TParamSystem::IndexOfStr(const std::string& text, bool caseSensitive, bool partial) {
  if (TCustomParam* p = ForwardTarget()) return p->IndexOfStr(text, caseSensitive, partial);
  if (Forwards()) return -1;
  int n = GetCount();
  TParamStr scratch;
  scratch.SetCount(n);
  for (int i = 0; i < n; ++i) scratch.Elements[static_cast<size_t>(i)] = GetStrAt(i);
  return scratch.IndexOfStr(text, caseSensitive, partial);
}
TCustomParam* TParamSystem::Resolved() {
  TCustomParam* p = ForwardTarget();
  return p ? p->Resolved() : this;
}

}  // namespace nova
