// Damaged archives and install records give errors naming the file, never a crash or a
// huge allocation.
#include <gtest/gtest.h>
#include <zlib.h>

#include "archive_test_util.h"

namespace nova::test {
namespace {

std::string Le32(uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

std::string Deflate(const std::string& s) {
  uLongf n = compressBound(s.size());
  std::string out(n, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(s.data()), s.size(), 1);
  out.resize(n);
  return out;
}

// A header-less directory with plain offsets relative to its start (placed after the data
// offsets table); extra bytes follow.
std::string Dir0(const std::vector<std::string>& names, const std::vector<uint32_t>& offsets, const std::string& data) {
  std::string d = Le32(static_cast<uint32_t>(names.size()));
  for (const std::string& n : names) d += Le32(static_cast<uint32_t>(n.size())) + n;
  for (uint32_t o : offsets) d += Le32(o);
  return d + data;
}

TEST(BadArchive, DirectoryErrorsNameTheFile) {
  std::string good = ArchiveBytes({{"a.txt", TextBytes(100)}, {"b.txt", TextBytes(200)}}, 102);
  std::string z = Deflate("payload");
  // Version 0: header 4 + names 2 * 5 + offsets 3 * 4 = 26 bytes before the data.
  const struct {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"truncated directory", good.substr(0, 30)},
      {"truncated flag arrays", good.substr(0, 60)},
      {"huge count", std::string("vf") + Le32(102) + Le32(0x7FFFFFFF) + std::string(64, '\0')},
      {"negative count", Le32(0xFFFFFFF0u) + std::string(64, '\0')},
      {"huge name length", std::string("vf") + Le32(102) + Le32(1) + Le32(0x7FFFFFF0) + std::string(64, '\0')},
      {"offset outside", Dir0({"x", "y"}, {26, 26 + static_cast<uint32_t>(z.size()), 100000}, z)},
      {"decreasing offsets", Dir0({"x", "y"}, {26 + static_cast<uint32_t>(z.size()), 26, 26}, z)},
      {"empty file", ""},
  };
  TempDir dir;
  for (const auto& tc : cases) {
    WriteFile(dir / "bad.dat", tc.bytes);
    TVrFileCollection c;
    try {
      c.OpenFile(dir / "bad.dat");
      ADD_FAILURE() << tc.label << ": no error";
    } catch (const ENovaError& e) {
      EXPECT_NE(std::string(e.what()).find(dir / "bad.dat"), std::string::npos) << tc.label;
    }
  }
}

TEST(BadArchive, ExecutableTrailerOutsideTheFile) {
  TempDir dir;
  WriteFile(dir / "g.exe", "MZ" + std::string(50, '\0') + Le32(100000) + "nv");
  TVrFileCollection c;
  EXPECT_THROW(c.OpenFile(dir / "g.exe"), ENovaError);
}

TEST(BadArchive, CorruptZlibNamesEntryAndFile) {
  std::string z = Deflate(TextBytes(5000));
  std::string broken = z;
  for (size_t i = 10; i < 40; ++i) broken[i] = static_cast<char>(broken[i] ^ 0x55);
  const struct {
    const char* label;
    std::string data;
  } cases[] = {
      {"garbage", std::string(20, '\x33')},
      {"flipped bits", broken},
      {"cut short", z.substr(0, z.size() / 2)},
  };
  TempDir dir;
  for (const auto& tc : cases) {
    uint32_t start = 4 + 4 + 5 + 8;
    WriteFile(dir / "z.dat", Dir0({"e.txt"}, {start, start + static_cast<uint32_t>(tc.data.size())}, tc.data));
    TVrFileCollection c;
    c.OpenFile(dir / "z.dat");
    TKtMemoryStream m;
    try {
      c.ReadEntry("e.txt", m);
      ADD_FAILURE() << tc.label << ": no error";
    } catch (const ENovaError& e) {
      std::string what = e.what();
      EXPECT_NE(what.find(dir / "z.dat"), std::string::npos) << tc.label;
      EXPECT_NE(what.find("e.txt"), std::string::npos) << tc.label;
    }
  }
}

TEST(BadArchive, RandomDamageNeverCrashes) {
  // Every version, bytes overwritten at random: opening and reading every entry either
  // works or raises ENovaError.
  uint32_t x = 12345;
  auto next = [&] { return x = x * 1664525u + 1013904223u; };
  for (int version : {0, 100, 101, 102}) {
    std::string good = ArchiveBytes({{"a.txt", TextBytes(300)}, {"b", ""}, {"c.bin", NoiseBytes(200)}}, version);
    for (int round = 0; round < 150; ++round) {
      std::string bad = good;
      int hits = 1 + static_cast<int>(next() % 4);
      for (int h = 0; h < hits; ++h) bad[next() % bad.size()] = static_cast<char>(next() >> 24);
      if (round % 5 == 0) bad.resize(next() % bad.size());
      TVrFileCollection c;
      try {
        c.OpenStream(std::make_unique<TKtBigMemoryStream>(std::make_unique<TKtMemoryStream>(bad)), "fuzz.dat");
        for (int i = 0; i < c.EntryCount(); ++i) {
          TKtMemoryStream m;
          try {
            c.ReadEntryData(*c.Entry(i), m);
          } catch (const ENovaError& e) {
            EXPECT_NE(std::string(e.what()).find("fuzz.dat"), std::string::npos);
          }
        }
      } catch (const ENovaError& e) {
        EXPECT_NE(std::string(e.what()).find("fuzz.dat"), std::string::npos);
      }
    }
  }
}

TEST(BadInstallSet, CountsBeyondTheRecord) {
  TNovaInstallSet set;
  set.ProjectName = "game";
  TKtMemoryStream good;
  set.Save(good);
  std::string bytes = good.Data();
  // The item count follows: tag 5, disk 4, name 8, three empty strings 12, byte, string 4, byte.
  size_t countAt = 5 + 4 + 8 + 12 + 1 + 4 + 1;
  for (uint32_t bad : {0x7FFFFFFFu, 0x80000000u}) {
    std::string b = bytes;
    b.replace(countAt, 4, Le32(bad));
    TKtMemoryStream s(b);
    try {
      set.Load(s, "X:install.dat");
      ADD_FAILURE();
    } catch (const ENovaError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("X:install.dat", 0), 0u);
    }
  }
}

}  // namespace
}  // namespace nova::test
