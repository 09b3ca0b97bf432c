// novatool build and disasm at the command line.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_support.h"

namespace nova {
namespace {

using test::TRun;

TRun Novatool(const test::TempDir& dir, const std::string& args) {
  return test::RunCommand(test::NovatoolCommand() + " " + args, dir);
}

const char kStart[] =
    "VarNew \"n\" int {0}\n"
    "Label \"top\"\n"
    "Calc {n = n + 1}\n"
    "Jump \"start.nsb\" \"top\" {n < 3}\n"
    "Call \"sub.nsb\" \"entry\" \"r\" args=[{n}]\n";

TEST(Novatool, BuildsAFolderAndShowsItsPages) {
  test::TempDir dir;
  test::WriteFile(dir / "src/project.nsp", "name \"t\"\nstart \"start.nsb\"\n");
  test::WriteFile(dir / "src/start.nss", kStart);
  test::WriteFile(dir / "src/sub.nss", ".result str\nCalc {}\nLabel \"entry\"\n");
  test::WriteFile(dir / "src/cg/bg.txt", "asset");
  TRun build = Novatool(dir, "build '" + (dir / "src") + "' -o '" + (dir / "out") + "'");
  ASSERT_EQ(build.Code, 0) << build.Err;
  ASSERT_TRUE(std::filesystem::exists(dir / "out/game.dat"));

  TRun start = Novatool(dir, "disasm '" + (dir / "out/game.dat") + "' start.nsb");
  ASSERT_EQ(start.Code, 0) << start.Err;
  // The label in sub.nsb was resolved to its index; disasm shows that target as a number.
  EXPECT_EQ(start.Out, std::string(kStart).replace(std::string(kStart).find("\"entry\""), 7, "1") +
                           "# start.nsb (disassembled)\n.version 112\n");
  TRun project = Novatool(dir, "disasm '" + (dir / "out/game.dat") + "' nova.npb");
  EXPECT_NE(project.Out.find("start \"start.nsb\"\n"), std::string::npos) << project.Out;
}

TEST(Novatool, ReportsErrorsWithFileAndLine) {
  test::TempDir dir;
  test::WriteFile(dir / "src/project.nsp", "name \"t\"\nstart \"start.nsb\"\nscreen 640\n");
  test::WriteFile(dir / "src/start.nss", "Calc {}\nCalc {x = (}\nJump \"other.nsb\" \"x\"\n");
  TRun build = Novatool(dir, "build '" + (dir / "src") + "' -o '" + (dir / "out") + "'");
  EXPECT_EQ(build.Code, 1);
  EXPECT_NE(build.Err.find("project.nsp:3: screen takes 2 value(s)"), std::string::npos) << build.Err;
  EXPECT_NE(build.Err.find("start.nss:2: expr: 構文エラー"), std::string::npos) << build.Err;
  EXPECT_FALSE(std::filesystem::exists(dir / "out/game.dat"));
}

TEST(Novatool, BuildsAndShowsASinglePage) {
  test::TempDir dir;
  test::WriteFile(dir / "a.nss", "While {i < 2}\n  Calc {i = i + 1}\nTextIns @raw\"\\x82\\xa0\" {\"mes\"}\n");
  TRun build = Novatool(dir, "build '" + (dir / "a.nss") + "' -o '" + (dir / "a.nsb") + "'");
  ASSERT_EQ(build.Code, 0) << build.Err;
  TRun dis = Novatool(dir, "disasm '" + (dir / "a.nsb") + "'");
  EXPECT_EQ(dis.Out,
            "While {i < 2}\n  Calc {i = i + 1}\nTextIns @raw\"あ\" {\"mes\"}\n# a.nsb (disassembled)\n.version 112\n");
  // Markup is compiled into the glyph stream and shown back as markup.
  test::WriteFile(dir / "b.nss", "TextIns \"plain <B>text</B>\" {\"mes\"}\n");
  TRun text = Novatool(dir, "build '" + (dir / "b.nss") + "' -o '" + (dir / "b.nsb") + "'");
  ASSERT_EQ(text.Code, 0) << text.Err;
  TRun shown = Novatool(dir, "disasm '" + (dir / "b.nsb") + "'");
  EXPECT_EQ(shown.Out, "TextIns \"plain <B>text</B>\" {\"mes\"}\n# b.nsb (disassembled)\n.version 112\n");
  test::WriteFile(dir / "c.nss", "TextIns \"<A HREF=>x</A>\"\n");
  TRun bad = Novatool(dir, "build '" + (dir / "c.nss") + "' -o '" + (dir / "c.nsb") + "'");
  EXPECT_EQ(bad.Code, 1);
  EXPECT_EQ(bad.Err, dir / "c.nss" + ":1: text block: <A>タグにHREF値がありません\n");
}

}  // namespace
}  // namespace nova
