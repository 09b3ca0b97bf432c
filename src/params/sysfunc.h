#pragma once
// The built-in functions called by ocFunc, and the registry through which every subsystem
// provides its functions and system variables: the dispatcher registers the families of
// this library itself (strings, numbers, dates, arrays, variables, path texts); the project,
// the scene, the history, media and the data tables register theirs when they are created.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "params/system_var_binding.h"

namespace nova {

class TCustomParam;
class TParamCollection;
class TParamCollectionItem;
struct TSysFuncCall;

struct TSysFuncInfo {
  const char* Name;
  int MinArgs;
  int MaxArgs;  // -1: no limit
  // PT_INT .. PT_STR, the type of the temporary that receives the result. GetProp has
  // PT_NONE here: its temporary takes the type of the property it reads.
  uint8_t ResultType;
};
constexpr int kSysFuncCount = 152;
constexpr int kSysFuncGetProp = 2;
constexpr int kSysFuncCalc = 136;
const TSysFuncInfo& SysFuncInfo(int code);  // code outside 0..151: a row with an empty name
int FindSysFunc(const std::string& name);  // exact, case-sensitive; -1 when unknown

// The one generator state of Random: state := state * 134775813 + 1 per call.
uint32_t RandomSeed();
void SetRandomSeed(uint32_t seed);
// Random(n): a uniform integer in 0 .. n - 1 that advances the state (screen transitions use
// it too).
int32_t NextRandom(int32_t n);
// Start-up seeds it from the time of day: ((hour * 60 + min) * 60 + sec) * 1000 + msec.
void SeedRandomFromTime(const TDateTimeParts& now);

using TSysFuncImpl = std::function<void(TSysFuncCall&)>;

class TSysFuncMan {
public:
  explicit TSysFuncMan(TParamCollection& store);
  virtual ~TSysFuncMan();
  TSysFuncMan(const TSysFuncMan&) = delete;
  TSysFuncMan& operator=(const TSysFuncMan&) = delete;

  // dest: the temporary receiving the result; args: the bound operands, lastIndex = count - 1.
  // Errors are raised as ENovaError (the executor drops them and ends the expression).
  void Call(TParamCollectionItem* dest, int funcCode, int lastIndex,
            std::vector<std::unique_ptr<TCustomParam>>& args);
  TParamCollection& Store() { return store_; }

  // Installs the implementation of one function number; an empty one restores the error of
  // a function whose subsystem is absent.
  void Register(int code, TSysFuncImpl impl);
  bool IsRegistered(int code) const;
  // System variables (numbers of TSystemVar) and the clocks are kept by the store, which the
  // variables belong to.
  void RegisterVariable(int number, TSystemVarBinding binding);
  void UnregisterVariable(int number);
  void RegisterClock(TClockBinding clock);

private:
  TParamCollection& store_;
  std::array<TSysFuncImpl, kSysFuncCount> impl_;
  int calcDepth_ = 0;  // nested Calc runs; bounded so a self-calling text cannot exhaust the stack

  friend struct TSysFuncCall;
};

}  // namespace nova
