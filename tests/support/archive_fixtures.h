#pragma once
// Archive fixtures shared by the tests and the benchmarks: archives written in memory and
// bytes that compress well or not at all.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/bigstreams.h"
#include "archive/vrfile_collection.h"
#include "base/encoding.h"

namespace nova::test {

using Entries = std::vector<std::pair<std::string, std::string>>;  // name (Shift-JIS), bytes

// An in-memory collection holding the entries as memory files.
inline void FillMemory(TVrFileCollection& c, const Entries& entries) {
  for (const auto& [name, bytes] : entries) c.AddMemoryFile(name)->Memory->Assign(bytes);
}

// The archive bytes of the entries written with the given version.
inline std::string ArchiveBytes(const Entries& entries, int version = 102) {
  TVrFileCollection c;
  FillMemory(c, entries);
  TKtMemoryStream out;
  c.Write(out, version);
  return out.Data();
}

// Opens archive bytes held in memory as the collection's archive.
inline void OpenBytes(TVrFileCollection& c, const std::string& bytes) {
  c.OpenStream(std::make_unique<TKtBigMemoryStream>(std::make_unique<TKtMemoryStream>(bytes)));
}

// The archive bytes with the first entry's stored bytes scrambled from the third byte on (its
// zlib stream is broken past the header).
inline std::string WithBrokenFirstEntry(std::string bytes) {
  TVrFileCollection probe;
  OpenBytes(probe, bytes);
  const TVrFile& e = *probe.Entry(0);
  for (int64_t i = 2; i < e.Size; ++i) bytes[static_cast<size_t>(e.Offset + i)] ^= 0x5A;
  return bytes;
}

// Shift-JIS form of a UTF-8 literal.
inline std::string Sj(const char* utf8) { return Utf8ToSjis(utf8); }

// Text-like bytes that compress well.
inline std::string TextBytes(size_t n, unsigned seed = 1) {
  static const char* words[] = {"alpha ", "beta ", "gamma ", "delta\r\n", "epsilon ", "zeta, "};
  std::string s;
  unsigned x = seed;
  while (s.size() < n) {
    x = x * 1103515245u + 12345u;
    s += words[(x >> 16) % 6];
  }
  s.resize(n);
  return s;
}

// Bytes that do not compress.
inline std::string NoiseBytes(size_t n, unsigned seed = 7) {
  std::string s(n, '\0');
  unsigned x = seed;
  for (char& c : s) {
    x = x * 1664525u + 1013904223u;
    c = static_cast<char>(x >> 24);
  }
  return s;
}

}  // namespace nova::test
