#pragma once
// The variable store: the 50 system variables first, then the variables of the game and the
// temporaries of running expressions. One store per game.
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/hash_collection.h"
#include "base/stream.h"
#include "params/param.h"
#include "params/system_var_binding.h"

namespace nova {

class TNovaParser;
class TSysFuncMan;

class TParamCollectionItem : public THashCollectionItem {
public:
  std::unique_ptr<TCustomParam> Param;
  uint8_t Reserved = 0;
  uint8_t IsStatus = 0;
  int32_t Level = -1;
  uint8_t IsLocal = 0;
};

// Scopes of VarNew.
enum TVarScope : uint8_t { VS_GLOBAL = 0, VS_AUTODESTROY = 1, VS_LOCAL = 2, VS_STATUS = 3 };

class TParamCollection : public THashCollection {
public:
  static constexpr int kSystemCount = 50;

  TParamCollection();  // adds the system variables "@Result" .. "@IsDebug"
  ~TParamCollection() override;

  int32_t CurrentLevel = 0;
  std::string SelStr;
  int32_t SelIndex = -1;
  int32_t TextDelay = 50;
  std::string Cursor;
  std::string TempTarget;
  // Six settings of the default history format that saved games of some versions carry after
  // the variables (LoadVars keeps them here for the history).
  std::optional<std::array<int32_t, 6>> LoadedHistorySettings;

  // What the system variables read outside the store (see system_var_binding.h).
  void BindSystemVar(int number, TSystemVarBinding binding);
  void UnbindSystemVar(int number) { BindSystemVar(number, TSystemVarBinding{}); }
  const TSystemVarBinding& SystemVarBindingOf(int number) const;
  void BindClock(TClockBinding clock) { clock_ = std::move(clock); }
  const TClockBinding& Clock() const { return clock_; }

  TParamCollectionItem* ParamItem(int index) const { return static_cast<TParamCollectionItem*>(Item(index)); }

  TParamCollectionItem* AddParam(uint8_t type);
  // Checks the name ("\"%s\"：変数名が不正です") and renames.
  void SetParamName(TParamCollectionItem* item, std::string_view name);
  int IndexOf(std::string_view name) const override;
  // The same lookup with the name's bucket already known (HashOf(name)).
  int IndexOf(std::string_view name, int hash) const;
  TParamCollectionItem* FindParam(std::string_view name) const;
  TParamCollectionItem* FindParam(std::string_view name, int hash) const {
    int i = IndexOf(name, hash);
    return i < 0 ? nullptr : ParamItem(i);
  }
  // FindParam answered from the cache while no name entered or left the store's index and the
  // call depth is the same; the names of temporaries ("____" prefix) are looked up every time,
  // as they come and go with each run.
  TParamCollectionItem* FindParamCached(std::string_view name, int hash, TNameCache& cache) const {
    if (cache.Generation == generation_ && cache.Level == CurrentLevel) return cache.Item;
    TParamCollectionItem* item = FindParam(name, hash);
    if (!IsTemporaryName(name)) cache = TNameCache{item, generation_, CurrentLevel};
    return item;
  }
  // Lookups may answer differently after a change of an item's scope fields.
  void InvalidateLookups() { generation_ = NextGeneration(); }
  static bool IsTemporaryName(std::string_view name) { return name.substr(0, 4) == "____"; }
  TParamCollectionItem* FindForNew(std::string_view name, bool local) const;
  std::unique_ptr<TCustomParam> CopyParam(std::string_view name) const;
  void FreeItem(TParamCollectionItem* item);  // system variables are never freed
  void FreeLevel(int32_t level);
  void ResetVars();
  bool IsSystemItem(const TParamCollectionItem* item) const { return item->Index() < kSystemCount; }

  uint64_t Generation() const { return generation_; }

  void SaveVars(TStream& s);
  void LoadVars(TStream& s, int32_t version);
  void SaveStatusVars(TStream& s);
  void LoadStatusVars(TStream& s, int32_t version);

  // Temporaries of the executor: ordinary named items, recycled through a small pool so that
  // running an expression does not allocate. The name is not checked (it begins with "____").
  TParamCollectionItem* AddTemporary(uint8_t type, std::string_view name);
  void FreeTemporary(TParamCollectionItem* item, uint8_t type);

  // Case-insensitive name equality of the store (ASCII letters of single-byte characters).
  static bool SameName(std::string_view a, std::string_view b) {
    size_t n = a.size();
    if (n != b.size()) return false;
    if (n == 0) return true;
    // Names that differ usually differ in their last byte ("____12" / "____13"): two last
    // bytes that are not equal and not one letter in two cases cannot belong to equal names.
    unsigned x = static_cast<unsigned char>(a[n - 1]), y = static_cast<unsigned char>(b[n - 1]);
    if (x != y && ((x | 0x20u) != (y | 0x20u) || (x | 0x20u) - 'a' > 25u)) return false;
    return std::memcmp(a.data(), b.data(), n) == 0 || SameNameOfSize(a.data(), b.data(), n);
  }

protected:
  void NameIndexChanged(const std::string& name) override {
    if (!IsTemporaryName(name)) generation_ = NextGeneration();
  }

private:
  static bool SameNameOfSize(const char* a, const char* b, size_t n);
  void WriteRecords(TStream& s, std::vector<TParamCollectionItem*> items);
  void ReadRecords(TStream& s);

  // Generations are unique across every store of the process, so a cache filled against one
  // store never answers for another.
  static uint64_t NextGeneration() {
    static uint64_t counter = 0;
    return ++counter;
  }

  std::array<std::vector<std::unique_ptr<TParamCollectionItem>>, 5> tempPool_;
  std::array<TSystemVarBinding, kSystemCount> bindings_;
  TClockBinding clock_;
  uint64_t generation_ = NextGeneration();
};

// The VarNew command: creates the variable unless it exists for this scope, then assigns the
// initial value through the setter of `type`. A status variable that exists keeps its value.
void VarNew(TParamCollection& store, const std::string& name, uint8_t type, TNovaParser& expr, uint8_t scope,
            TSysFuncMan& funcs);
// The VarDel command: frees the variable the name finds; an empty name does nothing.
void VarDel(TParamCollection& store, const std::string& name);

// Display names of the scopes ("グローバル" ...), empty for other codes (Shift-JIS).
std::string VarScopeDisplayName(int scope);

}  // namespace nova
