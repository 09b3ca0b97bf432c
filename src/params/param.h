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

// The concrete class of a value (GetParamType of a reference or of a system variable gives the
// type it stands for; this gives what the object is).
enum TParamClass : uint8_t {
  kClassVar = 0, kClassInt = 1, kClassFloat = 2, kClassFlag = 3, kClassStr = 4, kClassSystem = 5, kClassCustom = 6
};

// Arrays beyond this many elements are refused like a bad dimension (they cannot be held),
// and so are arrays whose elements take more than kMaxParamBytes: 2^26 integers, but only
// 2^23 strings (each string's own record is 32 bytes before any text).
constexpr int64_t kMaxParamElements = int64_t{1} << 26;
constexpr int64_t kMaxParamBytes = int64_t{1} << 28;

class TParamCollectionItem;

class TCustomParam {
public:
  explicit TCustomParam(uint8_t classCode = kClassCustom) : classCode_(classCode) {}
  TCustomParam(const TCustomParam&) = delete;
  TCustomParam& operator=(const TCustomParam&) = delete;
  virtual ~TCustomParam() = default;

  uint8_t ClassCode() const { return classCode_; }

  std::vector<int32_t> Dims;  // empty for a plain value

  virtual int GetCount() const { return 1; }
  virtual void SetCount(int) {}
  // The most elements the value may hold (by kMaxParamElements and kMaxParamBytes).
  virtual int64_t MaxElements() const { return kMaxParamElements; }
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
  // Every size must be > 0 ("配列の要素数[%s]が不正です"); then Dims and SetCount(product).
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
  // The value that operations finally reach: a bound reference's target, a forwarding system
  // variable's value, else the value itself.
  virtual TCustomParam* Resolved() { return this; }

  // SetDims with src's dimensions, then every element through the destination type's accessor.
  void AssignTyped(TCustomParam& src);

protected:
  void SaveDims(TStream& s) const;
  void LoadDims(TStream& s);
  // A loaded array must hold exactly the elements its dimensions give; anything else is a
  // damaged record, refused with an error.
  void CheckLoadedShape() const;

private:
  uint8_t classCode_;
};

// Factory: the low 7 bits of the type byte select 0..4; anything else gives nullptr.
std::unique_ptr<TCustomParam> CreateParam(uint8_t type);

// The element classes share one shape; only the element type and its conversions differ.
template <typename E>
class TParamArray : public TCustomParam {
public:
  using TCustomParam::TCustomParam;
  std::vector<E> Elements{E()};

  int GetCount() const override { return static_cast<int>(Elements.size()); }
  void SetCount(int n) override;
  int64_t MaxElements() const override;
  void BeforeScalarSet() override;
  void AssignRaw(const TCustomParam& src) override;
  void CopyFrom(const TCustomParam& src) override;
  int IndexOfStr(const std::string& text, bool caseSensitive, bool partial) override;

protected:
  E& At(int i);  // "配列の添字が不正です" outside 0..count-1
  E& First();    // element 0 of the whole-value accessors
  E& ScalarSlot();  // BeforeScalarSet, then element 0
};

class TParamInt : public TParamArray<int32_t> {
public:
  TParamInt() : TParamArray(kClassInt) {}
  int GetParamType() const override { return PT_INT; }
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
  void FillInt(int32_t v) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s) override;
};

class TParamFloat : public TParamArray<Real> {
public:
  TParamFloat() : TParamArray(kClassFloat) {}
  int GetParamType() const override { return PT_FLOAT; }
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
  void FillFloat(Real v) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s) override;
};

// Flag bytes are kept as given (a loaded or copied byte may be other than 0 or 1); any
// non-zero byte reads as true.
class TParamFlag : public TParamArray<uint8_t> {
public:
  TParamFlag() : TParamArray(kClassFlag) {}
  int GetParamType() const override { return PT_BOOL; }
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
  void FillBool(bool v) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s) override;
};

class TParamStr : public TParamArray<std::string> {
public:
  TParamStr() : TParamArray(kClassStr) {}
  int GetParamType() const override { return PT_STR; }
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
  void FillStr(const std::string& v) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s) override;
};

// The result of a name lookup in the store, kept by a compiled operand while the store's
// names and the call depth stay as they were (see TParamCollection::FindParamCached).
struct TNameCache {
  TParamCollectionItem* Item = nullptr;
  uint64_t Generation = 0;  // 0: nothing cached
  int32_t Level = 0;
};

// A reference to another variable (array-element temporaries, variable operands). Every
// operation goes to the target's value; whole-value accessors become element accessors at
// Index. Unbound it reads 0 / empty and ignores writes.
class TParamVar : public TCustomParam {
public:
  TParamVar() : TCustomParam(kClassVar) {}
  std::string Name;
  TParamCollectionItem* Target = nullptr;
  uint8_t Reserved = 0;
  int32_t Index = 0;
  // Bucket of Name, computed at the first binding (Name never changes once compiled).
  int NameHash = -1;
  TNameCache Cache;
  // The target name read by LoadFromStream; the store binds it (LoadVars).
  std::string LoadedTargetName;

  TCustomParam* TargetParam() const;

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
};

// True when following references from `start` (itself, its target's value, ...) meets `self`,
// or goes on too long to be anything but a loop. Binding refuses such targets, so that no
// forwarded operation can run in a circle.
bool ReferenceChainReaches(const TCustomParam* start, const TCustomParam* self);

// Display names of the type codes ("整数" ...), empty for other codes (Shift-JIS).
std::string ParamTypeDisplayName(int type);

}  // namespace nova
