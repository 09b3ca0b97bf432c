// Reading every entry of a generated archive of about 200 MB through the file manager,
// against the limit: plain zlib inflation of the same compressed bytes plus copying of the
// stored ones, from memory into a ready buffer. Both run in each iteration, interleaved, so
// the "ratio" counter (limit time / ReadFile time) compares them under the same load.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/vrfiles.h"
#include "support/archive_fixtures.h"

namespace {

using Clock = std::chrono::steady_clock;

// Rows of a smooth gradient with a little noise, as a photo-like 24-bit picture.
std::string ImageLike(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  uint32_t x = seed;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1664525u + 1013904223u;
    size_t px = i / 3, row = px / 640, col = px % 640;
    s[i] = static_cast<char>((i % 3 == 0 ? col / 3 : i % 3 == 1 ? row / 2 : (row + col) / 5) + ((x >> 29) & 3));
  }
  return s;
}

struct Fixture {
  std::string folder;
  std::string archive;
  std::vector<std::string> names;
  // The limit's inputs, loaded once: stored bytes of every entry and whether it is compressed.
  std::vector<std::string> stored;
  std::vector<bool> compressed;
  std::vector<size_t> inflatedSize;
  int64_t totalBytes = 0;
  std::unique_ptr<nova::TVrFileManager> fm;

  Fixture() {
    char tmpl[] = "/tmp/nova-archive-bench-XXXXXX";
    folder = mkdtemp(tmpl);
    archive = folder + "/game.dat";
    nova::TVrFileCollection c;
    int index = 0;
    // About 100 MB stored as is (entries above 5 MiB) and 300 MB that compress to about 100 MB.
    for (int i = 0; i < 16; ++i) {
      std::string name = "movie\\clip" + std::to_string(i) + ".bin";
      c.AddMemoryFile(name)->Memory->Assign(ImageLike(6 * 1024 * 1024 + 4096 * i, 77 + i));
      names.push_back(name);
    }
    for (int i = 0; i < 150; ++i, ++index) {
      std::string name = (i % 2 ? "cg\\pic" : "text\\page") + std::to_string(i) + (i % 2 ? ".bri" : ".nsb");
      size_t size = 1024 * 1024 + (i % 7) * 200 * 1024;
      c.AddMemoryFile(name)->Memory->Assign(i % 2 ? ImageLike(size, i) : nova::test::TextBytes(size, i));
      names.push_back(name);
    }
    {
      nova::TKtBigFileStream out(archive, nova::TKtBigFileStream::Create);
      c.Write(out);
    }
    fm = std::make_unique<nova::TVrFileManager>(false);
    fm->AddArchiveFile(archive);
    nova::TVrFileCollection* a = fm->Archive(0);
    for (int i = 0; i < a->EntryCount(); ++i) {
      nova::TVrFile* e = a->Entry(i);
      std::string bytes(static_cast<size_t>(e->Size), '\0');
      a->Stream()->SetPosition(e->Offset);
      a->Stream()->Read(bytes.data(), e->Size);
      stored.push_back(std::move(bytes));
      compressed.push_back(e->Stored == 0);
      inflatedSize.push_back(c.FindFile(e->Name())->Memory->Data().size());
      totalBytes += static_cast<int64_t>(inflatedSize.back());
    }
  }
  ~Fixture() {
    fm.reset();
    std::filesystem::remove_all(folder);
  }
};

Fixture& Data() {
  static Fixture f;
  return f;
}

void BM_ReadFileVsLimit(benchmark::State& state) {
  Fixture& f = Data();
  std::vector<char> limitOut(64 * 1024 * 1024);
  double readSeconds = 0, limitSeconds = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    for (const std::string& name : f.names) {
      nova::TKtMemoryStream m;
      f.fm->ReadFile(m, name);
      benchmark::DoNotOptimize(m.Memory());
    }
    auto t1 = Clock::now();
    for (size_t i = 0; i < f.stored.size(); ++i) {
      const std::string& in = f.stored[i];
      if (f.compressed[i]) {
        uLongf outLen = static_cast<uLongf>(f.inflatedSize[i]);
        uncompress(reinterpret_cast<Bytef*>(limitOut.data()), &outLen, reinterpret_cast<const Bytef*>(in.data()),
                   static_cast<uLong>(in.size()));
      } else {
        std::memcpy(limitOut.data(), in.data(), in.size());
      }
      benchmark::DoNotOptimize(limitOut.data());
    }
    auto t2 = Clock::now();
    double r = std::chrono::duration<double>(t1 - t0).count();
    readSeconds += r;
    limitSeconds += std::chrono::duration<double>(t2 - t1).count();
    state.SetIterationTime(r);
  }
  state.SetBytesProcessed(state.iterations() * f.totalBytes);
  state.counters["readfile_ms"] = readSeconds * 1000 / static_cast<double>(state.iterations());
  state.counters["limit_ms"] = limitSeconds * 1000 / static_cast<double>(state.iterations());
  state.counters["ratio"] = limitSeconds / readSeconds;
  state.counters["archive_MB"] = static_cast<double>(std::filesystem::file_size(f.archive)) / 1e6;
}
BENCHMARK(BM_ReadFileVsLimit)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(5.0);

}  // namespace

BENCHMARK_MAIN();
