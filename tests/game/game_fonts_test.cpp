// Fonts a game ships are handed to the rasteriser at start.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/vrfile_collection.h"
#include "archive/vrfiles.h"
#include "game/game_fonts.h"
#include "platform/headless_fonts.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

TEST(GameFonts, FontFilesOfTheArchivesAreAdded) {
  const std::filesystem::path ipa = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";
  if (!std::filesystem::exists(ipa)) GTEST_SKIP() << "no IPA font file to ship";
  ResetFileManager(false);
  FileManager().AddMemoryArchive();
  TVrFileCollection* memory = FileManager().Archive(0);
  memory->AddMemoryFile("fonts\\Game.TTF")->Memory->Assign(ReadFile(ipa));
  memory->AddMemoryFile("broken.otf")->Memory->Assign("not a font");
  memory->AddMemoryFile("readme.txt")->Memory->Assign("text");
  THeadlessFontRasterizer fonts;
  ASSERT_EQ(fonts.FindFace("IPAGothic"), nullptr);
  EXPECT_EQ(AddGameFonts(FileManager(), fonts), 1);  // the broken file adds nothing
  EXPECT_NE(fonts.FindFace("IPAGothic"), nullptr);
  ResetFileManager(false);
}

}  // namespace
}  // namespace nova::test
