// The sections other subsystems own, as the save code walks over them: every version form of
// the history, the read list and the data tables, built byte by byte; damaged ones raise.
#include <gtest/gtest.h>

#include <functional>

#include "base/error.h"
#include "saves/section_forms.h"
#include "save_bytes.h"
#include "support/test_support.h"

namespace nova::test {
namespace {

TEST(SectionForms, HistoryOfEveryVersion) {
  struct Case {
    int32_t version;
    int32_t rowPages, rows;
  } cases[] = {{107, 0, 0}, {112, 0, 0}, {113, 1, 2}, {123, 1, 2}, {124, 1, 2}, {134, 1, 2}};
  for (const Case& c : cases) {
    TKtMemoryStream s;
    WriteOldHistory(s, c.version);
    s.WriteBytes("END");
    s.SetPosition(0);
    THistorySummary sum = ScanHistory(s, c.version);
    EXPECT_EQ(sum.Formats, 1) << c.version;
    EXPECT_EQ(sum.References, 2) << c.version;
    EXPECT_EQ(sum.RowPages, c.rowPages) << c.version;
    EXPECT_EQ(sum.Rows, c.rows) << c.version;
    EXPECT_EQ(s.ReadBytes(3), "END") << c.version;  // exactly the section was read
  }
  // From 135 the formats come with their names and settings.
  TKtMemoryStream s;
  Ints(s, {2});
  for (const char* name : {"", "wide"}) {
    s.WriteString(name);
    Ints(s, {16, 1, 1, 400, 300, 2});
    WriteOldHistory(s, 138);
  }
  s.SetPosition(0);
  THistorySummary sum = ScanHistory(s, 138);
  EXPECT_EQ(sum.Formats, 2);
  EXPECT_EQ(sum.References, 4);
  EXPECT_EQ(sum.Rows, 4);
  EXPECT_EQ(s.Remaining(), 0);
}

TEST(SectionForms, EmptyFormsReadBackAsEmpty) {
  TKtMemoryStream s;
  WriteEmptyHistory(s);
  WriteEmptyReadMarks(s);
  WriteEmptyTables(s, false);
  WriteEmptyTables(s, true);
  s.SetPosition(0);
  THistorySummary h = ScanHistory(s, 138);
  EXPECT_EQ(h.Formats, 1);
  EXPECT_EQ(h.References + h.RowPages, 0);
  EXPECT_EQ(ScanReadMarks(s, 103).Keys, 0);
  TTableSummary game = ScanTables(s, false);
  EXPECT_EQ(game.Version, 100);
  EXPECT_TRUE(game.Names.empty());
  EXPECT_TRUE(ScanTables(s, true).Names.empty());
  EXPECT_EQ(s.Remaining(), 0);
}

TEST(SectionForms, ReadMarksBeforeVersion100HoldNothing) {
  TKtMemoryStream s;
  Ints(s, {1});
  s.WriteString("a.nsb");
  Ints(s, {2, 4, 5, 0, 1});
  s.WriteString("b.nsb");
  Ints(s, {7, 0});
  s.WriteString("box");
  s.SetPosition(0);
  EXPECT_EQ(ScanReadMarks(s, 99).Keys, 0);
  EXPECT_EQ(s.Position(), 0);
  TReadMarkSummary sum = ScanReadMarks(s, 100);
  EXPECT_EQ(sum.Keys, 1);
  EXPECT_EQ(sum.Marks, 2);
  EXPECT_EQ(s.Remaining(), 0);
}

TEST(SectionForms, TablesWithRecordsAndTheActiveName) {
  TKtMemoryStream s;
  Ints(s, {100, 1});
  s.WriteByte(0);
  s.WriteString("items");
  s.WriteByte(0);
  Ints(s, {2, 4});
  s.WriteString("n");
  s.WriteByte(1);
  s.WriteInt32(11);
  s.WriteString("s");
  s.WriteByte(4);
  s.WriteInt32(3);                               // three records of 15 bytes
  s.WriteBytes(std::string(45, 'r'));
  s.WriteInt32(2);                               // RecNo
  s.WriteString("items");                        // active
  s.SetPosition(0);
  TTableSummary sum = ScanTables(s, false);
  EXPECT_EQ(sum.Names, std::vector<std::string>{"items"});
  EXPECT_EQ(sum.Records, 3);
  EXPECT_EQ(sum.Active, "items");
  EXPECT_EQ(s.Remaining(), 0);
}

TEST(SectionForms, DamagedSectionsRaise) {
  struct Case {
    const char* what;
    std::function<void(TStream&)> write;
    std::function<void(TStream&)> scan;
  } cases[] = {
      {"history cut short", [](TStream& s) { WriteOldHistory(s, 130); s.SetSize(s.Size() - 3); },
       [](TStream& s) { ScanHistory(s, 130); }},
      {"history count beyond the data", [](TStream& s) { Ints(s, {1000000}); },
       [](TStream& s) { ScanHistory(s, 138); }},
      {"read marks cut short", [](TStream& s) { Ints(s, {1}); s.WriteString("a.nsb"); Ints(s, {5}); },
       [](TStream& s) { ScanReadMarks(s, 103); }},
      {"table records beyond the data", [](TStream& s) {
         Ints(s, {100, 1}); s.WriteByte(0); s.WriteString("t"); s.WriteByte(1);
         Ints(s, {1, 4}); s.WriteString("n"); s.WriteByte(1); Ints(s, {1000, 0}); },
       [](TStream& s) { ScanTables(s, true); }},
      {"negative field size", [](TStream& s) {
         Ints(s, {100, 1}); s.WriteByte(0); s.WriteString("t"); s.WriteByte(1);
         Ints(s, {1, -4}); s.WriteString("n"); s.WriteByte(1); Ints(s, {0, 0}); },
       [](TStream& s) { ScanTables(s, true); }},
  };
  for (const Case& c : cases) {
    TKtMemoryStream s;
    c.write(s);
    s.SetPosition(0);
    EXPECT_NE(ErrorOf([&] { c.scan(s); }), "(no error)") << c.what;
  }
}

}  // namespace
}  // namespace nova::test
