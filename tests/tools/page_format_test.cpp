// The page byte format: version branches, code bytes, property-set records, lenient reading.
#include <gtest/gtest.h>

#include "base/encoding.h"
#include "base/error.h"
#include "base/stream.h"
#include "scenario/commands_flow.h"
#include "scenario/page_format.h"

namespace nova {
namespace {

const std::string kEmptyExpr(4, '\0');

// Hand-made page bytes.
struct TPageBytes {
  TKtMemoryStream S;
  TPageBytes(int32_t version, uint8_t resultType, const std::vector<std::string>& propRecords, int32_t recSize) {
    S.WriteInt32(version);
    S.WriteByte(resultType);
    S.WriteInt32(static_cast<int32_t>(propRecords.size()));
    S.WriteInt32(recSize);
    for (const std::string& r : propRecords) S.WriteBytes(r);
  }
  void Header(uint8_t code, int32_t indent = 0, uint8_t commented = 0, uint8_t cont = 1, int32_t line = 1) {
    S.WriteByte(code);
    S.WriteInt32(indent);
    S.WriteByte(commented);
    S.WriteByte(cont);
    S.WriteInt32(line);
  }
  void Exprs(int n) {
    for (int i = 0; i < n; ++i) S.WriteBytes(kEmptyExpr);
  }
};

std::vector<std::string> ZeroRecords(int n = kCommandCount, int size = kPropSetBytes) {
  return std::vector<std::string>(static_cast<size_t>(n), std::string(static_cast<size_t>(size), '\0'));
}

std::string Rewrite(const TPageFile& page) {
  TKtMemoryStream out;
  WritePageFile(out, page);
  return out.Data();
}

TPageFile Read(const std::string& bytes) {
  TKtMemoryStream s(bytes);
  TPageFile page;
  ReadPageFile(s, page);
  return page;
}

TEST(PageFormat, VersionBranches) {
  struct Case {
    int32_t version;
    size_t commands;
  } cases[] = {{112, 1}, {103, 1}, {113, 0}};
  for (const Case& c : cases) {
    TPageBytes b(c.version, 2, ZeroRecords(), kPropSetBytes);
    b.S.WriteInt32(1);
    b.Header(14);  // Calc
    b.Exprs(1);
    TPageFile page = Read(b.S.Data());
    EXPECT_EQ(page.Version, c.version);
    EXPECT_EQ(page.Commands.size(), c.commands) << c.version;
    EXPECT_EQ(Rewrite(page), b.S.Data()) << c.version;
  }
}

TEST(PageFormat, FieldsFollowThePageVersion) {
  struct Case {
    int code;
    int32_t version;
    size_t fields;
  } cases[] = {{7, 106, 2},  {7, 107, 3},  {13, 100, 8}, {13, 101, 9}, {13, 107, 10}, {38, 104, 3},
               {38, 105, 4}, {57, 107, 6}, {57, 108, 7}, {58, 110, 1}, {58, 111, 2},  {29, 111, 5}};
  for (const Case& c : cases) {
    size_t n = 0;
    for (const TFieldLayout& f : CommandLayout(c.code).Fields) n += (f.MinVersion == 0 || c.version >= f.MinVersion);
    EXPECT_EQ(n, c.fields) << CommandLayout(c.code).Name << " v" << c.version;
  }
}

TEST(PageFormat, OnlyTheLowSevenBitsOfTheCodeCount) {
  TPageBytes b(112, 1, ZeroRecords(), kPropSetBytes);
  b.S.WriteInt32(1);
  b.Header(0x85, 2, 0, 1, 9);
  b.S.WriteString("sub.nsb");
  b.S.WriteInt32(3);
  b.S.WriteString("r");
  b.Exprs(1);
  b.S.WriteInt32(2);  // two arguments
  b.Exprs(2);
  TPageFile page = Read(b.S.Data());
  ASSERT_EQ(page.Commands.size(), 1u);
  const TCommandRecord& r = page.Commands[0];
  EXPECT_EQ(r.Code(), 5);
  EXPECT_NE(dynamic_cast<TComCall*>(CreateCommand(nullptr, r.Code()).get()), nullptr);
  EXPECT_EQ(r.Indent, 2);
  EXPECT_EQ(r.Line, 9);
  ASSERT_EQ(r.Fields.size(), 5u);
  EXPECT_EQ(r.Fields[0].Str, "sub.nsb");
  EXPECT_EQ(r.Fields[1].Int, 3);
  EXPECT_EQ(r.Fields[2].Str, "r");
  EXPECT_EQ(r.Fields[4].Exprs.size(), 2u);
  EXPECT_EQ(Rewrite(page), b.S.Data());
}

TEST(PageFormat, PropertySetsDecideWhatAComponentRecordCarries) {
  // BoxNew (8) with no bits: header only; ImgNew (9) with PR_LEFT and PR_TOP: two expressions.
  std::vector<std::string> records = ZeroRecords();
  records[9][0] = 0x18;  // ids 3 and 4
  TPageBytes b(112, 1, records, kPropSetBytes);
  b.S.WriteInt32(3);
  b.Header(8);
  b.Header(9);
  b.Exprs(2);
  b.Header(14);
  b.Exprs(1);
  TPageFile page = Read(b.S.Data());
  ASSERT_EQ(page.Commands.size(), 3u);
  EXPECT_EQ(page.Commands[2].Code(), 14);  // the BoxNew record took no bytes after its header
  const TFieldValue& props = page.Commands[1].Fields[0];
  for (int id = 0; id < kPropertyCount; ++id) EXPECT_EQ(props.Props[static_cast<size_t>(id)] != nullptr, id == 3 || id == 4);
  EXPECT_EQ(Rewrite(page), b.S.Data());
}

TEST(PageFormat, LongPropertySetRecordsKeepTwentyOneBytesAndWriteBackWhole) {
  std::vector<std::string> records = ZeroRecords(63, 25);
  records[8][0] = 0x01;                     // PR_NAME for BoxNew
  records[8][21] = static_cast<char>(0xFF);  // past the slot: ignored by the loader
  records[62][0] = 0x7F;                    // past code 60: skipped
  TPageBytes b(112, 1, records, 25);
  b.S.WriteInt32(1);
  b.Header(8);
  b.Exprs(1);
  TPageFile page = Read(b.S.Data());
  EXPECT_EQ(page.PropSetRecordSize, 25);
  ASSERT_EQ(page.PropSetRecords.size(), 63u);
  EXPECT_TRUE(PropSetHas(page.PropSets[8], 0));
  EXPECT_FALSE(PropSetHas(page.PropSets[8], 1));
  ASSERT_EQ(page.Commands.size(), 1u);
  EXPECT_EQ(Rewrite(page), b.S.Data());
}

TEST(PageFormat, ACodeAbove60IsRefused) {
  TPageBytes b(112, 1, ZeroRecords(), kPropSetBytes);
  b.S.WriteInt32(1);
  b.Header(61);
  try {
    Read(b.S.Data());
    FAIL() << "no error";
  } catch (const ENovaError& e) {
    EXPECT_EQ(e.Message(), Utf8ToSjis("不正なコマンド"));
  }
}

TEST(PageFormat, TruncatedDataReadsAsEmpty) {
  TPageBytes b(112, 1, ZeroRecords(), kPropSetBytes);
  b.S.WriteInt32(1000000);  // far more commands than present
  b.Header(4);              // a Jump whose fields are cut off
  b.S.WriteInt32(100);      // a page name that claims more bytes than remain
  b.S.WriteBytes("ab");
  TPageFile page = Read(b.S.Data());
  ASSERT_EQ(page.Commands.size(), 1u);
  EXPECT_EQ(page.Commands[0].Fields[0].Str, "ab");
  EXPECT_EQ(page.Commands[0].Fields[1].Int, 0);
  EXPECT_TRUE(page.Commands[0].Fields[2].Expr->Empty());
}

TEST(PageFormat, LayoutsNamesAndForcedFlags) {
  EXPECT_EQ(FindCommandByName("LoadCabinet"), 60);
  EXPECT_EQ(FindCommandByName("nothing"), -1);
  EXPECT_EQ(std::string(CommandLayout(3).JapaneseName), Utf8ToSjis("ラベル"));
  EXPECT_EQ(std::string(CommandLayout(60).JapaneseName), Utf8ToSjis("キャビネット復帰"));
  const int forcedOn[] = {2, 32}, forcedOff[] = {27, 38, 39, 46};
  for (int c : forcedOn) EXPECT_EQ(CommandLayout(c).ForcedContinue, 1) << c;
  for (int c : forcedOff) EXPECT_EQ(CommandLayout(c).ForcedContinue, 0) << c;
  int forced = 0, props = 0;
  for (int c = 0; c < kCommandCount; ++c) {
    forced += CommandLayout(c).ForcedContinue >= 0;
    props += IsPropertyCommand(c);
    EXPECT_EQ(CommandLayout(c).AlwaysCommentedOut, c == 27);
  }
  EXPECT_EQ(forced, 6);
  EXPECT_EQ(props, 24);
}

}  // namespace
}  // namespace nova
