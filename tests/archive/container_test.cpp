// The one game-container probe: folders, archive files and executables whatever their names.
#include <gtest/gtest.h>

#include "archive/game_container.h"
#include "archive_test_util.h"

namespace nova::test {
namespace {

std::string Le32(uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

// An executable stub with the archive appended and the "nv" trailer.
std::string WithAppendedArchive(const std::string& head, const std::string& archive) {
  return head + archive + Le32(static_cast<uint32_t>(head.size())) + "nv";
}

TEST(GameContainer, ProbeDecidesOnceWhatAPathHolds) {
  TempDir dir;
  std::string archive = ArchiveBytes({{"x.txt", "x"}});
  WriteFile(dir / "game.dat", archive);
  WriteFile(dir / "play.exe", WithAppendedArchive("MZ" + std::string(62, '\0'), archive));
  WriteFile(dir / "game.bin", WithAppendedArchive("MZ" + std::string(62, '\0'), archive));  // renamed executable
  WriteFile(dir / "player", WithAppendedArchive("\x7f" "ELF" + std::string(60, '\0'), archive));
  WriteFile(dir / "plain.exe", "MZ" + std::string(62, '\0'));
  // A game.dat whose data happens to end in "nv" is still an archive file.
  WriteFile(dir / "nv.dat", ArchiveBytes({{"n.txt", "ends in nv"}}));
  struct Case {
    const char* name;
    TContainerKind kind;
    bool appended;
  } cases[] = {
      {"game.dat", TContainerKind::ArchiveFile, false}, {"play.exe", TContainerKind::Executable, true},
      {"game.bin", TContainerKind::Executable, true},   {"player", TContainerKind::Executable, true},
      {"plain.exe", TContainerKind::Executable, false}, {"nv.dat", TContainerKind::ArchiveFile, false},
  };
  for (const Case& c : cases) {
    std::optional<TGameContainer> probe = ProbeGameContainer(dir / c.name);
    ASSERT_TRUE(probe) << c.name;
    EXPECT_EQ(probe->Kind, c.kind) << c.name;
    EXPECT_EQ(probe->AppendedArchive, c.appended) << c.name;
    EXPECT_FALSE(probe->ResourceArchive) << c.name;
  }
  EXPECT_EQ(ProbeGameContainer(dir.Path())->Kind, TContainerKind::Folder);
  EXPECT_FALSE(ProbeGameContainer(dir / "missing"));
  // Each container opens as the archive it holds, the renamed executable too.
  for (const char* name : {"game.dat", "play.exe", "game.bin", "player"}) {
    std::unique_ptr<TVrFileCollection> c = OpenArchiveOf(dir / name);
    TKtMemoryStream m;
    c->ReadEntry("x.txt", m);
    EXPECT_EQ(m.Data(), "x") << name;
  }
  EXPECT_NE(ErrorOf([&] { OpenArchiveOf(dir / "plain.exe"); }).find("carries no game archive"), std::string::npos);
  EXPECT_NE(ErrorOf([&] { OpenArchiveOf(dir.Path()); }).find("no such archive"), std::string::npos);
}

}  // namespace
}  // namespace nova::test
