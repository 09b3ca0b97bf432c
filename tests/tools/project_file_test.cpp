// "nova.npb": every field by version, and the folder-disk list of a second copy.
#include <gtest/gtest.h>

#include "base/stream.h"
#include "scenario/project_file.h"

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

}  // namespace
}  // namespace nova
