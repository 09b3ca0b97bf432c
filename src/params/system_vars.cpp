#include "params/system_vars.h"

#include <cmath>

#include "base/error.h"
#include "params/environment.h"
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

bool KeyArrayElement(int number, int index) {
  TSystemEnvironment& env = Environment();
  if (index == 256) return env.WheelDown();
  if (index == 257) return env.WheelUp();
  if (index < 0 || index > 255) return false;
  switch (number) {
    case SV_KEYPUSH: return env.KeyHeld(index);
    case SV_KEYCLICK: return env.KeyPressedThisFrame(index);
    default: return env.KeyRepeatThisFrame(index);
  }
}

}  // namespace

const char* SystemVarName(int number) { return (number >= 0 && number < kSystemVarCount) ? kNames[number] : ""; }

TParamSystem::TParamSystem(uint8_t number, TParamCollection& store)
    : TCustomParam(kClassSystem), Number(number), store_(store) {}

TCustomParam* TParamSystem::ForwardTarget() const {
  if (Number == SV_RESULT) {
    TCustomParam* p = Environment().ResultValue();
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
  TSystemEnvironment& env = Environment();
  switch (Number) {
    case SV_MOUSEX: return env.MouseX();
    case SV_MOUSEY: return env.MouseY();
    case SV_TEXTDELAY: return store_.TextDelay;
    case SV_HISTORYCOUNT: return env.HistoryCount();
    case SV_PARAMCOUNT: return env.ArgCount();
    case SV_SCRWIDTH: return env.ScreenWidth();
    case SV_SCRHEIGHT: return env.ScreenHeight();
    case SV_TICKCOUNT: return static_cast<int32_t>(env.TotalMilliseconds());
    case SV_PCTICKCOUNT: return static_cast<int32_t>(env.TimerMilliseconds());
    case SV_UPDATECOUNT: return static_cast<int32_t>(env.FrameCount());
    case SV_YEAR: return env.CachedDateTime().Year;
    case SV_MONTH: return env.CachedDateTime().Month;
    case SV_DAY: return env.CachedDateTime().Day;
    case SV_WEEK: {
      TDateTimeParts t = env.CachedDateTime();
      return DayOfWeek(t.Year, t.Month, t.Day);
    }
    case SV_HOUR: return env.CachedDateTime().Hour;
    case SV_MIN: return env.CachedDateTime().Min;
    case SV_SEC: return env.CachedDateTime().Sec;
    case SV_SELINDEX: return store_.SelIndex;
    case SV_DISPLAYMODECOUNT: return env.DisplayModeCount();
    case SV_DISPLAYMODEINDEX: return env.DisplayModeIndex();
    case SV_HISTORYMAXCOUNT: return env.HistoryMaxCount();
    default: return 0;
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
  TSystemEnvironment& env = Environment();
  switch (Number) {
    case SV_LCLICK: return env.LeftClick();
    case SV_RCLICK: return env.RightClick();
    case SV_LPUSH: return env.LeftPush();
    case SV_RPUSH: return env.RightPush();
    case SV_FULLSCR: return env.FullScreen();
    case SV_CGDITHER: return env.CGDither();
    case SV_KEYPUSH:
    case SV_KEYCLICK:
    case SV_KEYREPEAT: return index >= 0 && KeyArrayElement(Number, index);
    case SV_SOUNDON: return env.SoundOn();
    case SV_WHEELDOWN: return env.WheelDown();
    case SV_WHEELUP: return env.WheelUp();
    default: return false;  // @IsDebug
  }
}

std::string TParamSystem::ReadStr(int index) const {
  TSystemEnvironment& env = Environment();
  switch (Number) {
    case SV_PARAMSTR:
      return (index >= 0 && index < env.ArgCount()) ? env.Arg(index) : std::string();
    case SV_SENDER: return env.SenderName();
    case SV_FONTS: return env.Fonts(false);
    case SV_FIXEDFONTS: return env.Fonts(true);
    case SV_CURSOR: return store_.Cursor;
    case SV_SELSTR: return store_.SelStr;
    case SV_TITLE: return env.Title();
    case SV_ACTIVECOMPO: return env.ActiveCompo();
    case SV_MIDIPORT: return env.MidiPort();
    case SV_MIDIPORTS: {
      std::vector<std::string> ports = env.MidiPorts();
      size_t i = index < 0 ? 0 : static_cast<size_t>(index);
      return i < ports.size() ? ports[i] : std::string();
    }
    default: return std::string();
  }
}

void TParamSystem::WriteInt(int32_t v) {
  TSystemEnvironment& env = Environment();
  switch (Number) {
    case SV_MOUSEX: env.SetMouseX(v); break;
    case SV_MOUSEY: env.SetMouseY(v); break;
    case SV_TEXTDELAY: store_.TextDelay = v; break;
    case SV_SELINDEX: store_.SelIndex = v; break;
    case SV_DISPLAYMODEINDEX: env.SetDisplayModeIndex(v); break;
    case SV_HISTORYMAXCOUNT: env.SetHistoryMaxCount(v); break;
    default: break;  // read-only
  }
}

void TParamSystem::WriteBool(bool v) {
  TSystemEnvironment& env = Environment();
  switch (Number) {
    case SV_LCLICK: env.SetLeftClick(v); break;
    case SV_RCLICK: env.SetRightClick(v); break;
    case SV_FULLSCR: env.SetFullScreen(v); break;
    case SV_CGDITHER:
      if (env.CGDither() != v) env.SetCGDither(v);
      break;
    case SV_SOUNDON: env.SetSoundOn(v); break;
    default: break;
  }
}

void TParamSystem::WriteStr(const std::string& v) {
  TSystemEnvironment& env = Environment();
  switch (Number) {
    case SV_CURSOR: store_.Cursor = v; break;
    case SV_SELSTR: store_.SelStr = v; break;
    case SV_ACTIVECOMPO: env.SetActiveCompo(v); break;
    case SV_MIDIPORT: env.SetMidiPort(v); break;
    default: break;
  }
}

// ---- counts and types ----

int TParamSystem::GetCount() const {
  if (Forwards()) {
    TCustomParam* p = ForwardTarget();
    return p ? p->GetCount() : 1;
  }
  switch (Number) {
    case SV_PARAMSTR: return Environment().ArgCount();
    case SV_KEYPUSH:
    case SV_KEYCLICK:
    case SV_KEYREPEAT: return kKeyArraySize;
    case SV_MIDIPORTS: return static_cast<int>(Environment().MidiPorts().size());
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
