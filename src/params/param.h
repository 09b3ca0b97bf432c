#pragma once
// Variable values: one element or an n-dimensional array of one element type. Every getter
// and setter converts with the rules of param_convert.h when a value is read as another type.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/extended.h"
#include "base/stream.h"

namespace nova {

enum TParamType : uint8_t { PT_NONE = 0, PT_INT = 1, PT_FLOAT = 2, PT_BOOL = 3, PT_STR = 4 };

class TParamCollectionItem;

class TCustomParam {
public:
  virtual ~TCustomParam() = default;

  std::vector<int32_t> Dims;  // empty for a plain value

  virtual int GetCount() const { return 1; }
  virtual void SetCount(int) {}
  virtual int GetParamType() const { return PT_NONE; }

  virtual bool GetAsBool() { return false; }
  virtual Real GetAsFloat() { return 0; }
  virtual int32_t GetAsInt() { return 0; }
  virtual std::string GetAsStr() { return std::string(); }
  virtual void SetAsBool(bool) {}
  virtual void SetAsFloat(Real) {}
  virtual void SetAsInt(int32_t) {}
  virtual void SetAsStr(const std::string&) {}

  virtual int32_t GetIntAt(int) { return 0; }
  virtual void SetIntAt(int, int32_t) {}
  virtual Real GetFloatAt(int) { return 0; }
  virtual void SetFloatAt(int, Real) {}
  virtual bool GetBoolAt(int) { return false; }
  virtual void SetBoolAt(int, bool) {}
  virtual std::string GetStrAt(int) { return std::string(); }
  virtual void SetStrAt(int, const std::string&) {}

  virtual int GetDimCount() const { return Dims.empty() ? 1 : static_cast<int>(Dims.size()); }
  virtual int GetDim(int i) const {
    return (i >= 0 && i < static_cast<int>(Dims.size())) ? Dims[static_cast<size_t>(i)] : 1;
  }
  virtual void AssignRaw(const TCustomParam&) {}
  virtual void SetDims(const std::vector<int32_t>& dims);
  virtual void FillInt(int32_t) {}
  virtual void FillFloat(Real) {}
  virtual void FillBool(bool) {}
  virtual void FillStr(const std::string&) {}
  virtual void CopyFrom(const TCustomParam&) {}
  virtual void SaveToStream(TStream&) {}
  virtual void LoadFromStream(TStream&) {}
  virtual void BeforeScalarSet();
  virtual int IndexOfStr(const std::string&, bool /*caseSensitive*/, bool /*partial*/) { return -1; }

  // SetDims with src's dimensions, then every element through the destination type's accessor.
  void AssignTyped(TCustomParam& src);
};

// Factory: the low 7 bits of the type byte select 0..4; anything else gives nullptr.
std::unique_ptr<TCustomParam> CreateParam(uint8_t type);

class TParamInt : public TCustomParam {
public:
  std::vector<int32_t> Elements{0};
  // ... overrides of every operation above (see param.cpp)
};
class TParamFloat : public TCustomParam {
public:
  std::vector<Real> Elements{0};
};
class TParamFlag : public TCustomParam {
public:
  std::vector<uint8_t> Elements{0};
};
class TParamStr : public TCustomParam {
public:
  std::vector<std::string> Elements{std::string()};
};
// A reference to another variable (array-element temporaries, variable operands).
class TParamVar : public TCustomParam {
public:
  std::string Name;
  TParamCollectionItem* Target = nullptr;
  uint8_t Reserved = 0;
  int32_t Index = 0;
};

}  // namespace nova
