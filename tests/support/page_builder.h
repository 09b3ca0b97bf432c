#pragma once
// Pages built inside the tests and the benchmarks: records from compiled expression text, and
// pages registered as in-memory files of the file manager.
#include <memory>
#include <string>
#include <vector>

#include "archive/vrfiles.h"
#include "base/encoding.h"
#include "params/parser.h"
#include "scenario/page_format.h"

namespace nova::test {

// An expression compiled from scenario text (UTF-8); "" gives an empty expression.
std::unique_ptr<TNovaParser> CompileExpr(const std::string& text);

TFieldValue FExpr(const std::string& text);
TFieldValue FStr(const std::string& text);  // UTF-8, stored as Shift-JIS
TFieldValue FInt(int32_t v);
TFieldValue FByte(int32_t v);
TFieldValue FExprs(const std::vector<std::string>& texts);
TFieldValue FText(const std::string& bytes);

class PageBuilder {
public:
  explicit PageBuilder(int32_t version = kPageVersionMax, uint8_t resultType = 1);
  // Appends a command; the fields in layout order. Returns its index.
  int Add(int code, int32_t indent, std::vector<TFieldValue> fields, uint8_t cont = 1, int32_t line = 0);
  TPageFile& File() { return file_; }
  std::string Bytes() const;
  // Registers the page under name (Shift-JIS) in the file manager's in-memory archive.
  void Register(const std::string& name) const;

private:
  TPageFile file_;
  int line_ = 1;
};

// A fresh file manager without removable roots, holding one in-memory archive.
void FreshFileManager();
void RegisterFile(const std::string& name, const std::string& bytes);

// Command records of the common codes.
enum Code { kIf = 0, kElseif = 1, kElse = 2, kLabel = 3, kJump = 4, kCall = 5, kExit = 6, kWait = 7,
            kCalc = 14, kVarNew = 15, kVarDel = 16, kComment = 27, kWhile = 31, kWhileInit = 32,
            kWhileLoop = 33, kBreak = 34, kContinue = 35, kDoEvent = 46 };

inline int Calc(PageBuilder& b, int indent, const std::string& text, uint8_t cont = 1, int32_t line = 0) {
  std::vector<TFieldValue> f;
  f.push_back(FExpr(text));
  return b.Add(kCalc, indent, std::move(f), cont, line);
}
inline int VarNew(PageBuilder& b, const std::string& name, int type, const std::string& init, int scope = 0) {
  std::vector<TFieldValue> f;
  f.push_back(FStr(name));
  f.push_back(FByte(type));
  f.push_back(FExpr(init));
  f.push_back(FByte(scope));
  return b.Add(kVarNew, 0, std::move(f));
}
inline int Cond(PageBuilder& b, int code, int indent, const std::string& cond) {
  std::vector<TFieldValue> f;
  f.push_back(FExpr(cond));
  return b.Add(code, indent, std::move(f));
}
inline int CondTarget(PageBuilder& b, int code, int indent, const std::string& cond, int32_t target) {
  std::vector<TFieldValue> f;
  f.push_back(FExpr(cond));
  f.push_back(FInt(target));
  return b.Add(code, indent, std::move(f));
}
inline int Wait(PageBuilder& b, const std::string& cond, const std::string& time, const std::string& block,
         uint8_t cont = 1) {
  std::vector<TFieldValue> f;
  f.push_back(FExpr(cond));
  f.push_back(FExpr(time));
  f.push_back(FExpr(block));
  return b.Add(kWait, 0, std::move(f), cont);
}
inline int CallCmd(PageBuilder& b, const std::string& page, const std::string& resultVar,
            const std::vector<std::string>& args, int32_t target = 0) {
  std::vector<TFieldValue> f;
  f.push_back(FStr(page));
  f.push_back(FInt(target));
  f.push_back(FStr(resultVar));
  f.push_back(FExpr(""));
  f.push_back(FExprs(args));
  return b.Add(kCall, 0, std::move(f));
}
inline int Jump(PageBuilder& b, const std::string& page, int32_t target, const std::string& cond = "") {
  std::vector<TFieldValue> f;
  f.push_back(FStr(page));
  f.push_back(FInt(target));
  f.push_back(FExpr(cond));
  return b.Add(kJump, 0, std::move(f));
}

}  // namespace nova::test
