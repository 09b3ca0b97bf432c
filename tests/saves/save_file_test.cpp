// "save.dat" on the disk: atomic replacement that never loses the old file, damaged files and
// entries kept aside before a rewrite, entries replaced in place of being doubled.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "archive/vrfile_collection.h"
#include "base/error.h"
#include "saves/save_file.h"
#include "support/archive_fixtures.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(TSaveFile& f) {
  std::vector<std::string> names;
  for (int i = 0; i < f.Archive().EntryCount(); ++i) names.push_back(f.Archive().Entry(i)->Name());
  return names;
}

std::string EntryOf(TSaveFile& f, const std::string& name) {
  TKtMemoryStream m;
  EXPECT_TRUE(f.Read(name, m)) << name;
  return m.Data();
}

TEST(AtomicReplace, WritesNewAndReplacesOldFiles) {
  TempDir dir;
  const fs::path path = dir / "save.dat";
  ReplaceFileAtomically(path, "first");
  EXPECT_EQ(ReadFile(path), "first");
  ::chmod(path.c_str(), 0600);
  ReplaceFileAtomically(path, "second");
  EXPECT_EQ(ReadFile(path), "second");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(fs::exists(dir / "save.dat.new"));
}

TEST(AtomicReplace, AFailedWriteLeavesTheOldFile) {
  TempDir dir;
  const fs::path path = dir / "save.dat";
  WriteFile(path, "precious");
  // The temporary file cannot be made: a folder with something in it stands where it goes.
  WriteFile(dir / "save.dat.new/blocker", "x");
  EXPECT_NE(ErrorOf([&] { ReplaceFileAtomically(path, "new bytes"); }).find("save.dat.new"), std::string::npos);
  EXPECT_EQ(ReadFile(path), "precious");
  fs::remove_all(dir / "save.dat.new");
  // The rename cannot happen: the target is a folder. The temporary file goes again.
  fs::create_directory(dir / "folder.dat");
  WriteFile(dir / "folder.dat/inside", "kept");
  EXPECT_NE(ErrorOf([&] { ReplaceFileAtomically(dir / "folder.dat", "bytes"); }), "(no error)");
  EXPECT_EQ(ReadFile(dir / "folder.dat/inside"), "kept");
  EXPECT_FALSE(fs::exists(dir / "folder.dat.new"));
}

TEST(AtomicReplace, ALinkKeepsPointingAtTheReplacedFile) {
  TempDir dir;
  WriteFile(dir / "real/save.dat", "old");
  fs::create_symlink(dir / "real/save.dat", dir / "save.dat");
  ReplaceFileAtomically(dir / "save.dat", "new");
  EXPECT_TRUE(fs::is_symlink(dir / "save.dat"));
  EXPECT_EQ(ReadFile(dir / "real/save.dat"), "new");
}

TEST(SaveFile, PuttingASlotTwiceKeepsOneEntryAndTheOthers) {
  TempDir dir;
  const fs::path path = dir / "save.dat";
  WriteFile(path, ArchiveBytes({{"GAMESAVEDATA1", "one"}, {"GAMESAVEDATA3", "three"}, {"STATUSSAVEDATA", "st"}}));
  for (const char* bytes : {"three again", "three at last"}) {
    TSaveFile f(path);
    f.Open();
    ASSERT_FALSE(f.Damaged());
    f.Put("GAMESAVEDATA3", bytes);
    f.Commit();
    EXPECT_FALSE(f.DamagedCopy());
  }
  TSaveFile f(path);
  f.Open();
  EXPECT_EQ(Names(f), (std::vector<std::string>{"GAMESAVEDATA1", "STATUSSAVEDATA", "GAMESAVEDATA3"}));
  EXPECT_EQ(EntryOf(f, "GAMESAVEDATA1"), "one");
  EXPECT_EQ(EntryOf(f, "GAMESAVEDATA3"), "three at last");
  EXPECT_EQ(EntryOf(f, "STATUSSAVEDATA"), "st");
  EXPECT_FALSE(fs::exists(dir / "save.dat.damaged"));
}

TEST(SaveFile, AbsentFileIsEmptyAndCreated) {
  TempDir dir;
  TSaveFile f(dir / "save.dat");
  f.Open();
  EXPECT_FALSE(f.Exists());
  EXPECT_FALSE(f.Damaged());
  TKtMemoryStream m;
  EXPECT_FALSE(f.Read("GAMESAVEDATA0", m));
  f.Put("STATUSSAVEDATA", "s");
  f.Commit();
  TSaveFile g(dir / "save.dat");
  g.Open();
  EXPECT_EQ(EntryOf(g, "STATUSSAVEDATA"), "s");
}

// Truncated and garbage files: nothing can be read, and the file is kept before it is replaced.
TEST(SaveFile, DamagedFileIsKeptAsideBeforeItIsReplaced) {
  const std::string whole = ArchiveBytes({{"GAMESAVEDATA1", std::string(3000, 'a')}, {"STATUSSAVEDATA", "st"}});
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"cut inside the data", whole.substr(0, whole.size() - 10)},
      {"cut inside the directory", whole.substr(0, 20)},
      {"empty", ""},
      {"not an archive", "this is no archive at all, only text"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    const fs::path path = dir / "save.dat";
    WriteFile(path, c.bytes);
    TSaveFile f(path);
    f.Open();
    EXPECT_TRUE(f.Exists()) << c.what;
    EXPECT_TRUE(f.Damaged()) << c.what;
    EXPECT_EQ(f.Archive().EntryCount(), 0) << c.what;
    f.Put("STATUSSAVEDATA", "fresh");
    f.Commit();
    ASSERT_TRUE(f.DamagedCopy()) << c.what;
    EXPECT_EQ(*f.DamagedCopy(), fs::path(dir / "save.dat.damaged")) << c.what;
    EXPECT_EQ(ReadFile(dir / "save.dat.damaged"), c.bytes) << c.what;
    TSaveFile g(path);
    g.Open();
    EXPECT_FALSE(g.Damaged()) << c.what;
    EXPECT_EQ(EntryOf(g, "STATUSSAVEDATA"), "fresh") << c.what;
  }
}

TEST(SaveFile, ACopyWithTheSameBytesIsUsedAgainAnotherGetsANewName) {
  TempDir dir;
  const fs::path path = dir / "save.dat";
  WriteFile(path, "garbage one");
  EXPECT_EQ(KeepDamagedCopy(path), fs::path(dir / "save.dat.damaged"));
  EXPECT_EQ(KeepDamagedCopy(path), fs::path(dir / "save.dat.damaged"));
  WriteFile(path, "garbage two");
  EXPECT_EQ(KeepDamagedCopy(path), fs::path(dir / "save.dat.damaged2"));
  EXPECT_EQ(ReadFile(dir / "save.dat.damaged"), "garbage one");
  EXPECT_EQ(ReadFile(dir / "save.dat.damaged2"), "garbage two");
}

// One entry's zlib stream is broken: reading it raises, the rewrite leaves it out and keeps
// the file aside; the other entries survive.
TEST(SaveFile, DamagedEntryIsLeftOutAndTheFileKept) {
  TempDir dir;
  const fs::path path = dir / "save.dat";
  const std::string bytes =
      WithBrokenFirstEntry(ArchiveBytes({{"GAMESAVEDATA1", std::string(2000, 'x')}, {"GAMESAVEDATA2", "two"}}));
  WriteFile(path, bytes);

  TSaveFile f(path);
  f.Open();
  ASSERT_FALSE(f.Damaged());
  TKtMemoryStream m;
  EXPECT_NE(ErrorOf([&] { f.Read("GAMESAVEDATA1", m); }), "(no error)");
  EXPECT_TRUE(f.Damaged());
  f.Put("GAMESAVEDATA3", "three");
  f.Commit();
  EXPECT_EQ(ReadFile(dir / "save.dat.damaged"), bytes);
  TSaveFile g(path);
  g.Open();
  EXPECT_EQ(Names(g), (std::vector<std::string>{"GAMESAVEDATA2", "GAMESAVEDATA3"}));
  EXPECT_EQ(EntryOf(g, "GAMESAVEDATA2"), "two");
}

}  // namespace
}  // namespace nova::test
