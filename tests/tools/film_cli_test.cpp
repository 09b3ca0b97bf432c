// novatool film build and dump at the command line.
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace nova {
namespace {

test::TRun Novatool(const test::TempDir& dir, const std::string& args) {
  return test::RunCommand(test::NovatoolCommand() + " film " + args, dir);
}

TEST(NovatoolFilm, BuildDumpAndBuildAgainGiveTheSameBytes) {
  test::TempDir dir;
  test::WriteFile(dir / "op.txt",
                  "film NovaCinema 106\n"
                  "loop_start 15\n"
                  "track picture\n"
                  "  start 10\n"
                  "  duration 30\n"
                  "  end_pos 100 -20\n"
                  "  end_zoom_x 1.25\n"
                  "  file \"cg\\\\\xe7\x94\xbb.bri\"\n"
                  "track sound 0x84\n"
                  "  parent 0\n"
                  "  file \"se\\\\a.wav\"\n");
  test::TRun build = Novatool(dir, "build '" + (dir / "op.txt") + "' -o '" + (dir / "op.nmt") + "'");
  ASSERT_EQ(build.Code, 0) << build.Err;
  test::TRun dump = Novatool(dir, "dump '" + (dir / "op.nmt") + "'");
  ASSERT_EQ(dump.Code, 0) << dump.Err;
  EXPECT_NE(dump.Out.find("  file                  \"cg\\\\\xe7\x94\xbb.bri\"\n"), std::string::npos) << dump.Out;
  EXPECT_NE(dump.Out.find("track sound 0x84  # 1\n"), std::string::npos) << dump.Out;
  test::WriteFile(dir / "again.txt", dump.Out);
  test::TRun again = Novatool(dir, "build '" + (dir / "again.txt") + "' -o '" + (dir / "again.nmt") + "'");
  ASSERT_EQ(again.Code, 0) << again.Err;
  const std::string bytes = test::ReadFile(dir / "op.nmt");
  EXPECT_EQ(test::ReadFile(dir / "again.nmt"), bytes);
  EXPECT_EQ(bytes.substr(0, 13), "NovaCinema106");
}

TEST(NovatoolFilm, FaultsGoToStandardErrorWithAnExitCode) {
  test::TempDir dir;
  test::WriteFile(dir / "bad.txt", "film NovaMotion 108\ntrack box\n  start_size 10\n");
  test::TRun bad = Novatool(dir, "build '" + (dir / "bad.txt") + "' -o '" + (dir / "bad.nmt") + "'");
  EXPECT_EQ(bad.Code, 1);
  EXPECT_EQ(bad.Err, "novatool film: " + (dir / "bad.txt") + ":3: start_size takes 2 values\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "bad.nmt"));

  test::WriteFile(dir / "not.nmt", "NovaMotion1");
  test::TRun cut = Novatool(dir, "dump '" + (dir / "not.nmt") + "'");
  EXPECT_EQ(cut.Code, 1);
  EXPECT_EQ(cut.Err, "novatool film: " + (dir / "not.nmt") + ": truncated in the version\n");
  EXPECT_EQ(cut.Out, "");

  EXPECT_EQ(Novatool(dir, "dump").Code, 2);
  EXPECT_EQ(Novatool(dir, "build '" + (dir / "bad.txt") + "'").Code, 2);
}

}  // namespace
}  // namespace nova
