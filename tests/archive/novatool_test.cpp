// novatool's archive commands end to end: pack in every layout, list, cat, extract.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "archive_test_util.h"

namespace nova::test {
namespace {

// novatool of this build: from NOVA_BINARY_DIR, else two folders above this test program.
std::string Tool() {
  std::string path = BinaryDir() + "/novatool";
  if (std::filesystem::exists(path)) return path;
  std::error_code ec;
  auto self = std::filesystem::canonical("/proc/self/exe", ec);
  path = (self.parent_path().parent_path().parent_path() / "novatool").string();
  return !ec && std::filesystem::exists(path) ? path : std::string();
}

int Shell(const std::string& command) { return WEXITSTATUS(std::system((command + " 2>/dev/null").c_str())); }

TEST(Novatool, PackListCatExtract) {
  std::string tool = Tool();
  if (tool.empty()) GTEST_SKIP() << "novatool is not built in " << BinaryDir();
  TempDir dir;
  WriteFile(dir / "src/nova.npb", TextBytes(2000));
  WriteFile(dir / "src/ソース/テキスト.txt", "so");
  WriteFile(dir / "src/bgm/a.ogg", NoiseBytes(3000));
  WriteFile(dir / "stub.exe", "MZ stub");
  const struct {
    const char* options;
    const char* archive;
    const char* oggKind;  // media is stored as is where the directory can say so
  } layouts[] = {
      {"--version 0", "v0.dat", "compressed"}, {"--version 100", "v100.dat", "compressed"},
      {"--version 101", "v101.dat", "stored"}, {"", "v102.dat", "stored"},
      {"--ext", "side.dat", "stored"},         {"--exe ", "game.exe", "stored"},
  };
  for (const auto& l : layouts) {
    std::string options = l.options;
    if (options == "--exe ") options += dir / "stub.exe";
    std::string archive = dir / l.archive;
    ASSERT_EQ(Shell(tool + " pack " + dir / "src" + " -o " + archive + " " + options), 0) << l.archive;
    TVrFileManager fm(false);
    fm.AddArchiveFile(archive);
    TKtMemoryStream m;
    fm.ReadFile(m, Sj("ソース\\テキスト.txt"));
    EXPECT_EQ(m.Data(), "so") << l.archive;
    fm.ReadFile(m, "BGM\\A.OGG");
    EXPECT_EQ(m.Data(), NoiseBytes(3000)) << l.archive;

    ASSERT_EQ(Shell(tool + " list " + archive + " > " + dir / "list.txt"), 0);
    std::string list = ReadFile(dir / "list.txt");
    EXPECT_NE(list.find("ソース\\テキスト.txt"), std::string::npos) << list;
    EXPECT_NE(list.find(std::string(l.oggKind) + "  "), std::string::npos) << list;
    EXPECT_NE(list.find("bgm\\a.ogg"), std::string::npos) << list;
    ASSERT_EQ(Shell(tool + " cat " + archive + " 'ソース/テキスト.txt' > " + dir / "cat.bin"), 0);
    EXPECT_EQ(ReadFile(dir / "cat.bin"), "so");
    std::filesystem::remove_all(dir / "out");
    ASSERT_EQ(Shell(tool + " extract " + archive + " " + dir / "out"), 0);
    EXPECT_EQ(ReadFile(dir / "out/nova.npb"), TextBytes(2000));
    EXPECT_EQ(ReadFile(dir / "out/ソース/テキスト.txt"), "so");
  }
  EXPECT_NE(Shell(tool + " cat " + dir / "v102.dat" + " none.txt"), 0);
  EXPECT_NE(Shell(tool + " list " + dir / "missing.dat"), 0);
  EXPECT_NE(Shell(tool + " pack " + dir / "src" + " -o " + dir / "x.dat --version 7"), 0);
}

TEST(Novatool, ExtractRefusesEscapingNames) {
  std::string tool = Tool();
  if (tool.empty()) GTEST_SKIP() << "novatool is not built in " << BinaryDir();
  TempDir dir;
  WriteFile(dir / "evil.dat", ArchiveBytes({{"..\\escaped.txt", "x"}, {"c:\\drive.txt", "y"}, {"ok.txt", "z"}}));
  EXPECT_NE(Shell(tool + " extract " + dir / "evil.dat" + " " + dir / "out"), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "escaped.txt"));
  EXPECT_EQ(ReadFile(dir / "out/ok.txt"), "z");
}

}  // namespace
}  // namespace nova::test
