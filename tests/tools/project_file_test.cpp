// "nova.npb": every field by version, and the folder-disk list of a second copy.
#include <gtest/gtest.h>

#include "base/stream.h"
#include "base/encoding.h"
#include "scenario/project_file.h"
#include "authoring/page_compiler.h"
#include "authoring/project_source.h"

namespace nova {
namespace {

TProjectFile Sample(int32_t version) {
  TProjectFile p;
  p.Version = version;
  p.Name = "Game";
  p.ScreenWidth = 800;
  p.ScreenHeight = 600;
  p.DisplayParam1 = 3;
  p.DisplayParam2 = -4;
  p.StartPage = "start.nsb";
  p.ExitPage = "exit.nsb";
  p.SettingsKey = "Key";
  p.ImageKey = 77;
  p.WriteStatus = 0;
  p.SleepFlag = 1;
  p.MediaExtensions = ".ogg";
  p.DiskPrompt = "insert %d";
  p.QuitText = "bye";
  p.StatusVars = {{1, "i", 5, 0, 0, ""}, {2, "r", 0, 2.5L, 0, ""}, {3, "f", 0, 0, 1, ""}, {4, "s", 0, 0, 0, "txt"},
                  {9, "odd", 0, 0, 0, ""}};
  p.FolderDisks = {{"CG", 2}, {"BGM", 0}};
  return p;
}

TEST(ProjectFile, FieldsByVersion) {
  struct Case {
    int32_t version;
    bool exitPage, writeStatus, sleep, media;
  } cases[] = {{103, false, false, false, false}, {105, false, true, false, false},
               {110, true, true, true, true},     {112, true, true, true, true}};
  for (const Case& c : cases) {
    TKtMemoryStream s;
    WriteProjectFile(s, Sample(c.version));
    s.SetPosition(0);
    TProjectFile p;
    ASSERT_TRUE(ReadProjectFile(s, p));
    EXPECT_EQ(s.Remaining(), 0) << c.version;
    EXPECT_EQ(p.Name, "Game");
    EXPECT_EQ(p.ScreenHeight, 600);
    EXPECT_EQ(p.DisplayParam2, -4);
    EXPECT_EQ(p.ImageKey, 77);
    EXPECT_EQ(p.ExitPage, c.exitPage ? "exit.nsb" : "") << c.version;
    EXPECT_EQ(p.WriteStatus, c.writeStatus ? 0 : 1) << c.version;
    EXPECT_EQ(p.SleepFlag, c.sleep ? 1 : 0) << c.version;
    EXPECT_EQ(p.MediaExtensions, c.media ? ".ogg" : ".wav.wma.ogg.mid") << c.version;
    EXPECT_EQ(p.QuitText, "bye");
    ASSERT_EQ(p.StatusVars.size(), 5u);
    EXPECT_EQ(p.StatusVars[0].IntValue, 5);
    EXPECT_EQ(p.StatusVars[1].FloatValue, 2.5L);
    EXPECT_EQ(p.StatusVars[2].FlagValue, 1);
    EXPECT_EQ(p.StatusVars[3].StrValue, "txt");
    EXPECT_EQ(p.StatusVars[4].Name, "odd");
    EXPECT_EQ(p.FolderDisks, Sample(c.version).FolderDisks);
    // Writing what was read gives the same bytes.
    TKtMemoryStream again;
    WriteProjectFile(again, p);
    EXPECT_EQ(again.Data(), s.Data());
  }
}

TEST(ProjectFile, NewerVersionsAreNotRead) {
  TKtMemoryStream s;
  WriteProjectFile(s, Sample(113));
  s.SetPosition(0);
  TProjectFile p;
  EXPECT_FALSE(ReadProjectFile(s, p));
  s.SetPosition(0);
  TFolderDiskList list;
  EXPECT_FALSE(ReadProjectFolderDisks(s, list));
}

TEST(ProjectFile, SecondCopyGivesOnlyItsFolderDiskList) {
  TProjectFile copy = Sample(109);
  copy.FolderDisks = {{"MOVIE", 3}};
  TKtMemoryStream s;
  WriteProjectFile(s, copy);
  s.SetPosition(0);
  TFolderDiskList list = {{"OLD", 1}};
  ASSERT_TRUE(ReadProjectFolderDisks(s, list));
  EXPECT_EQ(list, (TFolderDiskList{{"MOVIE", 3}}));
}

std::string Bytes(const TProjectFile& p) {
  TKtMemoryStream s;
  WriteProjectFile(s, p);
  return s.Data();
}

TEST(ProjectSource, DescribesEveryField) {
  TProjectFile p = source::ParseProjectSource(
      "\xEF\xBB\xBF# the game\n"
      "name \"ゲーム\"\nscreen 800 600\ndisplay 3 -4\nstart \"start.nsb\"\nexit \"exit.nsb\"\n"
      "settings \"Key\"\nimagekey 77\nwritestatus 0\nsleep 1\nmedia \".ogg\"\n"
      "diskprompt \"insert %d\"\nquittext \"bye\"\n"
      "status int \"i\" 5\nstatus real \"r\" 2.5\nstatus flag \"f\" 1\nstatus str \"s\" \"txt\"\nstatus 9 \"odd\"\n"
      "disk \"CG\" 2\ndisk \"BGM\" 0\n",
      "project.nsp");
  TProjectFile expected = Sample(112);
  expected.Name = Utf8ToSjis("ゲーム");
  EXPECT_EQ(Bytes(p), Bytes(expected));
  // What disasm prints describes the same file, for every version.
  for (int32_t v : {103, 105, 110, 112}) {
    TProjectFile old = Sample(v);
    old.StatusVars[1].FloatValue = 0.1L;
    TProjectFile back = source::ParseProjectSource(source::FormatProjectSource(old), "p.nsp");
    EXPECT_EQ(Bytes(back), Bytes(old)) << v;
  }
}

TEST(ProjectSource, ErrorsPointAtTheLine) {
  struct Case {
    std::string text, message;
  } cases[] = {
      {"name \"x\"\nscreen 1\n", "p.nsp:2: screen takes 2 value(s)"},
      {"colour 3\n", "p.nsp:1: unknown project setting 'colour'"},
      {"status int \"x\"\n", "p.nsp:1: status takes 3 value(s)"},
      {"version 105\nexit \"e.nsb\"\n", "p.nsp:2: this setting needs project version 110 or later"},
  };
  for (const Case& c : cases) {
    try {
      source::ParseProjectSource(c.text, "p.nsp");
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const source::TBuildError& e) {
      EXPECT_EQ(e.Text(), c.message);
    }
  }
}

}  // namespace
}  // namespace nova
