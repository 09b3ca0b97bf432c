// Interpreter throughput on a tight While loop of Calc commands in the main flow (every
// continue flag set), and the load time of a 10,000-command page.
#include <benchmark/benchmark.h>

#include "archive/vrfiles.h"
#include "base/process.h"
#include "objects/scene.h"
#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "scenario/call_man.h"
#include "support/page_builder.h"

namespace nova {
namespace {

// WhileInit; While i < n; k × Calc; WhileLoop i = i + 1.
std::string LoopPage(int32_t n, int calcs) {
  test::PageBuilder page;
  std::vector<TFieldValue> init;
  init.push_back(test::FExpr("i = 0"));
  page.Add(test::kWhileInit, 0, std::move(init));
  test::CondTarget(page, test::kWhile, 0, "i < " + std::to_string(n), 2 + calcs + 1);
  for (int c = 0; c < calcs; ++c) test::Calc(page, 1, "x = x + 1");
  test::CondTarget(page, test::kWhileLoop, 0, "i = i + 1", 1);
  return page.Bytes();
}

class NullHost : public TScenarioHost {
public:
  bool CheckFile(const std::string& name) override { return FileManager().Exists(name); }
};

void BM_WhileLoopOfCalc(benchmark::State& state) {
  const int32_t n = 100000;
  const int calcs = 8;
  test::FreshFileManager();
  test::RegisterFile("loop.nsb", LoopPage(n, calcs));
  TParamCollection store;
  TSysFuncMan funcs(store);
  TNovaBaseList scene;
  NullHost host;
  for (const char* name : {"i", "x"}) store.SetParamName(store.AddParam(PT_INT), name);
  TCallMan cm(store, funcs, scene, host);
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
  test::PageBuilder page;
  for (int i = 0; i < 10000; ++i) test::Calc(page, 0, "x = x + " + std::to_string(i));
  const std::string bytes = page.Bytes();
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
