// SaveScreen: the displayed or the back screen as a one-frame layered image, scaled when asked,
// into an in-memory file, into "save.dat" too, or below the game's folder (recorded as written
// or in "install.dat" when asked); names of other kinds and sizes below 1 write nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <span>

#include "archive/install_set.h"
#include "formats/brios.h"
#include "saves/save_file.h"
#include "saves/save_screen.h"
#include "saves_fixture.h"

namespace nova::test {
namespace {

namespace fs = std::filesystem;

// The first frame of a layered image: size and the colour (0x00BBGGRR) at two points.
struct Shot {
  int32_t width = 0, height = 0;
  uint32_t topLeft = 0, centre = 0;
};

Shot Decode(const std::string& bytes) {
  TBrioFrameList list;
  list.LoadFromBytes(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), "shot");
  TBrioFrame& f = list.Frame(0);
  TDIBX& s = *f.Surface;
  auto colour = [&](int x, int y) {
    uint32_t p = s.GetPixel(x, y);  // 0x00RRGGBB
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
  };
  return Shot{f.Width, f.Height, colour(0, 0), colour(f.Width / 2, f.Height / 2)};
}

class SaveScreenTest : public ::testing::Test {
protected:
  void SetUp() override {
    FreshFileManager();
    FrameClock() = TFrameClock{};
    RegisterProject("start.nsb");
    RegisterPage("start.nsb", "Wait {} {} {}\n");
    FileManager().SetBaseFolder(dir.Path());
    game = std::make_unique<SavesGame>(dir.Path());
    // The displayed screen: black with a red box in the middle; the back screen blue.
    SceneFixture& f = game->scene;
    f.scene.Displayed().SetColor(0x000000);
    f.Box("red", 16, 12, 32, 24, nullptr, 0x0000FF);
    f.scene.BackScreen().SetColor(0xFF0000);
    f.scene.BackScreen().SetVisible(true);
    f.Frame();
    services.Scene = &f.scene;
    services.Files = &FileManager();
    services.StoreInSaveFile = [this](const std::string& name, const std::string& bytes) {
      game->saves->StoreFile(name, bytes);
    };
    services.DropCachedImage = [this](const std::string& name) { dropped.push_back(name); };
    services.WrittenFiles = &written;
  }
  std::string MemoryFile(const std::string& name) {
    TKtMemoryStream m;
    FileManager().ReadFile(m, name);
    return m.Data();
  }

  TempDir dir;
  std::unique_ptr<SavesGame> game;
  TSaveScreenServices services;
  std::vector<std::string> dropped;
  std::vector<fs::path> written;
};

TEST_F(SaveScreenTest, ScreensIntoMemoryScaledOrNot) {
  struct Case {
    const char* name;
    int32_t width, height;
    bool useBack;
    Shot expected;
  } cases[] = {
      {"mem:shot.bri", 0, 0, false, {64, 48, 0x000000, 0x0000FF}},
      {"MEM:small.BRI", 32, 24, false, {32, 24, 0x000000, 0x0000FF}},
      {"mem:wide.bri", 128, 0, false, {128, 48, 0x000000, 0x0000FF}},
      {"mem:back.bri", 0, 0, true, {64, 48, 0xFF0000, 0xFF0000}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SaveScreen(services, c.name, c.width, c.height, c.useBack, 0)) << c.name;
    Shot s = Decode(MemoryFile(c.name));
    EXPECT_EQ(s.width, c.expected.width) << c.name;
    EXPECT_EQ(s.height, c.expected.height) << c.name;
    EXPECT_EQ(s.topLeft, c.expected.topLeft) << c.name;
    EXPECT_EQ(s.centre, c.expected.centre) << c.name;
  }
  EXPECT_EQ(dropped.size(), 4u);
  // An existing in-memory file is written over.
  ASSERT_TRUE(SaveScreen(services, "mem:shot.bri", 0, 0, true, 0));
  EXPECT_EQ(Decode(MemoryFile("mem:shot.bri")).centre, 0xFF0000u);
  EXPECT_FALSE(fs::exists(dir / "save.dat"));
}

TEST_F(SaveScreenTest, SaveNamesGoIntoTheSaveFileToo) {
  ASSERT_TRUE(SaveScreen(services, "save:thumb1.bri", 16, 12, false, 0));
  const std::string bytes = MemoryFile("save:thumb1.bri");
  EXPECT_EQ(Decode(bytes).width, 16);
  TSaveFile file(dir / "save.dat");
  file.Open();
  TKtMemoryStream stored;
  ASSERT_TRUE(file.Read("save:thumb1.bri", stored));
  EXPECT_EQ(stored.Data(), bytes);
  // The next run finds it among the game's files.
  game.reset();
  FreshFileManager();
  RegisterProject("start.nsb");
  RegisterPage("start.nsb", "Wait {} {} {}\n");
  SavesGame next(dir.Path());
  EXPECT_EQ(MemoryFile("save:thumb1.bri"), bytes);
}

TEST_F(SaveScreenTest, FilesBelowTheGameFolderRecordedAsAsked) {
  fs::create_directories(dir / "Shots");
  WriteFile(dir / "install.dat", [] {
    TNovaInstallSet set;
    set.ProjectName = "saves";
    TKtMemoryStream m;
    set.Save(m);
    return m.Data();
  }());
  ASSERT_TRUE(SaveScreen(services, "shots\\a.bri", 0, 0, false, 1));
  ASSERT_TRUE(SaveScreen(services, "shots\\a.bri", 0, 0, false, 1));
  ASSERT_TRUE(SaveScreen(services, "b.bri", 8, 6, false, 2));
  EXPECT_EQ(Decode(ReadFile(dir / "Shots/a.bri")).centre, 0x0000FFu);
  EXPECT_EQ(Decode(ReadFile(dir / "b.bri")).width, 8);
  EXPECT_EQ(written, std::vector<fs::path>{fs::path(dir / "Shots/a.bri")});
  TNovaInstallSet set;
  set.LoadFromFile(dir / "install.dat");
  EXPECT_EQ(set.Files, std::vector<std::string>{"b.bri"});
  // A folder that is not there cannot be written into: the expression ends with that error.
  EXPECT_NE(ErrorOf([&] { SaveScreen(services, "none\\c.bri", 0, 0, false, 0); }), "(no error)");
}

TEST_F(SaveScreenTest, WhatWritesNothing) {
  struct Case {
    const char* name;
    int32_t width, height;
  } cases[] = {{"mem:shot.png", 0, 0}, {"mem:shot", 0, 0}, {"mem:neg.bri", -5, 0}, {"mem:neg.bri", 0, -1}};
  for (const Case& c : cases) {
    EXPECT_FALSE(SaveScreen(services, c.name, c.width, c.height, false, 0)) << c.name;
    EXPECT_FALSE(FileManager().Exists(c.name)) << c.name;
  }
  FileManager().SetBaseFolder(dir / "not-there");
  EXPECT_FALSE(SaveScreen(services, "mem:shot.bri", 0, 0, false, 0));
  EXPECT_TRUE(dropped.empty());
}

}  // namespace
}  // namespace nova::test
