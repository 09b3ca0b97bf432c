#pragma once
// The 50 system variables: store items 0..49, each a TParamSystem that reads and writes the
// player state it names at the moment of access (through Environment() and the store's own
// settings). @Result and @Temp forward every operation to the value they stand for.
#include <cstdint>
#include <memory>
#include <string>

#include "params/param.h"

namespace nova {

class TParamCollection;

enum TSystemVar : uint8_t {
  SV_RESULT = 0, SV_LCLICK, SV_RCLICK, SV_LPUSH, SV_RPUSH, SV_MOUSEX, SV_MOUSEY, SV_TEXTDELAY, SV_HISTORYCOUNT,
  SV_PARAMCOUNT, SV_PARAMSTR, SV_SENDER, SV_SCRWIDTH, SV_SCRHEIGHT, SV_TICKCOUNT, SV_PCTICKCOUNT, SV_UPDATECOUNT,
  SV_YEAR, SV_MONTH, SV_DAY, SV_WEEK, SV_HOUR, SV_MIN, SV_SEC, SV_FONTS, SV_FIXEDFONTS, SV_FULLSCR, SV_CURSOR,
  SV_SELSTR, SV_SELINDEX, SV_PI, SV_CGDITHER, SV_1HOUR, SV_1MIN, SV_1SEC, SV_KEYPUSH, SV_KEYCLICK,
  SV_DISPLAYMODECOUNT, SV_DISPLAYMODEINDEX, SV_TITLE, SV_SOUNDON, SV_ACTIVECOMPO, SV_KEYREPEAT,
  SV_HISTORYMAXCOUNT, SV_TEMP, SV_MIDIPORT, SV_MIDIPORTS, SV_WHEELDOWN, SV_WHEELUP, SV_ISDEBUG
};
constexpr int kSystemVarCount = 50;
constexpr int kKeyArraySize = 258;  // 256 keys, wheel down, wheel up

const char* SystemVarName(int number);  // "@Result" .. "@IsDebug"

class TParamSystem : public TCustomParam {
public:
  TParamSystem(uint8_t number, TParamCollection& store);
  uint8_t Number;

  // The value @Result or @Temp stands for at this moment, or none (also for the others).
  TCustomParam* ForwardTarget() const;

  int GetCount() const override;
  void SetCount(int n) override;
  int GetParamType() const override;
  bool GetAsBool() override;
  Real GetAsFloat() override;
  int32_t GetAsInt() override;
  std::string GetAsStr() override;
  void SetAsBool(bool v) override;
  void SetAsFloat(Real v) override;
  void SetAsInt(int32_t v) override;
  void SetAsStr(const std::string& v) override;
  int32_t GetIntAt(int i) override;
  void SetIntAt(int i, int32_t v) override;
  Real GetFloatAt(int i) override;
  void SetFloatAt(int i, Real v) override;
  bool GetBoolAt(int i) override;
  void SetBoolAt(int i, bool v) override;
  std::string GetStrAt(int i) override;
  void SetStrAt(int i, const std::string& v) override;
  int GetDimCount() const override;
  int GetDim(int i) const override;
  void AssignRaw(const TCustomParam& src) override;
  void SetDims(const std::vector<int32_t>& dims) override;
  void FillInt(int32_t v) override;
  void FillFloat(Real v) override;
  void FillBool(bool v) override;
  void FillStr(const std::string& v) override;
  void CopyFrom(const TCustomParam& src) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s) override;
  void BeforeScalarSet() override;
  int IndexOfStr(const std::string& text, bool caseSensitive, bool partial) override;
  TCustomParam* Resolved() override;

private:
  bool Forwards() const { return Number == SV_RESULT || Number == SV_TEMP; }
  bool IsArray() const;
  int NativeType() const;
  // Native accessors of the variable's own type; `index` matters only for the arrays.
  int32_t ReadInt() const;
  Real ReadFloat() const;
  bool ReadBool(int index) const;
  std::string ReadStr(int index) const;
  void WriteInt(int32_t v);
  void WriteBool(bool v);
  void WriteStr(const std::string& v);

  TParamCollection& store_;
};

}  // namespace nova
