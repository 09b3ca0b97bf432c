#include "params/param_collection.h"

#include <algorithm>

#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"
#include "params/param_messages.h"
#include "params/parser.h"
#include "params/system_vars.h"

namespace nova {

namespace {

constexpr size_t kTempPoolLimit = 32;

void CheckVarName(std::string_view name) {
  if (name.empty() || name.find(' ') != std::string_view::npos || (name[0] >= '0' && name[0] <= '9')) {
    RaiseError(msg::BadVarName(std::string(name)));
  }
}

// A recycled temporary starts like a new value of its class.
bool ResetForReuse(TParamCollectionItem& item, uint8_t type) {
  TCustomParam* p = item.Param.get();
  if (!p || p->ClassCode() != type) return false;
  p->Dims.clear();
  switch (type) {
    case kClassInt: static_cast<TParamInt*>(p)->Elements.assign(1, 0); break;
    case kClassFloat: static_cast<TParamFloat*>(p)->Elements.assign(1, 0); break;
    case kClassFlag: static_cast<TParamFlag*>(p)->Elements.assign(1, 0); break;
    case kClassStr: {
      auto& e = static_cast<TParamStr*>(p)->Elements;
      e.resize(1);
      e[0].clear();
      break;
    }
    case kClassVar: {
      auto* v = static_cast<TParamVar*>(p);
      v->Name.clear();
      v->LoadedTargetName.clear();
      v->Target = nullptr;
      v->Reserved = 0;
      v->Index = 0;
      v->NameHash = -1;
      break;
    }
    default: return false;
  }
  item.Reserved = 0;
  item.IsStatus = 0;
  item.Level = -1;
  item.IsLocal = 0;
  return true;
}

void WriteRecord(TStream& s, TParamCollectionItem* item) {
  s.WriteByte(item->Param->ClassCode());
  s.WriteString(item->Name());
  item->Param->SaveToStream(s);
  s.WriteByte(item->IsStatus);
  s.WriteByte(item->Reserved);
  s.WriteInt32(item->Level);
  s.WriteByte(item->IsLocal);
}

}  // namespace

TParamCollection::TParamCollection() {
  for (int n = 0; n < kSystemCount; ++n) {
    auto item = std::make_unique<TParamCollectionItem>();
    item->Param = std::make_unique<TParamSystem>(static_cast<uint8_t>(n), *this);
    Add(std::move(item), SystemVarName(n));
  }
}

TParamCollection::~TParamCollection() { Clear(); }

void TParamCollection::BindSystemVar(int number, TSystemVarBinding binding) {
  if (number >= 0 && number < kSystemCount) bindings_[static_cast<size_t>(number)] = std::move(binding);
}

const TSystemVarBinding& TParamCollection::SystemVarBindingOf(int number) const {
  static const TSystemVarBinding unbound;
  return (number >= 0 && number < kSystemCount) ? bindings_[static_cast<size_t>(number)] : unbound;
}

bool TParamCollection::SameNameOfSize(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n;) {
    unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (ca == cb) {
      // Equal lead bytes keep both names on the same character boundaries; the trail byte
      // is never folded.
      if (IsLeadByte(ca) && i + 1 < n) {
        if (a[i + 1] != b[i + 1]) return false;
        i += 2;
      } else {
        ++i;
      }
      continue;
    }
    unsigned fa = ca | 0x20u, fb = cb | 0x20u;
    if (fa != fb || fa < 'a' || fa > 'z') return false;
    ++i;
  }
  return true;
}

TParamCollectionItem* TParamCollection::AddParam(uint8_t type) {
  std::unique_ptr<TCustomParam> value = CreateParam(type);
  if (!value) RaiseError(msg::InternalError());
  auto item = std::make_unique<TParamCollectionItem>();
  item->Param = std::move(value);
  return static_cast<TParamCollectionItem*>(Add(std::move(item)));
}

void TParamCollection::SetParamName(TParamCollectionItem* item, std::string_view name) {
  CheckVarName(name);
  SetItemName(item, name);
}

int TParamCollection::IndexOf(std::string_view name) const { return IndexOf(name, HashOf(name)); }

int TParamCollection::IndexOf(std::string_view name, int hash) const {
  int remembered = -1;
  for (THashCollectionItem* p = BucketHead(hash); p; p = p->NextInBucket()) {
    if (!SameName(p->Name(), name)) continue;
    auto* item = static_cast<TParamCollectionItem*>(p);
    if (item->IsLocal) {
      if (item->Level == CurrentLevel) return item->Index();
      continue;  // a local of another depth is never found
    }
    remembered = item->Index();  // the last one along the chain is the oldest
  }
  return remembered;
}

TParamCollectionItem* TParamCollection::FindParam(std::string_view name) const {
  int i = IndexOf(name);
  return i < 0 ? nullptr : ParamItem(i);
}

TParamCollectionItem* TParamCollection::FindForNew(std::string_view name, bool local) const {
  for (THashCollectionItem* p = BucketHead(HashOf(name)); p; p = p->NextInBucket()) {
    if (!SameName(p->Name(), name)) continue;
    auto* item = static_cast<TParamCollectionItem*>(p);
    if (local ? (item->IsLocal && item->Level == CurrentLevel) : !item->IsLocal) return item;
  }
  return nullptr;
}

std::unique_ptr<TCustomParam> TParamCollection::CopyParam(std::string_view name) const {
  TParamCollectionItem* item = FindParam(name);
  if (!item) return nullptr;
  int type = item->Param->GetParamType();
  if (type == PT_NONE) RaiseError(msg::InvalidVar(std::string(name)));
  std::unique_ptr<TCustomParam> copy = CreateParam(static_cast<uint8_t>(type));
  copy->AssignRaw(*item->Param);
  return copy;
}

void TParamCollection::FreeItem(TParamCollectionItem* item) {
  if (!item || item->Collection() != this || IsSystemItem(item)) return;
  Delete(item->Index());
}

void TParamCollection::FreeLevel(int32_t level) {
  for (int i = Count() - 1; i >= kSystemCount; --i) {
    if (ParamItem(i)->Level == level) Delete(i);
  }
}

void TParamCollection::ResetVars() {
  for (int i = Count() - 1; i >= kSystemCount; --i) {
    if (!ParamItem(i)->IsStatus) Delete(i);
  }
  TextDelay = 50;
  Cursor.clear();
}

TParamCollectionItem* TParamCollection::AddTemporary(uint8_t type, std::string_view name) {
  auto& pool = tempPool_[type < tempPool_.size() ? type : 0];
  if (type < tempPool_.size() && !pool.empty()) {
    std::unique_ptr<TParamCollectionItem> item = std::move(pool.back());
    pool.pop_back();
    // A recycled item still carries its last name, usually the one asked for again.
    if (item->Name() == name) return static_cast<TParamCollectionItem*>(Add(std::move(item)));
    return static_cast<TParamCollectionItem*>(Add(std::move(item), name));
  }
  TParamCollectionItem* item = AddParam(type);
  SetItemName(item, name);
  return item;
}

void TParamCollection::FreeTemporary(TParamCollectionItem* item, uint8_t type) {
  if (!item || item->Collection() != this || IsSystemItem(item)) return;
  std::unique_ptr<THashCollectionItem> raw = Extract(item->Index());
  if (type >= tempPool_.size() || tempPool_[type].size() >= kTempPoolLimit) return;
  if (!ResetForReuse(*item, type)) return;
  raw.release();
  tempPool_[type].emplace_back(item);
}

// ---- saved forms ----

void TParamCollection::WriteRecords(TStream& s, std::vector<TParamCollectionItem*> remaining) {
  // A reference is written after its target, so that loading can bind it at once.
  auto pending = [&](const TParamCollectionItem* target, const TParamCollectionItem* self) {
    return target != self && std::find(remaining.begin(), remaining.end(), target) != remaining.end();
  };
  while (!remaining.empty()) {
    bool progress = false;
    for (size_t k = remaining.size(); k-- > 0;) {
      TParamCollectionItem* item = remaining[k];
      if (item->Param->ClassCode() == kClassVar) {
        auto* ref = static_cast<TParamVar*>(item->Param.get());
        if (ref->Target && pending(ref->Target, item)) continue;
      }
      WriteRecord(s, item);
      remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(k));
      progress = true;
    }
    if (!progress) {
      // References that point at each other: no order satisfies them all.
      WriteRecord(s, remaining.back());
      remaining.pop_back();
    }
  }
}

void TParamCollection::ReadRecords(TStream& s) {
  int32_t count = s.ReadInt32();
  for (int32_t n = 0; n < count && s.Remaining() > 0; ++n) {
    uint8_t type = s.ReadByte();
    std::string name = s.ReadString();
    if (name.empty()) {
      TParamVar scratch;
      scratch.LoadFromStream(s);
      s.ReadByte();
      s.ReadByte();
      s.ReadInt32();
      s.ReadByte();
      continue;
    }
    TParamCollectionItem* item = AddParam(type);
    try {
      SetParamName(item, name);
    } catch (...) {
      Delete(item->Index());
      throw;
    }
    item->Param->LoadFromStream(s);
    if (item->Param->ClassCode() == kClassVar) {
      auto* ref = static_cast<TParamVar*>(item->Param.get());
      if (!ref->LoadedTargetName.empty()) {
        TParamCollectionItem* target = FindParam(ref->LoadedTargetName);
        // A saved loop of references (or one naming itself) stays unbound.
        if (target && !ReferenceChainReaches(target->Param.get(), ref)) ref->Target = target;
      }
    }
    item->IsStatus = s.ReadByte();
    item->Reserved = s.ReadByte();
    item->Level = s.ReadInt32();
    item->IsLocal = s.ReadByte();
    InvalidateLookups();
  }
}

void TParamCollection::SaveVars(TStream& s) {
  std::vector<TParamCollectionItem*> items;
  for (int i = kSystemCount; i < Count(); ++i) {
    if (!ParamItem(i)->IsStatus) items.push_back(ParamItem(i));
  }
  s.WriteInt32(static_cast<int32_t>(items.size()));
  WriteRecords(s, std::move(items));
  s.WriteInt32(TextDelay);
  s.WriteString(Cursor);
  s.WriteString(SelStr);
  s.WriteInt32(SelIndex);
  s.WriteString(TempTarget);
}

void TParamCollection::LoadVars(TStream& s, int32_t version) {
  LoadedHistorySettings.reset();
  for (int i = Count() - 1; i >= kSystemCount; --i) {
    if (!ParamItem(i)->IsStatus) Delete(i);
  }
  ReadRecords(s);
  TextDelay = s.ReadInt32();
  Cursor = s.ReadString();
  if (version > 102) {
    SelStr = s.ReadString();
    SelIndex = s.ReadInt32();
  }
  if (version > 112 && version < 135) {
    std::array<int32_t, 6> history{};
    for (auto& v : history) v = s.ReadInt32();
    LoadedHistorySettings = history;
  }
  if (version > 120) TempTarget = s.ReadString();
}

void TParamCollection::SaveStatusVars(TStream& s) {
  std::vector<TParamCollectionItem*> items;
  for (int i = kSystemCount; i < Count(); ++i) {
    if (ParamItem(i)->IsStatus) items.push_back(ParamItem(i));
  }
  s.WriteInt32(static_cast<int32_t>(items.size()));
  WriteRecords(s, std::move(items));
}

void TParamCollection::LoadStatusVars(TStream& s, int32_t /*version*/) { ReadRecords(s); }

// ---- VarNew / VarDel ----

void VarNew(TParamCollection& store, const std::string& name, uint8_t type, TNovaParser& expr, uint8_t scope,
            TSysFuncMan& funcs) {
  if (name.empty()) RaiseError(msg::NoVarName());
  TParamCollectionItem* item = store.FindForNew(name, scope == VS_LOCAL);
  if (!item) {
    CheckVarName(name);
    item = store.AddParam(type);
    store.SetItemName(item, name);
    if (scope == VS_AUTODESTROY || scope == VS_LOCAL) item->Level = store.CurrentLevel;
    if (scope == VS_LOCAL) item->IsLocal = 1;
    store.InvalidateLookups();
    if (scope == VS_STATUS) item->IsStatus = 1;
  } else if (item->IsStatus) {
    return;  // a status variable keeps its value
  }
  expr.Execute(store, funcs);
  if (!expr.Result) return;
  TCustomParam& result = *expr.Result;
  switch (type & 0x7F) {
    case PT_INT: item->Param->SetAsInt(result.GetAsInt()); break;
    case PT_FLOAT: item->Param->SetAsFloat(result.GetAsFloat()); break;
    case PT_BOOL: item->Param->SetAsBool(result.GetAsBool()); break;
    case PT_STR: item->Param->SetAsStr(result.GetAsStr()); break;
    default: break;
  }
}

void VarDel(TParamCollection& store, const std::string& name) {
  if (name.empty()) return;
  store.FreeItem(store.FindParam(name));
}

std::string VarScopeDisplayName(int scope) {
  static const std::string names[] = {Utf8ToSjis("グローバル"), Utf8ToSjis("自動破棄"), Utf8ToSjis("ローカル"),
                                      Utf8ToSjis("ステータス")};
  return (scope >= 0 && scope <= 3) ? names[scope] : std::string();
}

}  // namespace nova
