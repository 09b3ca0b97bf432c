// Interpreter throughput on a tight While loop of Calc commands in the main flow (every
// continue flag set), and the load time of a 10,000-command page.
#include <benchmark/benchmark.h>

#include "archive/vrfiles.h"
#include "base/process.h"
#include "objects/event_queue.h"
#include "params/param_collection.h"
#include "params/parser.h"
#include "params/sysfunc.h"
#include "scenario/call_man.h"
#include "scenario/page_format.h"

namespace nova {
namespace {

std::unique_ptr<TNovaParser> Compile(const std::string& text) { return CompileExpression(text); }

TFieldValue Expr(const std::string& text) {
  TFieldValue v;
  v.Kind = TFieldKind::Expr;
  v.Expr = Compile(text);
  return v;
}
TFieldValue Int(int32_t i) {
  TFieldValue v;
  v.Kind = TFieldKind::Int32;
  v.Int = i;
  return v;
}

void Add(TPageFile& page, int code, int32_t indent, std::vector<TFieldValue> fields) {
  TCommandRecord rec;
  rec.CodeByte = static_cast<uint8_t>(code);
  rec.Indent = indent;
  rec.Continue = 1;
  rec.Line = static_cast<int32_t>(page.Commands.size()) + 1;
  rec.Fields = std::move(fields);
  page.Commands.push_back(std::move(rec));
}

std::string PageBytes(const TPageFile& page) {
  TKtMemoryStream m;
  WritePageFile(m, page);
  return m.Data();
}

TPageFile EmptyPage() {
  TPageFile page;
  page.PropSetRecords.assign(kCommandCount, std::string(kPropSetBytes, '\0'));
  return page;
}

// WhileInit; While i < n; k × Calc; WhileLoop i = i + 1.
std::string LoopPage(int32_t n, int calcs) {
  TPageFile page = EmptyPage();
  std::vector<TFieldValue> f;
  f.push_back(Expr("i = 0"));
  Add(page, 32, 0, std::move(f));
  const int32_t end = 2 + calcs + 1;
  f.clear();
  f.push_back(Expr("i < " + std::to_string(n)));
  f.push_back(Int(end));
  Add(page, 31, 0, std::move(f));
  for (int c = 0; c < calcs; ++c) {
    f.clear();
    f.push_back(Expr("x = x + 1"));
    Add(page, 14, 1, std::move(f));
  }
  f.clear();
  f.push_back(Expr("i = i + 1"));
  f.push_back(Int(1));
  Add(page, 33, 0, std::move(f));
  return PageBytes(page);
}

class NullHost : public TScenarioHost {
public:
  bool CheckFile(const std::string& name) override { return FileManager().Exists(name); }
};

void BM_WhileLoopOfCalc(benchmark::State& state) {
  const int32_t n = 100000;
  const int calcs = 8;
  ResetFileManager(false);
  FileManager().AddArchiveFile(std::string());
  FileManager().Archive(0)->AddMemoryFile("loop.nsb")->Memory->Assign(LoopPage(n, calcs));
  TParamCollection store;
  TSysFuncMan funcs(store);
  TEventQueue events;
  NullHost host;
  for (const char* name : {"i", "x"}) store.SetParamName(store.AddParam(PT_INT), name);
  TCallMan cm(store, funcs, events, host);
  int64_t commands = 0;
  for (auto _ : state) {
    cm.Start("loop.nsb");
    cm.SetContinue(true);
    cm.Run();  // one pass runs the whole loop: every continue flag is set
    commands += 1 + int64_t{n} * (calcs + 2) + 1;
  }
  if (store.FindParam("i")->Param->GetAsInt() != n) state.SkipWithError("the loop did not run to its end");
  state.counters["commands_per_s"] = benchmark::Counter(static_cast<double>(commands), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WhileLoopOfCalc)->Unit(benchmark::kMillisecond);

void BM_LoadPage10000(benchmark::State& state) {
  TPageFile page = EmptyPage();
  for (int i = 0; i < 10000; ++i) {
    std::vector<TFieldValue> f;
    f.push_back(Expr("x = x + " + std::to_string(i)));
    Add(page, 14, 0, std::move(f));
  }
  const std::string bytes = PageBytes(page);
  for (auto _ : state) {
    TKtMemoryStream m(bytes);
    TPage p;
    p.LoadFromStream(m, "big.nsb");
    benchmark::DoNotOptimize(p.Count());
  }
  state.counters["page_bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_LoadPage10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace nova

BENCHMARK_MAIN();
