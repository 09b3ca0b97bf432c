#pragma once
// The variable store: the 50 system variables first, then the variables of the game and the
// temporaries of running expressions. One store per game.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/hash_collection.h"
#include "base/stream.h"
#include "params/param.h"

namespace nova {

class TParamCollectionItem : public THashCollectionItem {
public:
  std::unique_ptr<TCustomParam> Param;
  uint8_t Reserved = 0;
  uint8_t IsStatus = 0;
  int32_t Level = -1;
  uint8_t IsLocal = 0;
};

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

  TParamCollectionItem* ParamItem(int index) const { return static_cast<TParamCollectionItem*>(Item(index)); }

  TParamCollectionItem* AddParam(uint8_t type);
  // Checks the name ("\"%s\"：変数名が不正です") and renames.
  void SetParamName(TParamCollectionItem* item, std::string_view name);
  int IndexOf(std::string_view name) const override;
  TParamCollectionItem* FindParam(std::string_view name) const;
  TParamCollectionItem* FindForNew(std::string_view name, bool local) const;
  std::unique_ptr<TCustomParam> CopyParam(std::string_view name) const;
  void FreeItem(TParamCollectionItem* item);
  void FreeLevel(int32_t level);
  void ResetVars();
  bool IsSystemItem(const TParamCollectionItem* item) const { return item->Index() < kSystemCount; }

  void SaveVars(TStream& s);
  void LoadVars(TStream& s, int32_t version);
  void SaveStatusVars(TStream& s);
  void LoadStatusVars(TStream& s, int32_t version);
};

}  // namespace nova
