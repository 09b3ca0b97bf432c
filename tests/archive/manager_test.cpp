// The virtual file manager: search orders, temporary extraction, disk prompts, install sets
// and the case-insensitive disk-name lookup.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "archive/disk_names.h"
#include "archive_test_util.h"
#include "base/process.h"

namespace nova::test {
namespace {

TEST(DiskNames, LookupTable) {
  TempDir dir;
  WriteFile(dir / "CG/Bg01.BRI", "bg");
  WriteFile(dir / "ソース/a.txt", "so");            // ソ = 0x83 0x5C: the trail byte is no separator
  WriteFile(dir / "wave〜dash.txt", "wave");        // U+301C as a plain Shift_JIS table gives it
  WriteFile(dir / "minus−sign.txt", "minus");       // U+2212
  WriteFile(dir / "cent¢.txt", "cent");             // U+00A2
  WriteFile(dir / "ア.txt", "a");
  WriteFile(dir.Path() + "/../h1_outside_secret.txt", "secret");
  std::string base = dir.Path();
  const struct {
    std::string name;
    const char* expect;  // file content, or nullptr when not found
  } cases[] = {
      {"cg\\bg01.bri", "bg"},
      {"CG\\BG01.bri", "bg"},
      {"cg/bg01.bri", "bg"},
      {Sj("ソース\\A.TXT"), "so"},
      {Sj("wave～dash.txt"), "wave"},  // CP932 0x8160 is U+FF5E
      {"wave\x81\x60" "dash.txt", "wave"},
      {"minus\x81\x7C" "sign.txt", "minus"},
      {"cent\x81\x91.txt", "cent"},
      {Sj("ア.txt"), "a"},
      {Sj("ヂ.txt"), nullptr},  // 0x83 0x61 is not 0x83 0x41 in another case
      {"..\\h1_outside_secret.txt", nullptr},
      {"cg\\..\\..\\h1_outside_secret.txt", nullptr},
      {"\\etc\\passwd", nullptr},
      {"/etc/passwd", nullptr},
      {"c:\\x.txt", nullptr},
      {"cg", nullptr},  // a folder is not a file
      {"cg\\bg01.bri\\", nullptr},
      {"", nullptr},
  };
  for (const auto& tc : cases) {
    std::optional<std::filesystem::path> path = FindGameFile(base, tc.name);
    if (tc.expect) {
      ASSERT_TRUE(path) << SjisToUtf8(tc.name);
      EXPECT_EQ(ReadFile(*path), tc.expect) << SjisToUtf8(tc.name);
    } else {
      EXPECT_FALSE(path) << SjisToUtf8(tc.name);
    }
  }
  std::filesystem::remove(dir.Path() + "/../h1_outside_secret.txt");
}

TEST(DiskNames, CacheFollowsTheFolder) {
  TempDir dir;
  std::string base = dir.Path();
  EXPECT_FALSE(FindGameFile(base, "new.txt"));
  WriteFile(dir / "New.txt", "1");  // the folder changed: a miss rescans it
  EXPECT_TRUE(FindGameFile(base, "new.txt"));
  std::filesystem::remove(dir / "New.txt");
  InvalidateDiskNames(dir.Path());
  EXPECT_FALSE(FindGameFile(base, "new.txt"));
}

// A manager over a game folder with one archive beside loose files.
struct Game {
  TempDir dir;
  TVrFileManager fm{false};
  Game() {
    WriteFile(dir / "game.dat", ArchiveBytes({{"a.txt", "packed a"},
                                              {"bgm\\song.ogg", "packed song"},
                                              {"voice\\v1.wav", "v1"},
                                              {"save\\s1.txt", "s1"},
                                              {"movie\\big.mpg", NoiseBytes(0x500000)}}));
    WriteFile(dir / "A.TXT", "loose a");
    WriteFile(dir / "save/s2.txt", "s2");
    fm.AddMemoryArchive();  // archive 0: in memory
    fm.Archive(0)->AddMemoryFile("mem.txt")->Memory->Assign("memory");
    fm.SetBaseFolder(dir.Path());
    fm.AddArchiveFile(dir / "game.dat");
  }
  std::string Read(const std::string& name) {
    TKtMemoryStream m;
    fm.ReadFile(m, name);
    EXPECT_EQ(m.Position(), 0);
    return m.Data();
  }
};

TEST(FileManager, LooseFileWinsForReadingRangesAndRealPaths) {
  Game g;
  EXPECT_EQ(g.fm.BaseFolder(), g.dir.Path());
  EXPECT_EQ(g.Read("a.txt"), "loose a");
  auto r = g.fm.OpenRange("a.txt");
  std::string bytes(static_cast<size_t>(r->Size()), '\0');
  r->ReadBuffer(bytes.data(), r->Size());
  EXPECT_EQ(bytes, "loose a");
  EXPECT_EQ(g.fm.GetRealPath("a.txt"), g.dir / "A.TXT");
  EXPECT_TRUE(g.fm.Exists("A.txt"));
  EXPECT_EQ(g.Read("mem.txt"), "memory");
  EXPECT_EQ(g.Read("BGM\\Song.ogg"), "packed song");
  EXPECT_NE(g.fm.FindEntry("bgm\\song.ogg"), nullptr);
  EXPECT_EQ(g.fm.FindEntry("\\EOF\\"), nullptr);
  EXPECT_FALSE(g.fm.Exists(""));
  EXPECT_FALSE(g.fm.Exists("\\EOF\\"));
}

TEST(FileManager, ReadFileIntoAFileStream) {
  Game g;
  for (const char* name : {"bgm\\song.ogg", "a.txt"}) {  // from the archive, from the folder
    TFileStream out(g.dir / "out.bin", TFileStream::Create);
    g.fm.ReadFile(out, name);
    EXPECT_EQ(out.Position(), 0);
    EXPECT_EQ(out.ReadBytes(100), std::string(name[0] == 'b' ? "packed song" : "loose a"));
  }
}

TEST(FileManager, PendingDeletionsAndRemovedEntries) {
  TempDir dir;
  WriteFile(dir / "a.tmp", "1");
  WriteFile(dir / "b.tmp", "2");
  AddPendingDeletion(dir / "a.tmp");
  AddPendingDeletion(dir / "missing.tmp");  // errors are ignored
  ProcessPendingDeletions();
  EXPECT_FALSE(std::filesystem::exists(dir / "a.tmp"));
  EXPECT_TRUE(std::filesystem::exists(dir / "b.tmp"));

  TVrFileCollection c;
  FillMemory(c, {{"x", "1"}, {"y", "2"}, {"z", "3"}});
  c.RemoveFile("Y");
  c.RemoveFile("none");
  ASSERT_EQ(c.Count(), 2);
  EXPECT_EQ(c.FindFile("z")->Index(), 1);
  EXPECT_EQ(c.FindFile("y"), nullptr);
}

TEST(FileManager, MissingFiles) {
  Game g;
  TKtMemoryStream m;
  try {
    g.fm.ReadFile(m, "nothing.txt");
    FAIL();
  } catch (const ENovaError& e) {
    EXPECT_EQ(std::string(e.what()), "nothing.txt" + Sj(":ファイルがありません"));
  }
  EXPECT_THROW(g.fm.OpenRange("nothing.txt"), ENovaError);
  EXPECT_TRUE(g.fm.GetRealPath("nothing.txt").empty());  // no file on disk holds it
  EXPECT_FALSE(g.fm.Exists("nothing.txt"));
}

TEST(FileManager, RealPathExtractsOnceIntoThePrivateFolder) {
  std::filesystem::path folder;
  {
    Game g;
    folder = g.fm.TempFolder();
    struct stat st;
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    std::filesystem::path path = g.fm.GetRealPath("bgm\\song.ogg");
    EXPECT_EQ(path, folder / "~nv00000000.ogg");
    EXPECT_EQ(ReadFile(path), "packed song");
    WriteFile(path, "changed");
    EXPECT_EQ(g.fm.GetRealPath("bgm\\song.ogg"), path);
    EXPECT_EQ(ReadFile(path), "changed");  // not written again
    EXPECT_EQ(g.fm.Locks().Item(0)->RefCount, 2);
    EXPECT_EQ(g.fm.GetRealPath("voice\\v1.wav"), folder / "~nv00000001.wav");
    ASSERT_EQ(g.fm.FindEntry("movie\\big.mpg")->Stored, 1);  // copied in pieces
    EXPECT_EQ(ReadFile(g.fm.GetRealPath("movie\\big.mpg")), NoiseBytes(0x500000));
  }
  EXPECT_FALSE(std::filesystem::exists(folder));  // removed with the manager
}

TEST(FileManager, ListFolderJoinsArchivesAndDisk) {
  Game g;
  std::vector<std::string> list;
  g.fm.ListFolder("save\\", list);
  EXPECT_EQ(list, (std::vector<std::string>{"save\\s1.txt", "save\\s2.txt"}));
  list.clear();
  g.fm.ListFolder("SAVE", list);
  EXPECT_EQ(list, (std::vector<std::string>{"SAVE\\s2.txt"}));  // archives compare the path part with "\"
}

// A folder whose name ends in a double-byte character still gets its separator ("ア" ends
// in the byte 0x41, "ソ" in 0x5C), so the listed names can be opened.
TEST(FileManager, ListFolderOfDoubleByteFolders) {
  TempDir dir;
  WriteFile(dir / "ア/f.txt", "a");
  WriteFile(dir / "ソ/g.txt", "so");
  TVrFileManager fm(false);
  fm.SetBaseFolder(dir.Path());
  for (const char* folder : {"ア", "ソ", "ア\\"}) {
    std::vector<std::string> list;
    fm.ListFolder(Sj(folder), list);
    ASSERT_EQ(list.size(), 1u) << folder;
    std::string bare = std::string(folder).rfind("ソ", 0) == 0 ? "g.txt" : "f.txt";
    EXPECT_EQ(SjisToUtf8(list[0]), std::string(folder).substr(0, 3) + "\\" + bare) << folder;
    EXPECT_TRUE(fm.Exists(list[0])) << folder;
  }
}

// Paths on the user's disk are taken as they are, also where Shift-JIS cannot spell them.
TEST(FileManager, FoldersWithNamesShiftJisCannotHold) {
  TempDir dir;
  for (const char* name : {"zoë", "한국", "日本語"}) {
    std::filesystem::path folder = std::filesystem::path(dir.Path()) / name;
    WriteFile(folder / "loose.txt", "loose");
    WriteFile(folder / "game.dat", ArchiveBytes({{"packed.txt", "packed"}}));
    TVrFileManager fm(false);
    fm.SetBaseFolder(folder);
    fm.AddArchiveFile(folder / "game.dat");
    TKtMemoryStream m;
    fm.ReadFile(m, "loose.txt");
    EXPECT_EQ(m.Data(), "loose") << name;
    fm.ReadFile(m, "packed.txt");
    EXPECT_EQ(m.Data(), "packed") << name;
    EXPECT_EQ(fm.GetRealPath("loose.txt"), folder / "loose.txt");
  }
}

TEST(FileManager, ArchivesWithoutStreamArePassedOver) {
  TempDir dir;
  TVrFileManager fm(false);
  fm.AddArchiveFile(dir / "missing.dat");
  EXPECT_EQ(fm.Archive(0)->Stream(), nullptr);
  EXPECT_EQ(fm.Archive(5), nullptr);
  fm.Archive(0)->AddFile("ghost.txt");
  WriteFile(dir / "game.dat", ArchiveBytes({{"ghost.txt", "real"}}));
  fm.AddArchiveFile(dir / "game.dat");
  TKtMemoryStream m;
  fm.ReadFile(m, "ghost.txt");
  EXPECT_EQ(m.Data(), "real");
}

// A disc mounted at a folder: game.dat and install.dat of a project.
void MakeDisk(const std::string& root, const std::string& project, int index, const Entries& entries) {
  WriteFile(root + "/GAME.DAT", ArchiveBytes(entries));
  TNovaInstallSet set;
  set.ProjectName = project;
  set.DiskIndex = index;
  set.SaveToFile(root + "/INSTALL.DAT");
}

// The boxes of a disk prompt, answered from a script and checked against it.
struct Boxes : TDialogs {
  std::vector<std::pair<std::string, MsgResult>> script;  // expected text, answer
  size_t asked = 0;
  std::string caption;
  TVrFileManager& fm;
  explicit Boxes(TVrFileManager& manager) : fm(manager) { fm.SetDialogs(this); }
  ~Boxes() override {
    fm.SetDialogs(nullptr);
    SetQuitting(false);
    ClearCloseRequest();
  }
  MsgResult MessageBox(const std::string& text, const std::string& cap, MsgButtons, MsgIcon) override {
    caption = cap;
    if (asked >= script.size()) {
      ADD_FAILURE() << "unexpected box: " << SjisToUtf8(text);
      return MsgResult::Cancel;
    }
    EXPECT_EQ(SjisToUtf8(text), SjisToUtf8(script[asked].first));
    return script[asked++].second;
  }
  int ChoiceBox(const std::string&, const std::string&, const std::vector<std::string>&) override { return -1; }
};

TEST(FileManager, PromptDiskUntilTheDiscIsThere) {
  TempDir a, b;
  MakeDisk(a.Path(), "other", 1, {{"x.txt", "x"}});
  MakeDisk(b.Path(), "game", 1, {{"disk2.txt", "second disc"}});
  TVrFileManager fm(true);
  fm.SetRemovableRoots({a.Path(), b.Path()});
  fm.SetProjectName("game");
  fm.AddArchiveFile(b / "GAME.DAT");  // an archive of a disc: dropped by the prompt
  SetApplicationTitle("Title");
  std::string prompt = Sj("ディスク2を入れてから[OK]をクリックしてください");
  Boxes boxes(fm);
  boxes.script = {{prompt, MsgResult::Cancel}, {Sj("終了します"), MsgResult::Cancel}, {prompt, MsgResult::Ok}};
  EXPECT_TRUE(fm.PromptDisk(2));
  EXPECT_EQ(boxes.asked, 3u);
  EXPECT_EQ(boxes.caption, "Title");
  EXPECT_EQ(fm.ArchiveCount(), 1);
  EXPECT_TRUE(fm.Exists("disk2.txt"));
  EXPECT_FALSE(fm.FindDisk(5));
  EXPECT_FALSE(Quitting());
}

TEST(FileManager, PromptDiskQuit) {
  TVrFileManager fm(true);
  fm.SetRemovableRoots({});
  fm.SetDiskPromptTexts("Disk %d %s please", "Bye");
  Boxes boxes(fm);
  boxes.script = {{"Disk 3 %s please", MsgResult::Cancel}, {"Bye", MsgResult::Ok}};
  EXPECT_FALSE(fm.PromptDisk(3));
  EXPECT_TRUE(Quitting());
  EXPECT_TRUE(CloseRequested());
}

TEST(FileManager, HeadlessPromptDiskEndsInsteadOfAskingForever) {
  TVrFileManager fm(false);
  EXPECT_TRUE(fm.RemovableRoots().empty());
  Boxes boxes(fm);
  std::string prompt = Sj("ディスク1を入れてから[OK]をクリックしてください");
  boxes.script = {{prompt, MsgResult::Ok}, {Sj("終了します"), MsgResult::Ok}};
  EXPECT_FALSE(fm.PromptDisk(1));
  EXPECT_TRUE(Quitting());
}

TEST(FileManager, OpticalMountPoints) {
  TempDir dir;
  WriteFile(dir / "mounts",
            "/dev/sda1 / ext4 rw 0 0\n"
            "/dev/sr0 /media/u/GAME\\040DISC iso9660 ro 0 0\n"
            "/dev/sr1 /mnt/dvd udf ro 0 0\n");
  EXPECT_EQ(OpticalMountPoints(dir / "mounts"),
            (std::vector<std::filesystem::path>{"/media/u/GAME DISC", "/mnt/dvd"}));
}

TEST(FileManager, ProcessWideInstance) {
  ResetFileManager(false);
  TVrFileManager& fm = FileManager();
  EXPECT_TRUE(fm.RemovableRoots().empty());
  EXPECT_EQ(&fm, &FileManager());
  ResetFileManager(false);
}

TEST(InstallSet, RoundTripAcrossVersions) {
  TNovaInstallSet full;
  full.DiskIndex = 2;
  full.ProjectName = Sj("ゲーム");
  full.Strings[0] = "s0";
  full.Strings[2] = "s2";
  full.Byte1 = 1;
  full.String2 = "two";
  full.Byte2 = 2;
  full.String3 = "three";
  full.Int1 = -7;
  full.Byte3 = 3;
  full.Byte4 = 4;
  full.String4 = "four";
  full.String5 = "five";
  full.Items = {{{1, 2, 3, 4}}, {{5, 6, 7, 8}}};
  full.Totals[3] = 99;
  full.Byte5 = 5;
  full.Byte6 = 6;
  full.Files = {"a.txt", "b.txt"};
  full.DataComplete = 1;
  full.Byte7 = 7;
  full.Byte8 = 8;
  full.List2 = {"x", ""};
  full.String6 = "six";
  full.String7 = "seven";
  full.String8 = "eight";
  for (int v : {0, 99, 100, 101, 102, 103, 104, 105, 106, 107, 108}) {
    TKtMemoryStream s;
    full.Save(s, v);
    EXPECT_EQ(s.Data().substr(0, 5), v == 0 ? s.Data().substr(0, 5) : Format("is%03d", v));
    EXPECT_EQ(s.Data().substr(0, 2) == "is", v != 0);
    s.SetPosition(0);
    TNovaInstallSet back;
    back.Load(s);
    EXPECT_EQ(back.Version, v);
    EXPECT_EQ(s.Remaining(), 0) << v;
    EXPECT_EQ(back.DiskIndex, 2);
    EXPECT_EQ(back.ProjectName, full.ProjectName);
    EXPECT_EQ(back.String5, "five");
    EXPECT_EQ(back.Items.size(), 2u);
    EXPECT_EQ(back.Items[1].Values[3], 8);
    EXPECT_EQ(back.Totals[3], 99);
    EXPECT_EQ(back.Byte5, 5);
    EXPECT_EQ(back.Byte6, v > 100 ? 6 : 0) << v;
    EXPECT_EQ(back.Files.size(), v > 101 ? 2u : 0u) << v;
    EXPECT_EQ(back.DataComplete, v > 102 ? 1 : 0) << v;
    EXPECT_EQ(back.Byte7, v > 103 ? 7 : 0) << v;
    EXPECT_EQ(back.Byte8, v > 104 ? 8 : 0) << v;
    EXPECT_EQ(back.List2.size(), v > 105 ? 2u : 0u) << v;
    EXPECT_EQ(back.String6, v > 106 ? "six" : "") << v;
    EXPECT_EQ(back.String8, v > 107 ? "eight" : "") << v;
  }
}

TEST(InstallSet, EmptyFileNamesAreDropped) {
  TNovaInstallSet set;
  set.Files = {"a", "", "b"};
  TKtMemoryStream s;
  set.Save(s);
  s.SetPosition(0);
  TNovaInstallSet back;
  back.Load(s);
  EXPECT_EQ(back.Files, (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace nova::test
