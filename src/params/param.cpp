#include "params/param.h"

#include <algorithm>

#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"
#include "params/param_collection.h"
#include "params/param_convert.h"
#include "params/param_messages.h"

namespace nova {

namespace {

std::string JoinSizes(const std::vector<int32_t>& dims) {
  std::string out;
  for (size_t i = 0; i < dims.size(); ++i) {
    if (i) out += ',';
    out += IntToText(dims[i]);
  }
  return out;
}

// Position of needle in hay starting on a character boundary, or npos.
size_t FindOnCharBoundary(const std::string& hay, const std::string& needle) {
  if (needle.empty() || needle.size() > hay.size()) return std::string::npos;
  for (size_t i = 0; i + needle.size() <= hay.size(); i += CharLen(hay, i)) {
    if (hay.compare(i, needle.size(), needle) == 0) return i;
  }
  return std::string::npos;
}

// How many elements of elementSize bytes the stream can still deliver, at most `limit`.
int32_t BoundedCount(TStream& s, int32_t n, int64_t elementSize, int64_t limit) {
  if (n <= 0) return 0;
  int64_t most = s.Remaining() / elementSize;
  return static_cast<int32_t>(std::min<int64_t>(n, std::min<int64_t>(most, limit)));
}

}  // namespace

// ---- TCustomParam ----

void TCustomParam::SetDims(const std::vector<int32_t>& dims) {
  int64_t product = 1;
  for (int32_t d : dims) {
    if (d <= 0) RaiseError(msg::BadDims(JoinSizes(dims)));
    product *= d;
    if (product > MaxElements()) RaiseError(msg::BadDims(JoinSizes(dims)));
  }
  Dims = dims;
  SetCount(static_cast<int>(product));
}

void TCustomParam::BeforeScalarSet() {
  if (!Dims.empty()) {
    Dims.clear();
    SetCount(1);
  }
}

void TCustomParam::AssignTyped(TCustomParam& src) {
  std::vector<int32_t> dims(static_cast<size_t>(src.GetDimCount()));
  for (size_t k = 0; k < dims.size(); ++k) dims[k] = src.GetDim(static_cast<int>(k));
  SetDims(dims);
  int n = src.GetCount();
  switch (GetParamType()) {
    case PT_INT:
      for (int i = 0; i < n; ++i) SetIntAt(i, src.GetIntAt(i));
      break;
    case PT_FLOAT:
      for (int i = 0; i < n; ++i) SetFloatAt(i, src.GetFloatAt(i));
      break;
    case PT_BOOL:
      for (int i = 0; i < n; ++i) SetBoolAt(i, src.GetBoolAt(i));
      break;
    case PT_STR:
      for (int i = 0; i < n; ++i) SetStrAt(i, src.GetStrAt(i));
      break;
    default:
      break;
  }
}

void TCustomParam::SaveDims(TStream& s) const {
  s.WriteInt32(static_cast<int32_t>(Dims.size()));
  for (int32_t d : Dims) s.WriteInt32(d);
}

void TCustomParam::LoadDims(TStream& s) {
  int32_t n = BoundedCount(s, s.ReadInt32(), 4, kMaxParamElements);
  Dims.resize(static_cast<size_t>(n));
  for (auto& d : Dims) d = s.ReadInt32();
}

void TCustomParam::CheckLoadedShape() const {
  if (Dims.empty()) return;
  int64_t product = 1;
  for (int32_t d : Dims) {
    if (d <= 0) product = -1;
    if (product > 0) product = std::min<int64_t>(product * d, kMaxParamElements + 1);
  }
  if (product != GetCount())
    RaiseError(Format("saved variable: dimensions [%s] do not match its %d elements", JoinSizes(Dims).c_str(),
                      GetCount()));
}

std::unique_ptr<TCustomParam> CreateParam(uint8_t type) {
  switch (type & 0x7F) {
    case PT_NONE: return std::make_unique<TParamVar>();
    case PT_INT: return std::make_unique<TParamInt>();
    case PT_FLOAT: return std::make_unique<TParamFloat>();
    case PT_BOOL: return std::make_unique<TParamFlag>();
    case PT_STR: return std::make_unique<TParamStr>();
    default: return nullptr;
  }
}

std::string ParamTypeDisplayName(int type) {
  static const std::string names[] = {Utf8ToSjis("整数"), Utf8ToSjis("実数"), Utf8ToSjis("フラグ"),
                                      Utf8ToSjis("文字列")};
  return (type >= PT_INT && type <= PT_STR) ? names[type - 1] : std::string();
}

// ---- TParamArray ----

template <typename E>
int64_t TParamArray<E>::MaxElements() const {
  return std::min<int64_t>(kMaxParamElements, kMaxParamBytes / static_cast<int64_t>(sizeof(E)));
}

template <typename E>
void TParamArray<E>::SetCount(int n) {
  if (n < 0 || n > MaxElements()) RaiseError(msg::BadDims(IntToText(n)));
  Elements.resize(static_cast<size_t>(n));
}

template <typename E>
void TParamArray<E>::BeforeScalarSet() {
  if (!Dims.empty()) {
    Dims.clear();
    Elements.resize(1);
  }
}

template <typename E>
E& TParamArray<E>::At(int i) {
  if (i < 0 || static_cast<size_t>(i) >= Elements.size()) RaiseError(msg::BadElementIndex());
  return Elements[static_cast<size_t>(i)];
}

template <typename E>
E& TParamArray<E>::First() {
  if (Elements.empty()) Elements.resize(1);
  return Elements[0];
}

template <typename E>
E& TParamArray<E>::ScalarSlot() {
  BeforeScalarSet();
  return First();
}

template <typename E>
void TParamArray<E>::AssignRaw(const TCustomParam& src) {
  TCustomParam& from = const_cast<TCustomParam&>(src);
  if (&from == this) return;
  if (from.ClassCode() == ClassCode()) {
    auto& same = static_cast<const TParamArray<E>&>(src);
    Dims = same.Dims;
    Elements = same.Elements;
  } else {
    // A system variable or a reference: copy what its accessors show; a plain one stays plain.
    AssignTyped(from);
    if (from.Resolved()->Dims.empty() && from.GetDimCount() == 1 && from.GetCount() == 1) Dims.clear();
  }
}

template <typename E>
void TParamArray<E>::CopyFrom(const TCustomParam& src) {
  TCustomParam* from = const_cast<TCustomParam&>(src).Resolved();
  if (from->ClassCode() != ClassCode()) RaiseError(msg::CopyMemTypeMismatch());
  if (from == this) return;
  auto* same = static_cast<TParamArray<E>*>(from);
  Dims = same->Dims;
  Elements = same->Elements;
}

template <typename E>
int TParamArray<E>::IndexOfStr(const std::string& text, bool caseSensitive, bool partial) {
  std::string key = (partial && !caseSensitive) ? LowerCaseAnsi(text) : text;
  int n = GetCount();
  for (int i = 0; i < n; ++i) {
    std::string element = GetStrAt(i);
    bool match;
    if (partial) {
      if (!caseSensitive) element = LowerCaseAnsi(element);
      match = FindOnCharBoundary(element, key) != std::string::npos;
    } else if (caseSensitive) {
      match = element == key;
    } else {
      match = SameText(element, key);
    }
    if (match) return i;
  }
  return -1;
}

template class TParamArray<int32_t>;
template class TParamArray<Real>;
template class TParamArray<uint8_t>;
template class TParamArray<std::string>;

// ---- TParamInt ----

bool TParamInt::GetAsBool() { return First() != 0; }
Real TParamInt::GetAsFloat() { return First(); }
int32_t TParamInt::GetAsInt() { return First(); }
std::string TParamInt::GetAsStr() { return IntToText(First()); }
void TParamInt::SetAsBool(bool v) { ScalarSlot() = v ? 1 : 0; }
void TParamInt::SetAsFloat(Real v) {
  int32_t i = RealToInt(v);
  ScalarSlot() = i;
}
void TParamInt::SetAsInt(int32_t v) { ScalarSlot() = v; }
void TParamInt::SetAsStr(const std::string& v) { ScalarSlot() = TextToInt(v); }
int32_t TParamInt::GetIntAt(int i) { return At(i); }
void TParamInt::SetIntAt(int i, int32_t v) { At(i) = v; }
Real TParamInt::GetFloatAt(int i) { return At(i); }
void TParamInt::SetFloatAt(int i, Real v) {
  int32_t& slot = At(i);
  slot = RealToInt(v);
}
bool TParamInt::GetBoolAt(int i) { return At(i) != 0; }
void TParamInt::SetBoolAt(int i, bool v) { At(i) = v ? 1 : 0; }
std::string TParamInt::GetStrAt(int i) { return IntToText(At(i)); }
void TParamInt::SetStrAt(int i, const std::string& v) { At(i) = TextToInt(v); }
void TParamInt::FillInt(int32_t v) { std::fill(Elements.begin(), Elements.end(), v); }
void TParamInt::SaveToStream(TStream& s) {
  SaveDims(s);
  s.WriteInt32(GetCount());
  for (int32_t v : Elements) s.WriteInt32(v);
}
void TParamInt::LoadFromStream(TStream& s) {
  LoadDims(s);
  Elements.resize(static_cast<size_t>(BoundedCount(s, s.ReadInt32(), 4, MaxElements())));
  for (auto& v : Elements) v = s.ReadInt32();
  CheckLoadedShape();
}

// ---- TParamFloat ----

bool TParamFloat::GetAsBool() { return First() != 0; }
Real TParamFloat::GetAsFloat() { return First(); }
int32_t TParamFloat::GetAsInt() { return RealToInt(First()); }
std::string TParamFloat::GetAsStr() { return RealToText(First()); }
void TParamFloat::SetAsBool(bool v) { ScalarSlot() = v ? 1 : 0; }
void TParamFloat::SetAsFloat(Real v) { ScalarSlot() = v; }
void TParamFloat::SetAsInt(int32_t v) { ScalarSlot() = v; }
void TParamFloat::SetAsStr(const std::string& v) { ScalarSlot() = TextToReal(v); }
int32_t TParamFloat::GetIntAt(int i) { return RealToInt(At(i)); }
void TParamFloat::SetIntAt(int i, int32_t v) { At(i) = v; }
Real TParamFloat::GetFloatAt(int i) { return At(i); }
void TParamFloat::SetFloatAt(int i, Real v) { At(i) = v; }
bool TParamFloat::GetBoolAt(int i) { return At(i) != 0; }
void TParamFloat::SetBoolAt(int i, bool v) { At(i) = v ? 1 : 0; }
std::string TParamFloat::GetStrAt(int i) { return RealToText(At(i)); }
void TParamFloat::SetStrAt(int i, const std::string& v) { At(i) = TextToReal(v); }
void TParamFloat::FillFloat(Real v) { std::fill(Elements.begin(), Elements.end(), v); }
void TParamFloat::SaveToStream(TStream& s) {
  SaveDims(s);
  s.WriteInt32(GetCount());
  for (Real v : Elements) s.WriteExtended(v);
}
void TParamFloat::LoadFromStream(TStream& s) {
  LoadDims(s);
  Elements.resize(static_cast<size_t>(BoundedCount(s, s.ReadInt32(), 10, MaxElements())));
  for (auto& v : Elements) v = s.ReadExtended();
  CheckLoadedShape();
}

// ---- TParamFlag ----

bool TParamFlag::GetAsBool() { return First() != 0; }
Real TParamFlag::GetAsFloat() { return First() != 0 ? 1 : 0; }
int32_t TParamFlag::GetAsInt() { return First() != 0 ? 1 : 0; }
std::string TParamFlag::GetAsStr() { return FlagToText(First() != 0); }
void TParamFlag::SetAsBool(bool v) { ScalarSlot() = v ? 1 : 0; }
void TParamFlag::SetAsFloat(Real v) { ScalarSlot() = v != 0 ? 1 : 0; }
void TParamFlag::SetAsInt(int32_t v) { ScalarSlot() = v != 0 ? 1 : 0; }
void TParamFlag::SetAsStr(const std::string& v) { ScalarSlot() = TextToFlag(v) ? 1 : 0; }
int32_t TParamFlag::GetIntAt(int i) { return At(i) != 0 ? 1 : 0; }
void TParamFlag::SetIntAt(int i, int32_t v) { At(i) = v != 0 ? 1 : 0; }
Real TParamFlag::GetFloatAt(int i) { return At(i) != 0 ? 1 : 0; }
void TParamFlag::SetFloatAt(int i, Real v) { At(i) = v != 0 ? 1 : 0; }
bool TParamFlag::GetBoolAt(int i) { return At(i) != 0; }
void TParamFlag::SetBoolAt(int i, bool v) { At(i) = v ? 1 : 0; }
std::string TParamFlag::GetStrAt(int i) { return FlagToText(At(i) != 0); }
void TParamFlag::SetStrAt(int i, const std::string& v) { At(i) = TextToFlag(v) ? 1 : 0; }
void TParamFlag::FillBool(bool v) { std::fill(Elements.begin(), Elements.end(), v ? 1 : 0); }
void TParamFlag::SaveToStream(TStream& s) {
  SaveDims(s);
  s.WriteInt32(GetCount());
  for (uint8_t v : Elements) s.WriteByte(v);
}
void TParamFlag::LoadFromStream(TStream& s) {
  LoadDims(s);
  Elements.resize(static_cast<size_t>(BoundedCount(s, s.ReadInt32(), 1, MaxElements())));
  for (auto& v : Elements) v = s.ReadByte();
  CheckLoadedShape();
}

// ---- TParamStr ----

bool TParamStr::GetAsBool() { return TextToFlag(First()); }
Real TParamStr::GetAsFloat() { return TextToReal(First()); }
int32_t TParamStr::GetAsInt() { return TextToInt(First()); }
std::string TParamStr::GetAsStr() { return First(); }
void TParamStr::SetAsBool(bool v) { ScalarSlot() = FlagToText(v); }
void TParamStr::SetAsFloat(Real v) {
  std::string text = RealToText(v);
  ScalarSlot() = std::move(text);
}
void TParamStr::SetAsInt(int32_t v) { ScalarSlot() = IntToText(v); }
void TParamStr::SetAsStr(const std::string& v) {
  if (Dims.empty() && !Elements.empty() && &v == &Elements[0]) return;
  std::string copy = v;  // v may be one of the elements BeforeScalarSet drops
  ScalarSlot() = std::move(copy);
}
int32_t TParamStr::GetIntAt(int i) { return TextToInt(At(i)); }
void TParamStr::SetIntAt(int i, int32_t v) { At(i) = IntToText(v); }
Real TParamStr::GetFloatAt(int i) { return TextToReal(At(i)); }
void TParamStr::SetFloatAt(int i, Real v) { At(i) = RealToText(v); }
bool TParamStr::GetBoolAt(int i) { return TextToFlag(At(i)); }
void TParamStr::SetBoolAt(int i, bool v) { At(i) = FlagToText(v); }
std::string TParamStr::GetStrAt(int i) { return At(i); }
void TParamStr::SetStrAt(int i, const std::string& v) { At(i) = v; }
void TParamStr::FillStr(const std::string& v) {
  std::string copy = v;
  std::fill(Elements.begin(), Elements.end(), copy);
}
void TParamStr::SaveToStream(TStream& s) {
  SaveDims(s);
  s.WriteInt32(GetCount());
  for (const auto& v : Elements) s.WriteString(v);
}
void TParamStr::LoadFromStream(TStream& s) {
  LoadDims(s);
  Elements.resize(static_cast<size_t>(BoundedCount(s, s.ReadInt32(), 4, MaxElements())));
  for (auto& v : Elements) v = s.ReadString();
  CheckLoadedShape();
}

// ---- TParamVar ----

TCustomParam* TParamVar::TargetParam() const { return Target ? Target->Param.get() : nullptr; }

int TParamVar::GetCount() const {
  TCustomParam* p = TargetParam();
  return p ? p->GetCount() : 1;
}
void TParamVar::SetCount(int n) {
  if (TCustomParam* p = TargetParam()) p->SetCount(n);
}
int TParamVar::GetParamType() const {
  TCustomParam* p = TargetParam();
  return p ? p->GetParamType() : PT_NONE;
}
bool TParamVar::GetAsBool() {
  TCustomParam* p = TargetParam();
  return p ? p->GetBoolAt(Index) : false;
}
Real TParamVar::GetAsFloat() {
  TCustomParam* p = TargetParam();
  return p ? p->GetFloatAt(Index) : 0;
}
int32_t TParamVar::GetAsInt() {
  TCustomParam* p = TargetParam();
  return p ? p->GetIntAt(Index) : 0;
}
std::string TParamVar::GetAsStr() {
  TCustomParam* p = TargetParam();
  return p ? p->GetStrAt(Index) : std::string();
}
void TParamVar::SetAsBool(bool v) {
  if (TCustomParam* p = TargetParam()) p->SetBoolAt(Index, v);
}
void TParamVar::SetAsFloat(Real v) {
  if (TCustomParam* p = TargetParam()) p->SetFloatAt(Index, v);
}
void TParamVar::SetAsInt(int32_t v) {
  if (TCustomParam* p = TargetParam()) p->SetIntAt(Index, v);
}
void TParamVar::SetAsStr(const std::string& v) {
  if (TCustomParam* p = TargetParam()) p->SetStrAt(Index, v);
}
int32_t TParamVar::GetIntAt(int i) {
  TCustomParam* p = TargetParam();
  return p ? p->GetIntAt(i) : 0;
}
void TParamVar::SetIntAt(int i, int32_t v) {
  if (TCustomParam* p = TargetParam()) p->SetIntAt(i, v);
}
Real TParamVar::GetFloatAt(int i) {
  TCustomParam* p = TargetParam();
  return p ? p->GetFloatAt(i) : 0;
}
void TParamVar::SetFloatAt(int i, Real v) {
  if (TCustomParam* p = TargetParam()) p->SetFloatAt(i, v);
}
bool TParamVar::GetBoolAt(int i) {
  TCustomParam* p = TargetParam();
  return p ? p->GetBoolAt(i) : false;
}
void TParamVar::SetBoolAt(int i, bool v) {
  if (TCustomParam* p = TargetParam()) p->SetBoolAt(i, v);
}
std::string TParamVar::GetStrAt(int i) {
  TCustomParam* p = TargetParam();
  return p ? p->GetStrAt(i) : std::string();
}
void TParamVar::SetStrAt(int i, const std::string& v) {
  if (TCustomParam* p = TargetParam()) p->SetStrAt(i, v);
}
int TParamVar::GetDimCount() const {
  TCustomParam* p = TargetParam();
  return p ? p->GetDimCount() : TCustomParam::GetDimCount();
}
int TParamVar::GetDim(int i) const {
  TCustomParam* p = TargetParam();
  return p ? p->GetDim(i) : TCustomParam::GetDim(i);
}
void TParamVar::AssignRaw(const TCustomParam& src) {
  if (src.ClassCode() != kClassVar || &src == this) return;
  const auto& other = static_cast<const TParamVar&>(src);
  Dims = other.Dims;
  Name = other.Name;
  Target = other.Target;
  Reserved = other.Reserved;
  Index = other.Index;
  NameHash = other.NameHash;
}
void TParamVar::SetDims(const std::vector<int32_t>& dims) {
  if (TCustomParam* p = TargetParam()) p->SetDims(dims);
}
void TParamVar::FillInt(int32_t v) {
  if (TCustomParam* p = TargetParam()) p->FillInt(v);
}
void TParamVar::FillFloat(Real v) {
  if (TCustomParam* p = TargetParam()) p->FillFloat(v);
}
void TParamVar::FillBool(bool v) {
  if (TCustomParam* p = TargetParam()) p->FillBool(v);
}
void TParamVar::FillStr(const std::string& v) {
  if (TCustomParam* p = TargetParam()) p->FillStr(v);
}
void TParamVar::CopyFrom(const TCustomParam& src) {
  if (TCustomParam* p = TargetParam()) p->CopyFrom(src);
}
void TParamVar::SaveToStream(TStream& s) {
  SaveDims(s);
  s.WriteString(Name);
  s.WriteString(Target ? Target->Name() : std::string());
  s.WriteByte(Reserved);
  s.WriteInt32(Index);
}
void TParamVar::LoadFromStream(TStream& s) {
  LoadDims(s);
  Name = s.ReadString();
  NameHash = -1;
  LoadedTargetName = s.ReadString();
  Target = nullptr;
  Reserved = s.ReadByte();
  Index = s.ReadInt32();
}
void TParamVar::BeforeScalarSet() {
  if (TCustomParam* p = TargetParam()) p->BeforeScalarSet();
}
int TParamVar::IndexOfStr(const std::string& text, bool caseSensitive, bool partial) {
  TCustomParam* p = TargetParam();
  return p ? p->IndexOfStr(text, caseSensitive, partial) : -1;
}
TCustomParam* TParamVar::Resolved() {
  // Bindings never form a loop (ReferenceChainReaches), so this ends.
  TCustomParam* p = TargetParam();
  return p ? p->Resolved() : this;
}

bool ReferenceChainReaches(const TCustomParam* start, const TCustomParam* self) {
  constexpr int kMostSteps = 64;
  const TCustomParam* p = start;
  for (int steps = 0; p; ++steps) {
    if (p == self || steps >= kMostSteps) return true;
    if (p->ClassCode() != kClassVar) return false;
    p = static_cast<const TParamVar*>(p)->TargetParam();
  }
  return false;
}

}  // namespace nova
