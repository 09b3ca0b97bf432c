#pragma once
// The built-in functions called by ocFunc.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nova {

class TCustomParam;
class TParamCollection;
class TParamCollectionItem;

struct TSysFuncInfo {
  const char* Name;
  int MinArgs;
  int MaxArgs;  // -1: no limit
  uint8_t ResultType;
};
constexpr int kSysFuncCount = 152;
const TSysFuncInfo& SysFuncInfo(int code);
int FindSysFunc(const std::string& name);  // exact, case-sensitive; -1 when unknown

class TSysFuncMan {
public:
  explicit TSysFuncMan(TParamCollection& store);
  virtual ~TSysFuncMan();
  void Call(TParamCollectionItem* dest, int funcCode, int lastIndex,
            std::vector<std::unique_ptr<TCustomParam>>& args);
  TParamCollection& Store() { return store_; }

private:
  TParamCollection& store_;
};

}  // namespace nova
