// Executor throughput: operations of compiled expressions per second.
#include <benchmark/benchmark.h>

#include "base/stream.h"
#include "params/param_collection.h"
#include "params/parser.h"
#include "params/sysfunc.h"

namespace nova {
namespace {

TNovaParser Compile(const std::string& text) { return std::move(*CompileExpression(text)); }

void AddVar(TParamCollection& store, const char* name, uint8_t type, std::vector<int32_t> dims = {}) {
  TParamCollectionItem* item = store.AddParam(type);
  store.SetParamName(item, name);
  if (!dims.empty()) item->Param->SetDims(dims);
}

void RunExpression(benchmark::State& state, const std::string& text) {
  TParamCollection store;
  // A store of a typical size: the system variables and some game variables.
  for (int k = 0; k < 200; ++k) AddVar(store, ("v" + std::to_string(k)).c_str(), PT_INT);
  AddVar(store, "x", PT_INT);
  AddVar(store, "i", PT_INT);
  AddVar(store, "j", PT_INT);
  AddVar(store, "r", PT_FLOAT);
  AddVar(store, "s", PT_STR);
  AddVar(store, "name", PT_STR);
  AddVar(store, "a", PT_INT, {8, 8});
  AddVar(store, "b", PT_INT, {16});
  TSysFuncMan funcs(store);
  TNovaParser parser = Compile(text);
  const int64_t ops = static_cast<int64_t>(parser.Operations.size());
  for (auto _ : state) {
    parser.Execute(store, funcs);
    benchmark::DoNotOptimize(parser.Result);
  }
  if (store.Count() != 50 + 208) state.SkipWithError("temporaries left in the store");
  state.counters["ops"] = static_cast<double>(ops);
  state.counters["ops_per_s"] = benchmark::Counter(static_cast<double>(state.iterations() * ops),
                                                   benchmark::Counter::kIsRate);
}

void BM_Increment(benchmark::State& state) { RunExpression(state, "x = x + 1"); }
BENCHMARK(BM_Increment);

// Twenty operations: array elements, integer and real arithmetic, a comparison and string
// concatenation.
void BM_Mixed20(benchmark::State& state) {
  RunExpression(state,
                "s = name ++ \":\" ++ (a[i, j] + b[j] * 3 - (x + 4) / 2 + (a[j, i] << 2) % 7) ++ \"/\" ++ "
                "(r * 2.5 + 1) ++ (x > i) ++ (b[i + 1] & 255)");
}
BENCHMARK(BM_Mixed20);

}  // namespace
}  // namespace nova

BENCHMARK_MAIN();
