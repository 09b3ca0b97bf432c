// Segmented files, range streams, the read-ahead buffer and the PE resource archive.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "archive/pe_resources.h"
#include "archive_test_util.h"

namespace nova::test {
namespace {

TEST(BigFileStream, ArchiveCrossingSegmentBoundaries) {
  TempDir dir;
  const int64_t seg = 4096;
  Entries entries = {{"a.bin", NoiseBytes(3000, 1)}, {"b.bin", NoiseBytes(9000, 2)}, {"c.txt", TextBytes(5000)}};
  {
    TVrFileCollection c;
    FillMemory(c, entries);
    TKtBigFileStream out(dir / "game.dat", TKtBigFileStream::Create, seg);
    ASSERT_TRUE(c.Write(out));
  }
  int64_t total = 0;
  int segments = 0;
  for (; std::filesystem::exists(TKtBigFileStream::SegmentName(dir / "game.dat", segments)); ++segments) {
    int64_t size = static_cast<int64_t>(std::filesystem::file_size(TKtBigFileStream::SegmentName(dir / "game.dat", segments)));
    EXPECT_LE(size, seg);
    total += size;
  }
  EXPECT_GE(segments, 3);
  TVrFileCollection c;
  c.SetSegmentSize(seg);
  c.OpenFile(dir / "game.dat");
  ASSERT_EQ(c.EntryCount(), 3);
  EXPECT_EQ(c.Stream()->Size(), total);
  TVrFile* b = c.FindFile("b.bin");
  ASSERT_LT(b->Offset / seg, (b->Offset + b->Size - 1) / seg);  // b really crosses a boundary
  for (const auto& [name, bytes] : entries) {
    TKtMemoryStream m;
    c.ReadEntry(name, m);
    EXPECT_EQ(m.Data(), bytes) << name;
  }
  // The range over the stored bytes reads across the boundary too.
  auto range = c.OpenRange("b.bin");
  std::string stored(static_cast<size_t>(range->Size()), '\0');
  range->ReadBuffer(stored.data(), range->Size());
  std::string direct(static_cast<size_t>(b->Size), '\0');
  c.Stream()->SetPosition(b->Offset);
  EXPECT_EQ(c.Stream()->Read(direct.data(), b->Size), b->Size);
  EXPECT_EQ(stored, direct);
}

// Segments copied from another system may be named in capitals beside a lower-case game.dat.
TEST(BigFileStream, SegmentsAreFoundWithoutRegardToCase) {
  TempDir dir;
  const int64_t seg = 4096;
  Entries entries = {{"a.bin", NoiseBytes(6000, 1)}, {"b.bin", NoiseBytes(7000, 2)}};
  {
    TVrFileCollection c;
    FillMemory(c, entries);
    TKtBigFileStream out(dir / "game.dat", TKtBigFileStream::Create, seg);
    ASSERT_TRUE(c.Write(out));
  }
  std::filesystem::rename(dir / "game.001", dir / "GAME.001");
  std::filesystem::rename(dir / "game.002", dir / "Game.002");
  TVrFileCollection c;
  c.SetSegmentSize(seg);
  c.OpenFile(dir / "game.dat");
  ASSERT_EQ(c.EntryCount(), 2);
  for (const auto& [name, bytes] : entries) {
    TKtMemoryStream m;
    c.ReadEntry(name, m);
    EXPECT_EQ(m.Data(), bytes) << name;
  }
}

TEST(BigFileStream, SegmentNames) {
  EXPECT_EQ(TKtBigFileStream::SegmentName("/g/game.dat", 0), "/g/game.dat");
  EXPECT_EQ(TKtBigFileStream::SegmentName("/g/game.dat", 1), "/g/game.001");
  EXPECT_EQ(TKtBigFileStream::SegmentName("/g.x/game", 12), "/g.x/game.012");
  EXPECT_EQ(TKtBigFileStream::SegmentName("/g/game.dat", 1234), "/g/game.1234");
  EXPECT_EQ(kBigSegmentSize, 0x40000000);
}

TEST(RangeStream, SeeksAndReadsAreClamped) {
  TempDir dir;
  WriteFile(dir / "f.bin", "0123456789");
  TFileRangeStream r(dir / "f.bin", 4, 3);
  char buf[16] = {};
  EXPECT_EQ(r.Seek(-5, SeekOrigin::Begin), 0);  // before the start: the start
  EXPECT_EQ(r.Read(buf, 10), 4);
  EXPECT_EQ(std::string(buf, 4), "3456");
  EXPECT_EQ(r.Read(buf, 1), 0);
  EXPECT_EQ(r.Seek(2, SeekOrigin::End), 4);
  EXPECT_EQ(r.Seek(-1, SeekOrigin::End), 3);
  EXPECT_EQ(r.Read(buf, 5), 1);
  EXPECT_EQ(buf[0], '6');
  EXPECT_EQ(r.Seek(-2, SeekOrigin::Current), 2);
  EXPECT_EQ(r.Write("x", 1), 0);

  TFileRangeStream whole(dir / "f.bin", kWholeStream, 8);
  EXPECT_EQ(whole.Size(), 2);
  TFileRangeStream past(dir / "f.bin", 100, 6);  // never beyond the file
  EXPECT_EQ(past.Size(), 4);
  TFileRangeStream empty(dir / "f.bin", 0, 5);
  EXPECT_EQ(empty.Read(buf, 4), 0);
}

TEST(BuffBigStream, GivesBackWhatItDidNotHandOut) {
  TKtBigMemoryStream big(std::make_unique<TKtMemoryStream>(TextBytes(300000)));
  big.SetPosition(100);
  {
    TKtBuffBigStream buffered(big);
    char b[10];
    EXPECT_EQ(buffered.Read(b, 10), 10);
    EXPECT_EQ(std::string(b, 10), TextBytes(300000).substr(100, 10));
    EXPECT_EQ(big.Position(), 100 + TKtBuffBigStream::kBufferSize);
  }
  EXPECT_EQ(big.Position(), 110);
}

TEST(CopyStreamHelper, WholeSourceOrCount) {
  TKtMemoryStream src(std::string("abcdef"));
  src.SetPosition(4);
  TKtMemoryStream dst;
  EXPECT_EQ(CopyStream(dst, src, 0), 6);  // 0: everything from position 0
  EXPECT_EQ(dst.Data(), "abcdef");
  TempDir dir;
  WriteFile(dir / "f", "0123456789");
  TFileStream file(dir / "f", TFileStream::OpenRead);
  file.SetPosition(2);
  TKtMemoryStream part;
  EXPECT_EQ(CopyStream(part, file, 5), 5);
  EXPECT_EQ(part.Data(), "23456");
}

// ---- a tiny PE image with named resources, built byte by byte ----

struct Res {
  std::string type, name, bytes;
};

void Put16(std::string& s, size_t at, uint32_t v) {
  s[at] = static_cast<char>(v);
  s[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

std::string BuildPe(const std::vector<Res>& resources, bool pe32plus = false) {
  const uint32_t rva = 0x1000, raw = 0x200;
  const size_t r = resources.size();
  // The resource section: root, one type directory and one language directory per
  // resource (each type holds one name), data entries, names, then the data.
  size_t typeDirs = 16 + 8 * r, langDirs = typeDirs + 24 * r, dataEntries = langDirs + 24 * r;
  size_t strings = dataEntries + 16 * r;
  std::string sec(strings, '\0');
  std::vector<size_t> typeStr, nameStr;
  auto addString = [&](const std::string& s) {
    size_t at = sec.size();
    sec.append(2 + 2 * s.size(), '\0');
    Put16(sec, at, static_cast<uint32_t>(s.size()));
    for (size_t i = 0; i < s.size(); ++i) Put16(sec, at + 2 + 2 * i, static_cast<unsigned char>(s[i]));
    return at;
  };
  for (const Res& res : resources) {
    typeStr.push_back(addString(res.type));
    nameStr.push_back(addString(res.name));
  }
  std::vector<size_t> data;
  for (const Res& res : resources) {
    while (sec.size() % 8) sec += '\0';
    data.push_back(sec.size());
    sec += res.bytes;
  }
  Put16(sec, 12, static_cast<uint32_t>(r));
  for (size_t i = 0; i < r; ++i) {
    Put32(sec, 16 + 8 * i, 0x80000000u | static_cast<uint32_t>(typeStr[i]));
    Put32(sec, 20 + 8 * i, 0x80000000u | static_cast<uint32_t>(typeDirs + 24 * i));
    size_t t = typeDirs + 24 * i;
    Put16(sec, t + 12, 1);
    Put32(sec, t + 16, 0x80000000u | static_cast<uint32_t>(nameStr[i]));
    Put32(sec, t + 20, 0x80000000u | static_cast<uint32_t>(langDirs + 24 * i));
    size_t l = langDirs + 24 * i;
    Put16(sec, l + 14, 1);
    Put32(sec, l + 16, 1041);
    Put32(sec, l + 20, static_cast<uint32_t>(dataEntries + 16 * i));
    Put32(sec, dataEntries + 16 * i, rva + static_cast<uint32_t>(data[i]));
    Put32(sec, dataEntries + 16 * i + 4, static_cast<uint32_t>(resources[i].bytes.size()));
  }
  std::string img(raw, '\0');
  img[0] = 'M';
  img[1] = 'Z';
  Put32(img, 0x3C, 64);
  img.replace(64, 4, std::string("PE\0\0", 4));
  Put16(img, 68, 0x14C);
  Put16(img, 70, 1);     // one section
  const size_t optSize = pe32plus ? 240 : 224, dirs = pe32plus ? 112 : 96;
  Put16(img, 84, static_cast<uint32_t>(optSize));
  size_t opt = 88;
  Put16(img, opt, pe32plus ? 0x20B : 0x10B);
  Put32(img, opt + dirs - 4, 16);
  Put32(img, opt + dirs + 16, rva);
  Put32(img, opt + dirs + 20, static_cast<uint32_t>(sec.size()));
  size_t s = opt + optSize;
  img.replace(s, 5, ".rsrc");
  Put32(img, s + 8, static_cast<uint32_t>(sec.size()));
  Put32(img, s + 12, rva);
  Put32(img, s + 16, static_cast<uint32_t>(sec.size()));
  Put32(img, s + 20, raw);
  return img + sec;
}

TEST(ResourceArchive, FoundInTheExecutable) {
  TempDir dir;
  std::string archive = ArchiveBytes({{"nova.npb", TextBytes(900)}, {"bgm.ogg", NoiseBytes(6000000)}});
  std::string splash = ArchiveBytes({{"logo.bri", "logo"}});
  WriteFile(dir / "Game.exe", BuildPe({{"BINTYPE", "DUMMY", archive}, {"DATA", "MADEWITH", splash}}));
  TPeResource res;
  ASSERT_EQ(FindPeResource(dir / "Game.exe", "dummy", "bintype", res), PeLookup::Found);
  EXPECT_EQ(res.size, static_cast<int64_t>(archive.size()));

  TVrFileManager fm(false);
  int game = fm.AddResourceArchive(dir / "Game.exe", "DUMMY", "BINTYPE");
  int logo = fm.AddResourceArchive(dir / "Game.exe", "MADEWITH", "DATA");
  EXPECT_TRUE(fm.Archive(game)->IsResource());
  TKtMemoryStream m;
  fm.ReadFile(m, "NOVA.NPB");
  EXPECT_EQ(m.Data(), TextBytes(900));
  fm.ReadFile(m, "logo.bri");
  EXPECT_EQ(m.Data(), "logo");
  auto range = fm.OpenRange("bgm.ogg");  // a stored entry played from the executable
  ASSERT_NE(range, nullptr);
  EXPECT_NE(dynamic_cast<TResourceRangeStream*>(range.get()), nullptr);
  std::string bytes(static_cast<size_t>(range->Size()), '\0');
  range->ReadBuffer(bytes.data(), range->Size());
  EXPECT_EQ(bytes, NoiseBytes(6000000));
  fm.RemoveArchive(logo);
  EXPECT_FALSE(fm.Exists("logo.bri"));
}

TEST(ResourceArchive, SixtyFourBitImage) {
  TempDir dir;
  WriteFile(dir / "g64.exe", BuildPe({{"DATA", "MADEWITH", "splash"}, {"BINTYPE", "DUMMY", "xyvf"}}, true));
  TPeResource res;
  ASSERT_EQ(FindPeResource(dir / "g64.exe", "DUMMY", "BINTYPE", res), PeLookup::Found);
  EXPECT_EQ(res.size, 4);
  EXPECT_EQ(ReadFile(dir / "g64.exe").substr(static_cast<size_t>(res.offset), 4), "xyvf");
  EXPECT_EQ(FindPeResource(dir / "g64.exe", "DUMMY", "DATA", res), PeLookup::Missing);
}

TEST(ResourceArchive, MissingEmptyAndUnreadableModules) {
  TempDir dir;
  WriteFile(dir / "a.exe", BuildPe({{"BINTYPE", "DUMMY", ""}, {"DATA", "X", "vf"}}));
  WriteFile(dir / "text.exe", "not an executable");
  TVrFileCollection c;
  try {
    c.OpenResource(dir / "a.exe", "DUMMY", "BINTYPE");
    FAIL();
  } catch (const ENovaError& e) {
    EXPECT_EQ(std::string(e.what()), Sj("リソースが見つかりません"));
  }
  EXPECT_THROW(c.OpenResource(dir / "a.exe", "MADEWITH", "DATA"), ENovaError);
  for (const char* module : {"text.exe", "none.exe"}) {
    c.OpenResource(dir / module, "DUMMY", "BINTYPE");  // no error: empty
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(c.Stream(), nullptr);
  }
}

}  // namespace
}  // namespace nova::test
