// The archive container: every version round trip, its byte layout, the write policy and
// the rules of reading entries.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "archive_test_util.h"
#include "base/crc32.h"
#include "base/kt_random.h"

namespace nova::test {
namespace {

Entries SampleEntries() {
  return {
      {"nova.npb", TextBytes(3000)},
      {Sj("cg\\ソース画像.bri"), TextBytes(700, 3)},  // ソ has the trail byte 0x5C
      {"empty.txt", ""},
      {"se\\click.wav", NoiseBytes(5000)},
  };
}

// The entry of an archive read back: stored as expected and reading as the bytes written; null
// when there is no such entry.
const TVrFile* ExpectEntry(TVrFileCollection& back, const std::string& name, uint8_t stored, const std::string& bytes) {
  const TVrFile* e = back.FindFile(name);
  if (!e) return nullptr;
  EXPECT_EQ(e->Stored, stored) << name;
  TKtMemoryStream m;
  back.ReadEntry(name, m);
  EXPECT_EQ(m.Data(), bytes) << name;
  return e;
}

struct Layout {
  const char* label;
  const char* fileName;
  bool sideFile;
  bool executable;
};

// Writes the entries in one of the three layouts the player opens and returns the path.
std::string WriteLayout(const TempDir& dir, const Entries& entries, int version, const Layout& layout) {
  TVrFileCollection c;
  FillMemory(c, entries);
  std::string path = dir / layout.fileName;
  if (layout.sideFile) {
    TKtMemoryStream directory, data;
    c.WriteSplit(directory, data, version);
    WriteFile(path, data.Data());
    WriteFile(std::filesystem::path(path).replace_extension(".ext").string(), directory.Data());
  } else if (layout.executable) {
    std::string stub = "MZ" + std::string(300, 'x');
    TKtMemoryStream archive;
    c.Write(archive, version);
    // Offsets are relative to the directory start, so the archive may follow any stub.
    uint32_t d = static_cast<uint32_t>(stub.size());
    std::string trailer = {static_cast<char>(d), static_cast<char>(d >> 8), static_cast<char>(d >> 16),
                           static_cast<char>(d >> 24), 'n', 'v'};
    WriteFile(path, stub + archive.Data() + trailer);
  } else {
    WriteFile(path, ArchiveBytes(entries, version));
  }
  return path;
}

class RoundTrip : public ::testing::TestWithParam<std::tuple<int, Layout>> {};

TEST_P(RoundTrip, EntriesComeBackUnchanged) {
  auto [version, layout] = GetParam();
  TempDir dir;
  Entries entries = SampleEntries();
  std::string path = WriteLayout(dir, entries, version, layout);

  TVrFileCollection c;
  c.OpenFile(Utf8ToSjis(path));
  ASSERT_EQ(c.Count(), static_cast<int>(entries.size()) + 1);
  EXPECT_EQ(c.Entry(c.Count() - 1)->Name(), "\\EOF\\");
  EXPECT_EQ(c.EntryCount(), static_cast<int>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i) {
    TVrFile* e = c.Entry(static_cast<int>(i));
    EXPECT_EQ(e->Name(), entries[i].first);
    TKtMemoryStream m;
    c.ReadEntry(entries[i].first, m);
    EXPECT_EQ(m.Data(), entries[i].second) << entries[i].first;
    EXPECT_EQ(m.Position(), 0);
    if (version < 101) {
      EXPECT_EQ(e->Stored, 0);  // every entry of an older archive is a zlib stream
      EXPECT_EQ(e->Checksum, 0u);
    }
    if (version == 101) {
      EXPECT_EQ(e->RawChecksum, 0);
    }
    if (i + 1 < entries.size()) {
      EXPECT_EQ(e->Offset + e->Size, c.Entry(static_cast<int>(i) + 1)->Offset);
    }
  }
  if (version >= 101) {
    // The noise entry is small but compresses badly: still compressed (in-memory policy),
    // and its checksum covers the stored bytes.
    TVrFile* wav = c.FindFile("se\\click.wav");
    auto range = c.OpenRange("se\\click.wav");
    std::string bytes(static_cast<size_t>(range->Size()), '\0');
    range->ReadBuffer(bytes.data(), range->Size());
    EXPECT_EQ(wav->Checksum, Crc32(bytes.data(), bytes.size()));
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x78);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0x01);
  }
}

const Layout kLayouts[] = {
    {"plain", "game.dat", false, false},
    {"side_file", "game.dat", true, false},
    {"executable", "Game.EXE", false, true},
};

INSTANTIATE_TEST_SUITE_P(AllVersions, RoundTrip,
                         ::testing::Combine(::testing::Values(0, 100, 101, 102), ::testing::ValuesIn(kLayouts)),
                         [](const auto& info) {
                           return std::string(std::get<1>(info.param).label) + "_v" +
                                  std::to_string(std::get<0>(info.param));
                         });

std::string Le32(uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

TEST(ArchiveFormat, HeaderlessDirectoryBuiltByHand) {
  // count, names, 32-bit plain offsets, every entry a zlib stream.
  std::string a = "hello hello hello", b = "";
  auto z = [](const std::string& s) {
    uLongf n = compressBound(s.size());
    std::string out(n, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(s.data()), s.size(), 1);
    out.resize(n);
    return out;
  };
  std::string za = z(a);
  std::string dir = Le32(2) + Le32(5) + "A.TXT" + Le32(5) + "b.txt";
  uint32_t first = static_cast<uint32_t>(dir.size() + 12);
  dir += Le32(first) + Le32(first + static_cast<uint32_t>(za.size())) + Le32(first + static_cast<uint32_t>(za.size()));
  TempDir tmp;
  WriteFile(tmp / "old.dat", dir + za);
  TVrFileCollection c;
  c.OpenFile(tmp / "old.dat");
  TKtMemoryStream m;
  c.ReadEntry("a.txt", m);
  EXPECT_EQ(m.Data(), a);
  c.ReadEntry("B.TXT", m);  // size 0: empty, the decompressor is never asked
  EXPECT_EQ(m.Size(), 0);
}

TEST(ArchiveFormat, ScrambledDirectoryLayout) {
  Entries entries = {{"ab", "xyz"}, {"c", std::string(10, 'q')}};
  std::string bytes = ArchiveBytes(entries, 102);
  ASSERT_EQ(bytes.substr(0, 2), "vf");
  EXPECT_EQ(bytes.substr(2, 4), Le32(102));
  EXPECT_EQ(bytes.substr(6, 4), Le32(2));
  // One key stream serves all names in order.
  TKtRandom names(TVrFileCollection::ArchiveKey);
  EXPECT_EQ(bytes.substr(10, 4), Le32(2));
  EXPECT_EQ(static_cast<uint8_t>(bytes[14]), static_cast<uint8_t>('a' ^ names.Step()));
  EXPECT_EQ(static_cast<uint8_t>(bytes[15]), static_cast<uint8_t>('b' ^ names.Step()));
  EXPECT_EQ(static_cast<uint8_t>(bytes[20]), static_cast<uint8_t>('c' ^ names.Step()));
  // Offsets: a fresh key stream; the high half takes the sign of the key.
  size_t offsets = 21;
  size_t flagsEnd = offsets + 3 * 8 + 2 * 10;
  TKtRandom keys(TVrFileCollection::ArchiveKey);
  uint32_t k = keys.Step();
  uint64_t raw = 0;
  for (int i = 0; i < 8; ++i) raw |= static_cast<uint64_t>(static_cast<uint8_t>(bytes[offsets + i])) << (8 * i);
  uint64_t mask = (static_cast<int32_t>(k) < 0 ? 0xFFFFFFFF00000000ull : 0) | k;
  EXPECT_EQ(raw ^ mask, flagsEnd);  // the first entry starts right after the last flag array
}

TEST(ArchiveFormat, SentinelIsNeverWritten) {
  TempDir dir;
  WriteFile(dir / "a.dat", ArchiveBytes({{"x", "1"}, {"y", "22"}}));
  TVrFileCollection c;
  c.OpenFile(dir / "a.dat");
  c.AddMemoryFile("\\eof\\")->Memory->Assign("junk");
  TKtMemoryStream out;
  ASSERT_TRUE(c.Write(out));
  TVrFileCollection back;
  OpenBytes(back, out.Data());
  ASSERT_EQ(back.Count(), 3);
  EXPECT_EQ(back.Entry(0)->Name(), "x");
  EXPECT_EQ(back.Entry(1)->Name(), "y");
  TKtMemoryStream m;
  back.ReadEntry("y", m);  // copied from the first archive
  EXPECT_EQ(m.Data(), "22");
}

TEST(ArchiveFormat, MemoryEntryStoredFromFiveMebibytes) {
  const struct {
    size_t size;
    uint8_t stored;
  } cases[] = {{0x500000, 1}, {0x4FFFFF, 0}, {0, 0}};
  for (const auto& tc : cases) {
    std::string data = TextBytes(tc.size);
    TVrFileCollection c;
    OpenBytes(c, ArchiveBytes({{"big.bin", data}}));
    EXPECT_EQ(c.Entry(0)->Stored, tc.stored) << tc.size;
    TKtMemoryStream m;
    c.ReadEntry("big.bin", m);
    EXPECT_EQ(m.Data(), data);
  }
}

TEST(ArchiveFormat, RawChecksumFlagChoosesTheCoveredBytes) {
  TVrFileCollection c;
  TVrFile* e = c.AddMemoryFile("raw");
  e->Memory->Assign(TextBytes(500));
  e->RawChecksum = 1;
  c.AddMemoryFile("packed")->Memory->Assign(TextBytes(500));
  TKtMemoryStream out;
  c.Write(out);
  TVrFileCollection back;
  OpenBytes(back, out.Data());
  std::string text = TextBytes(500);
  EXPECT_EQ(back.Entry(0)->RawChecksum, 1);
  EXPECT_EQ(back.Entry(0)->Checksum, Crc32(text.data(), text.size()));
  std::string stored = out.Data().substr(static_cast<size_t>(back.Entry(1)->Offset), static_cast<size_t>(back.Entry(1)->Size));
  EXPECT_EQ(back.Entry(1)->Checksum, Crc32(stored.data(), stored.size()));
}

TEST(ArchiveNames, CaseInsensitiveAsciiOnly) {
  TVrFileCollection c;
  FillMemory(c, {{"CG\\Bg01.BRI", "one"}, {"\x83\x41", "a-kana"}});
  TKtMemoryStream m;
  c.ReadEntry("cg\\bg01.bri", m);
  EXPECT_EQ(m.Data(), "one");
  EXPECT_NE(c.FindFile("\x83\x41"), nullptr);
  EXPECT_EQ(c.FindFile("\x83\x61"), nullptr);  // a trail byte is never folded
  try {
    c.ReadEntry("none.txt", m);
    FAIL();
  } catch (const ENovaError& e) {
    EXPECT_EQ(std::string(e.what()), "none.txt" + Sj(":ファイルがありません"));
  }
}

TEST(ArchiveNames, ListFolderSkipsBareNamesAlreadyListed) {
  TVrFileCollection c;
  FillMemory(c, {{"a.txt", "1"}, {"SAVE\\b.txt", "2"}, {"save\\c.txt", "3"}, {"save\\sub\\d.txt", "4"}});
  std::vector<std::string> list = {"C.TXT"};
  c.ListFolder("save\\", list);
  EXPECT_EQ(list, (std::vector<std::string>{"C.TXT", "SAVE\\b.txt"}));
  list.clear();
  c.ListFolder("", list);
  EXPECT_EQ(list, (std::vector<std::string>{"a.txt"}));
}

TEST(ArchiveRead, LooseFileBesideTheArchiveWins) {
  TempDir dir;
  WriteFile(dir / "game.dat", ArchiveBytes({{"cg\\a.txt", "packed"}, {"b.txt", "only packed"}}));
  WriteFile(dir / "CG/A.TXT", "loose");
  TVrFileCollection c;
  c.OpenFile(dir / "game.dat");
  EXPECT_EQ(c.Folder(), dir.Path());
  TKtMemoryStream m;
  c.ReadEntry("cg\\a.txt", m);
  EXPECT_EQ(m.Data(), "loose");
  c.ReadEntry("b.txt", m);
  EXPECT_EQ(m.Data(), "only packed");
}

TEST(ArchiveOpen, MissingFileGivesAnEmptyCollection) {
  TempDir dir;
  TVrFileCollection c;
  c.OpenFile(dir / "none.dat");
  EXPECT_EQ(c.Count(), 0);
  EXPECT_EQ(c.Stream(), nullptr);
  EXPECT_EQ(c.Folder(), dir / "none.dat");  // the whole name is taken as the folder
  c.OpenFile(dir / "none.dat", true);
  EXPECT_EQ(c.Folder(), dir.Path());
}

TEST(ArchiveWrite, SourceFilePolicy) {
  TempDir dir;
  std::string text = TextBytes(20000), noise = NoiseBytes(20000);
  std::string briRaw = "Brio106" + Le32(40) + std::string(22, '\0') + std::string(1, '\1') + std::string(17, '\0') +
                       TextBytes(4000);
  std::string briZlib = briRaw;
  briZlib[7 + 4 + 22] = 0;
  const struct {
    const char* name;
    std::string bytes;
    uint8_t stored;
  } cases[] = {
      {"doc.txt", text, 0},        // compressible: compressed
      {"noise.bin", noise, 1},     // compresses to more than nine tenths: as is
      {"bgm\\song.ogg", text, 1},  // media extensions are never compressed
      {"movie.MPEG", text, 1},
      {"raw.bri", briRaw, 0},   // layered image whose layers are uncompressed
      {"zip.bri", briZlib, 1},  // layers already compressed
      {"noext", text, 0},
  };
  TVrFileCollection c;
  c.SetFolder(dir.Path());
  for (const auto& tc : cases) {
    std::string local = tc.name;
    std::replace(local.begin(), local.end(), '\\', '/');
    WriteFile(dir / local, tc.bytes);
    c.AddFile(tc.name);
  }
  int calls = 0;
  c.SetProgress([&](TVrFileCollection&, TVrFile&, bool&, int total, int index, int64_t bytes) {
    EXPECT_EQ(total, 7);
    EXPECT_EQ(index, calls / 2);
    if (calls % 2 == 0) {
      EXPECT_EQ(bytes, 0);
    }
    ++calls;
  });
  TKtMemoryStream out;
  ASSERT_TRUE(c.Write(out));
  EXPECT_EQ(calls, 14);
  TVrFileCollection back;
  OpenBytes(back, out.Data());
  for (const auto& tc : cases) {
    const TVrFile* e = ExpectEntry(back, tc.name, tc.stored, tc.bytes);
    ASSERT_NE(e, nullptr) << tc.name;
    EXPECT_NE(e->FileAge, 0) << tc.name;
    if (tc.stored) {
      EXPECT_EQ(e->Checksum, Crc32(tc.bytes.data(), tc.bytes.size()));
    }
  }
}

// A builder's asset held in memory is stored as the same file added from a folder would be;
// a plain memory entry of a media name is still compressed.
TEST(ArchiveWrite, MemoryEntriesThatStandForFilesFollowTheFilePolicy) {
  std::string text = TextBytes(20000), noise = NoiseBytes(20000);
  const struct {
    const char* name;
    std::string bytes;
    bool asFile;
    uint8_t stored;
  } cases[] = {
      {"doc.txt", text, true, 0},         {"noise.bin", noise, true, 1},
      {"movie\\tv.mpg", text, true, 1},  {"se\\click.wav", text, true, 1},
      {"plain\\tv.mpg", text, false, 0},
  };
  TVrFileCollection c;
  for (const auto& tc : cases) {
    TVrFile* f = c.AddMemoryFile(tc.name);
    f->Memory->WriteBytes(tc.bytes);
    f->PackAsFile = tc.asFile;
  }
  TKtMemoryStream out;
  ASSERT_TRUE(c.Write(out));
  TVrFileCollection back;
  OpenBytes(back, out.Data());
  for (const auto& tc : cases) ASSERT_NE(ExpectEntry(back, tc.name, tc.stored, tc.bytes), nullptr) << tc.name;
}

TEST(ArchiveWrite, ProgressCallbackStopsWriting) {
  TVrFileCollection c;
  FillMemory(c, {{"a", "1"}, {"b", "2"}, {"c", "3"}});
  int seen = 0;
  c.SetProgress([&](TVrFileCollection&, TVrFile& e, bool& stop, int, int index, int64_t bytes) {
    ++seen;
    if (index == 1 && bytes > 0) stop = true;
    EXPECT_NE(e.Name(), "c");
  });
  TKtMemoryStream out;
  EXPECT_FALSE(c.Write(out));
  EXPECT_EQ(seen, 4);
}

}  // namespace
}  // namespace nova::test
