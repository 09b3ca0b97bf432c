// Decoding an 800 x 600 layered image of two 24-bit zlib layers (the top one at opacity 128),
// against the limit: inflating the same two blocks into ready buffers. Both run in each
// iteration, so "ratio" (limit time / decode time) compares them under the same load. A
// second benchmark times the opacity blend's row routine against its per-pixel reference.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/stream.h"
#include "formats/brio_compose.h"
#include "formats/brios.h"
#include "formats/image_input.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int32_t kW = 800, kH = 600;

std::string Le32(uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

// A photo-like picture: gradients with a little noise.
std::string Rows(uint32_t seed) {
  const size_t row = static_cast<size_t>(nova::RowBytes(kW, 24));
  std::string s(row * kH, '\0');
  uint32_t x = seed;
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t c = 0; c < kW * 3; ++c) {
      x = x * 1664525u + 1013904223u;
      s[static_cast<size_t>(y) * row + static_cast<size_t>(c)] =
          static_cast<char>((c % 3 == 0 ? c / 9 : c % 3 == 1 ? y / 3 : (y + c) / 7) + ((x >> 29) & 3) + seed);
    }
  return s;
}

std::string Zip(const std::string& s) {
  uLongf n = compressBound(s.size());
  std::string out(n, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(s.data()), s.size(), 1);
  out.resize(n);
  return out;
}

struct Fixture {
  std::string file;
  std::vector<std::string> blocks;
  Fixture() {
    blocks = {Zip(Rows(1)), Zip(Rows(40))};
    std::string rec = Le32(106) + Le32(kW) + Le32(kH) + Le32(24) + Le32(1) + std::string("\1\0\0\0", 4) + Le32(0) +
                      Le32(0) + Le32(0) + std::string(4, '\0');
    file = "Brio106" + Le32(40) + rec;
    file += Le32(1) + "f" + Le32(0xFFFFFFFF) + Le32(100) + std::string(5, '\0') + Le32(2) + Le32(kW) + Le32(kH) + Le32(24);
    for (int i = 0; i < 2; ++i)
      file += std::string(8, '\0') + '\1' + Le32(0xFFFFFFFF) + Le32(i == 0 ? 255 : 128) + '\0' + Le32(5) + "Layer" +
              Le32(static_cast<uint32_t>(blocks[i].size())) + blocks[static_cast<size_t>(i)] + Le32(0);
    file += Le32(0) + Le32(0);
  }
};

void BM_DecodeVsLimit(benchmark::State& state) {
  static Fixture f;
  const size_t raw = static_cast<size_t>(nova::RowBytes(kW, 24)) * kH;
  std::vector<uint8_t> out(raw);
  double decode = 0, limit = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    nova::TBrioFrameList list;
    list.LoadFromBytes(nova::AsBytes(f.file), "bench.bri");
    benchmark::DoNotOptimize(list.Frame(0).Surface->GetPixel(1, 1));
    auto t1 = Clock::now();
    for (const std::string& b : f.blocks) {
      uLongf n = raw;
      uncompress(out.data(), &n, reinterpret_cast<const Bytef*>(b.data()), b.size());
      benchmark::DoNotOptimize(out.data());
    }
    auto t2 = Clock::now();
    decode += std::chrono::duration<double>(t1 - t0).count();
    limit += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  state.counters["decode_ms"] = decode * 1000 / static_cast<double>(state.iterations());
  state.counters["limit_ms"] = limit * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = limit / decode;
}
BENCHMARK(BM_DecodeVsLimit)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_OpacityRowsVsReference(benchmark::State& state) {
  const int32_t bits = static_cast<int32_t>(state.range(0));
  nova::TBrioBitmap frame(kW, kH, bits), layer(kW, kH, bits);
  for (size_t i = 0; i < layer.ByteSize(); ++i) layer.Data()[i] = static_cast<uint8_t>(i * 31);
  double fast = 0, plain = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    nova::DrawLayer(frame.View(), layer.View(), 128, -1);
    auto t1 = Clock::now();
    nova::DrawLayerReference(frame.View(), layer.View(), 128, -1);
    auto t2 = Clock::now();
    fast += std::chrono::duration<double>(t1 - t0).count();
    plain += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
  }
  state.counters["rows_ms"] = fast * 1000 / static_cast<double>(state.iterations());
  state.counters["reference_ms"] = plain * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = plain / fast;
}
BENCHMARK(BM_OpacityRowsVsReference)->Arg(16)->Arg(24)->Arg(32)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
