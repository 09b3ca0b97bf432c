// The scenario source language: records compiled from snippets, errors, and the
// disassembly -> build round trip.
#include <gtest/gtest.h>

#include <set>

#include <filesystem>
#include <map>

#include "base/encoding.h"
#include "base/stream.h"
#include "scenario/page_format.h"
#include "params/class_properties.h"
#include "params/property_table.h"
#include "scenario/commands_create.h"
#include "authoring/disassembler.h"
#include "authoring/expr_text.h"
#include "authoring/page_compiler.h"
#include "authoring/raw_expr.h"
#include "support/test_support.h"

namespace nova::source {
namespace {

TPageFile Compile(const std::string& text, const std::string& pageName = "p.nsb") {
  TPageFile page;
  CompilePageText(text, "p.nss", pageName, page);
  return page;
}

std::string Bytes(const TPageFile& page) {
  TKtMemoryStream s;
  WritePageFile(s, page);
  return s.Data();
}

std::string BuildError(const std::string& text) {
  try {
    Compile(text);
  } catch (const TBuildError& e) {
    return e.Text();
  }
  return "no error";
}

// Disassembles the page bytes and builds the text again; the bytes must not change.
void ExpectRoundTrip(const std::string& bytes, const std::string& pageName) {
  TKtMemoryStream s(bytes);
  TPageFile page;
  ReadPageFile(s, page);
  std::string text = DisassemblePage(page, pageName);
  TPageFile again;
  try {
    CompilePageText(text, "disasm.nss", pageName, again);
  } catch (const TBuildError& e) {
    FAIL() << e.Text() << "\n" << text;
  }
  EXPECT_EQ(Bytes(again), bytes) << text;
}

TEST(SourceLanguage, LoopIndicesFollowTheStructure) {
  TPageFile p = Compile(
      "WhileInit {i = 0}\n"     // 0
      "While {i < 5}\n"         // 1
      "  If {i == 3}\n"         // 2
      "    Break {}\n"          // 3
      "  Continue {i == 1}\n"   // 4
      "  While {j < 2}\n"       // 5  inner loop without a WhileLoop
      "    Break {j > 0}\n"     // 6
      "  Calc {s = s + i}\n"    // 7
      "WhileLoop {i = i + 1}\n" // 8
      "Break {}\n");            // 9  outside any loop
  ASSERT_EQ(p.Commands.size(), 10u);
  EXPECT_EQ(p.Commands[1].Fields[1].Int, 9);  // While: after its WhileLoop
  EXPECT_EQ(p.Commands[3].Fields[1].Int, 9);  // Break: the loop's end
  EXPECT_EQ(p.Commands[4].Fields[1].Int, 8);  // Continue: the WhileLoop
  EXPECT_EQ(p.Commands[5].Fields[1].Int, 7);  // inner While: after its body
  EXPECT_EQ(p.Commands[6].Fields[1].Int, 7);
  EXPECT_EQ(p.Commands[8].Fields[1].Int, 1);  // WhileLoop: back to its While
  EXPECT_EQ(p.Commands[9].Fields[1].Int, -1);
  EXPECT_EQ(p.Commands[3].Indent, 2);
  EXPECT_EQ(p.Commands[0].Continue, 1);
}

TEST(SourceLanguage, LabelsAndHeaderDefaults) {
  TPageFile p = Compile(
      "# a comment line\n"
      "Label \"top\"\n"
      "Comment \"note\"\n"
      "Jump page=\"P.NSB\" target=\"note\" cond={x > 1}\n"
      "Call \"other.nsb\" 7 \"r\" {} [{1} {\"a\"}]\n"
      "Else\n"
      "DoEvent\n");
  ASSERT_EQ(p.Commands.size(), 6u);
  EXPECT_EQ(p.Commands[0].Line, 2);
  EXPECT_EQ(p.Commands[1].CommentedOut, 1);
  EXPECT_EQ(p.Commands[1].Continue, 0);
  EXPECT_EQ(p.Commands[2].Fields[1].Int, 1);  // the Comment's text is a label too
  EXPECT_FALSE(p.Commands[2].Fields[2].Expr->Empty());
  EXPECT_EQ(p.Commands[3].Fields[1].Int, 7);
  EXPECT_EQ(p.Commands[3].Fields[2].Str, "r");
  EXPECT_TRUE(p.Commands[3].Fields[3].Expr->Empty());
  EXPECT_EQ(p.Commands[3].Fields[4].Exprs.size(), 2u);
  EXPECT_EQ(p.Commands[3].Continue, 1);
  EXPECT_EQ(p.Commands[4].Continue, 1);
  EXPECT_EQ(p.Commands[5].Continue, 0);
}

TEST(SourceLanguage, OptionsOverrideTheHeader) {
  TPageFile p = Compile("Exit {} @continue=0 @line=70 @indent=-2 @commented @code=134\nVarNew \"v\" str {\"x\"} 2\n");
  const TCommandRecord& r = p.Commands[0];
  EXPECT_EQ(r.CodeByte, 134);
  EXPECT_EQ(r.Code(), 6);
  EXPECT_EQ(r.Continue, 0);
  EXPECT_EQ(r.Line, 70);
  EXPECT_EQ(r.Indent, -2);
  EXPECT_EQ(r.CommentedOut, 1);
  EXPECT_EQ(p.Commands[1].Fields[1].Int, 4);  // str
  EXPECT_EQ(p.Commands[1].Fields[3].Int, 2);
}

TEST(SourceLanguage, PropertySetsCarryTheClassAndWhatThePageNames) {
  TPageFile p = Compile(
      "BoxNew PR_LEFT={10} PR_TOP={20}\n"
      "BoxNew PR_COLOR={255} PR_FONTNAME={\"x\"}\n"
      "Button PR_NAME={\"b\"}\n"
      "Cinema PR_SOURCE={\"f.nmt\"}\n");
  // A box carries every property it takes from its command, and what the page names besides.
  for (const char* name : {"PR_NAME", "PR_PARENT", "PR_LEFT", "PR_TOP", "PR_WIDTH", "PR_COLOR", "PR_BORDERCOLOR",
                           "PR_VISIBLE", "PR_ONIDLE", "PR_FONTNAME"})
    EXPECT_TRUE(PropSetHas(p.PropSets[8], FindPropertyByName(name))) << name;
  for (const char* name : {"PR_TEXT", "PR_COMPOTYPE", "PR_ZOOMX"})
    EXPECT_FALSE(PropSetHas(p.PropSets[8], FindPropertyByName(name))) << name;
  // A button takes its size from its picture: an empty width would make it 0 wide.
  EXPECT_TRUE(PropSetHas(p.PropSets[30], FindPropertyByName("PR_HOVERSOURCE")));
  EXPECT_FALSE(PropSetHas(p.PropSets[30], FindPropertyByName("PR_WIDTH")));
  // A cinema takes its size from its film: an empty width and height would make it 0 x 0.
  EXPECT_TRUE(PropSetHas(p.PropSets[23], FindPropertyByName("PR_ONPLAYEND")));
  for (const char* name : {"PR_WIDTH", "PR_HEIGHT"})
    EXPECT_FALSE(PropSetHas(p.PropSets[23], FindPropertyByName(name))) << name;
  EXPECT_FALSE(PropSetHas(p.PropSets[30], FindPropertyByName("PR_FONTNAME")) &&
               PropSetHas(p.PropSets[9], FindPropertyByName("PR_FONTNAME")));
  const TPropSet none{};
  EXPECT_EQ(p.PropSets[9], none) << "no ImgNew on the page";
  ASSERT_EQ(p.PropSetRecords.size(), 61u);
  // The second BoxNew carries the set's ids; those it does not give are empty.
  const auto& props = p.Commands[1].Fields[0].Props;
  EXPECT_TRUE(props[3] && props[3]->Empty());
  EXPECT_FALSE(props[8]->Empty());
  EXPECT_EQ(FindPropertyByName("PR_REPEATPOS"), 162);
  EXPECT_STREQ(PropertyName(47), "PR_VISIBLE");
}

TEST(SourceLanguage, ErrorsPointAtFileAndLine) {
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"Calc {x = 1}\nFrobnicate {}\n", "p.nss:2: unknown command 'Frobnicate'"},
      {"If {a}\n   Calc {}\n", "p.nss:2: indentation must be a multiple of two spaces"},
      {"Jump page=\"p.nsb\" target=\"nowhere\"\n", "p.nss:1: label \"nowhere\" not found in page \"p.nsb\""},
      {"Jump page=\"q.nsb\" target=\"x\"\n",
       "p.nss:1: label \"x\": page \"q.nsb\" is not part of this build; give the index as a number"},
      {"\nTextIns \"<A>link\"\n", "p.nss:2: text block: <A>タグにHREF値がありません"},
      {"TextIns {x}\n", "p.nss:1: text takes marked-up text \"...\" or a raw text block @raw\"...\""},
      {"Calc {x = = 1}\n", "p.nss:1: expr: 構文エラー in {x = = 1}"},
      {".version 106\nWait {} {} {}\n", "p.nss:2: too many values for Wait"},
      {".version 106\nWait block={1}\n", "p.nss:2: field 'block' needs page version 107 or later"},
      {"Calc PR_LEFT={1}\n", "p.nss:1: Calc carries no properties"},
      {"BoxNew PR_LEFTY={1}\n", "p.nss:1: unknown property 'PR_LEFTY'"},
      {"Calc {x = \"a}\n", "p.nss:1: a string inside braces is not closed"},
      {".propset 8 00\nBoxNew PR_LEFT={1}\n", "p.nss:2: PR_LEFT is not in the page's property set for BoxNew"},
  };
  for (const Case& c : cases) EXPECT_EQ(BuildError(c.text), c.expected);
}

TEST(SourceLanguage, ExpressionsShowAsTextWhenTheyRecompileToTheSameBytes) {
  const char* texts[] = {"x = 1", "x = (a + 1) * b", "a[i + 1] == 3", "s = \"a\\\"b\" ++ IntToStr(Length(t))",
                         "x = a - b - c", "f = TRUE", "r = 2.5", "x = 0 - y", "a[1, j] = 4", "こんにちは = 1"};
  for (const char* t : texts) {
    std::string bytes = CompileExprText(Utf8ToSjis(t));
    EXPECT_EQ(FormatExprSource(bytes), std::string("{") + t + "}") << t;
  }
}

TEST(SourceLanguage, RawExpressionsKeepEveryByte) {
  // Forms no text compiles to: a negative constant, an odd flag byte, a bare real, odd names.
  std::string err;
  auto raw = ParseRawExpr(
      "ocPlus ____7 = -5, real:0000000000000080FF3F; ocTo $\"a b\" = flag:7, \"\\x81\"; ocFunc ____1 = #3, x; "
      "op30 $\"\" =",
      err);
  ASSERT_TRUE(raw) << err;
  std::string bytes = ExprBytes(*raw);
  std::string shown = FormatExprSource(bytes);
  ASSERT_EQ(shown.rfind("@raw{", 0), 0u) << shown;
  auto back = ParseRawExpr(shown.substr(5, shown.size() - 6), err);
  ASSERT_TRUE(back) << err;
  EXPECT_EQ(ExprBytes(*back), bytes);
}

TEST(SourceLanguage, OddPagesRoundTrip) {
  // A page written by hand: raw expressions, headers the structure would not give, wrong loop
  // targets, a property expression left empty, a long property-set record, a text block.
  TPageFile p = Compile(
      ".version 108\n"
      ".result str\n"
      ".propsize 23\n"
      ".propcount 62\n"
      ".propset 61 01\n"
      "Calc @raw{ocTo x = -1} @line=0\n"
      "While {i < 3} end=40\n"
      "  Break {} target=2 @commented=5\n"
      "Calc {y = 2} @indent=1000 @continue=3\n"
      "WhileLoop {} target=7\n"
      "TextIns @raw\"\\x81\\x40text\" {\"mes\"} @code=148\n"
      "BoxNew PR_LEFT={} PR_SOURCE={\"a.bri\"}\n"
      "PropMotion {\"m\"} repeat={TRUE}\n"
      "Comment \"c\" @commented=0 @continue=1\n",
      "odd.nsb");
  ExpectRoundTrip(Bytes(p), "odd.nsb");
  // A page newer than the reader, kept as bytes; bits in the record of a command without
  // properties; bytes after the last command; labels that a Comment shadows.
  const char* more[] = {
      ".version 113\n.trailing 0102030405\n",
      ".propset 14 FF\n.trailing 00\nCalc {}\n",
      "Comment \"L\"\nLabel \"L\"\nJump \"odd.nsb\" 1\nJump \"odd.nsb\" \"L\"\nJump \"ODD.NSB\" 5\n",
      ".version 104\nGameSave {1} \"p.nsb\" {\"cap\"}\nFlip {3} {100} param1={1}\n",
  };
  for (const char* text : more) ExpectRoundTrip(Bytes(Compile(text, "odd.nsb")), "odd.nsb");
}

// Every command with every field of its record given by name, in each page version that
// changes a layout: the fields land in the record and the page round-trips.
TEST(SourceLanguage, EveryCommandWithEveryField) {
  for (int32_t version : {100, 104, 107, 112}) {
    std::string text = ".version " + std::to_string(version) + "\n";
    for (int code = 0; code < kCommandCount; ++code) {
      const TCommandLayout& layout = CommandLayout(code);
      text += layout.Name;
      for (const TFieldLayout& f : layout.Fields) {
        if (f.MinVersion && version < f.MinVersion) continue;
        std::string n = f.Name;
        switch (f.Kind) {
          case TFieldKind::Expr: text += " " + n + "={v = " + std::to_string(code) + "}"; break;
          case TFieldKind::String: text += " " + n + "=\"s" + std::to_string(code) + "\""; break;
          case TFieldKind::Int32: text += " " + n + "=" + std::to_string(code + 1000); break;
          case TFieldKind::Byte: text += " " + n + "=" + std::to_string(code + 100); break;
          case TFieldKind::ExprList: text += " " + n + "=[{1} {2}]"; break;
          case TFieldKind::Properties: text += " PR_NAME={\"o\"} PR_REPEATPOS={2}"; break;
          case TFieldKind::TextBlock: text += " " + n + "=@raw\"<b>\""; break;
        }
      }
      text += "\n";
    }
    TPageFile page = Compile(text);
    ASSERT_EQ(page.Commands.size(), static_cast<size_t>(kCommandCount));
    for (int code = 0; code < kCommandCount; ++code) {
      const TCommandRecord& r = page.Commands[static_cast<size_t>(code)];
      size_t k = 0;
      for (const TFieldLayout& f : CommandLayout(code).Fields) {
        if (f.MinVersion && version < f.MinVersion) continue;
        ASSERT_LT(k, r.Fields.size());
        const TFieldValue& v = r.Fields[k++];
        switch (f.Kind) {
          case TFieldKind::Expr: EXPECT_FALSE(v.Expr->Empty()) << code; break;
          case TFieldKind::String: EXPECT_EQ(v.Str, "s" + std::to_string(code)); break;
          case TFieldKind::Int32: EXPECT_EQ(v.Int, code + 1000); break;
          case TFieldKind::Byte: EXPECT_EQ(v.Int, code + 100); break;
          case TFieldKind::ExprList: EXPECT_EQ(v.Exprs.size(), 2u); break;
          case TFieldKind::Properties: {
            // The named ones and every property of the created class, nothing else.
            std::set<int> want = {0, 162};
            for (int id : CreationProperties(CreatedTypeCode(code))) want.insert(id);
            size_t carried = 0;
            for (int id = 0; id < kPropertyCount; ++id)
              if (v.Props[static_cast<size_t>(id)]) {
                ++carried;
                EXPECT_TRUE(want.count(id)) << code << " " << id;
              }
            EXPECT_EQ(carried, want.size()) << code;
            break;
          }
          case TFieldKind::TextBlock: EXPECT_EQ(v.Str, "<b>"); break;
        }
      }
      EXPECT_EQ(k, r.Fields.size()) << code;
    }
    ExpectRoundTrip(Bytes(page), "p.nsb");
  }
}

// Every object-creating command (and the cabinets) with every property: the page's property
// sets come out full, a command naming fewer properties carries empty expressions for the
// rest, and the page round-trips. A property that is empty everywhere survives through
// .propset.
TEST(SourceLanguage, EveryObjectCommandWithEveryProperty) {
  std::string text;
  std::vector<int> codes;
  for (int code = 0; code < kCommandCount; ++code) {
    if (!IsPropertyCommand(code)) continue;
    codes.push_back(code);
    text += CommandLayout(code).Name;
    for (int id = 0; id < kPropertyCount; ++id)
      text += std::string(" ") + PropertyName(id) + "={v = " + std::to_string(code * 1000 + id) + "}";
    text += "\n";
    text += std::string(CommandLayout(code).Name) + " PR_LEFT={1}\n";
  }
  ASSERT_EQ(codes.size(), 24u);  // 22 creation commands and the two cabinet commands
  TPageFile page = Compile(text);
  ASSERT_EQ(page.Commands.size(), 2 * codes.size());
  for (size_t i = 0; i < codes.size(); ++i) {
    SCOPED_TRACE(CommandLayout(codes[i]).Name);
    for (int id = 0; id < kPropertyCount; ++id) EXPECT_TRUE(PropSetHas(page.PropSets[static_cast<size_t>(codes[i])], id));
    const TFieldValue& all = page.Commands[2 * i].Fields[0];
    const TFieldValue& one = page.Commands[2 * i + 1].Fields[0];
    ASSERT_EQ(all.Kind, TFieldKind::Properties);
    for (int id = 0; id < kPropertyCount; ++id) {
      ASSERT_TRUE(all.Props[static_cast<size_t>(id)] && one.Props[static_cast<size_t>(id)]) << id;
      EXPECT_FALSE(all.Props[static_cast<size_t>(id)]->Empty()) << id;
      EXPECT_EQ(one.Props[static_cast<size_t>(id)]->Empty(), id != FindPropertyByName("PR_LEFT")) << id;
    }
  }
  ExpectRoundTrip(Bytes(page), "p.nsb");
  ExpectRoundTrip(Bytes(Compile(".propset 8 21\nBoxNew PR_NAME={} PR_WIDTH={2}\n")), "p.nsb");
}

// Flip and the cabinets as authors write them: positional fields after the properties, the
// Flip's text and block-events fields only from their page versions.
TEST(SourceLanguage, FlipAndCabinetFields) {
  TPageFile page = Compile(
      "Flip {1} {500} {FALSE} {1} [{\"a\"} {\"b\"}] {TRUE} {10} {20} {\"m.bri\"} {TRUE}\n"
      "SaveCabinet PR_NAME={\"cab\"} {TRUE} [{\"a\"}]\n"
      "LoadCabinet PR_NAME={\"cab\"} mode={FALSE}\n");
  ASSERT_EQ(page.Commands.size(), 3u);
  const TCommandRecord& flip = page.Commands[0];
  ASSERT_EQ(flip.Fields.size(), 10u);
  EXPECT_EQ(flip.Fields[4].Exprs.size(), 2u);
  for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 7u, 8u, 9u}) EXPECT_FALSE(flip.Fields[i].Expr->Empty()) << i;
  const TCommandRecord& save = page.Commands[1];
  ASSERT_EQ(save.Fields.size(), 3u);
  EXPECT_FALSE(save.Fields[1].Expr->Empty());
  EXPECT_EQ(save.Fields[2].Exprs.size(), 1u);
  EXPECT_TRUE(page.Commands[2].Fields[2].Exprs.empty());
  ExpectRoundTrip(Bytes(page), "p.nsb");
  TPageFile old = Compile(".version 100\nFlip {2} {300} clear={TRUE}\n");
  EXPECT_EQ(old.Commands[0].Fields.size(), 8u);  // no text (v >= 101) and no block (v >= 107)
  ExpectRoundTrip(Bytes(old), "p.nsb");
  EXPECT_EQ(BuildError(".version 106\nFlip {1} block={TRUE}\n"), "p.nss:2: field 'block' needs page version 107 or later");
}

TEST(SourceLanguage, EveryTestGamePageRoundTrips) {
  namespace fs = std::filesystem;
  fs::path games = fs::path(test::SourceDir()) / "tests" / "games";
  int pages = 0;
  for (const auto& game : fs::directory_iterator(games)) {
    if (!game.is_directory()) continue;
    std::vector<TPageSource> sources;
    std::map<std::string, TLabelMap> labels;
    for (const auto& entry : fs::directory_iterator(game.path())) {
      if (entry.path().extension() != ".nss") continue;
      TKtMemoryStream text;
      text.LoadFromFile(entry.path().string());
      std::string name = entry.path().filename().replace_extension(".nsb").string();
      sources.push_back(ParsePageSource(text.Data(), entry.path().string(), name));
      labels[name] = CollectLabels(sources.back());
    }
    for (const TPageSource& src : sources) {
      SCOPED_TRACE(src.File);
      TPageFile page;
      CompilePage(src, [&](const std::string& n) -> const TLabelMap* {
        auto it = labels.find(n);
        return it == labels.end() ? nullptr : &it->second;
      }, page);
      ExpectRoundTrip(Bytes(page), src.PageName);
      ++pages;
    }
  }
  EXPECT_GT(pages, 0);
}

}  // namespace
}  // namespace nova::source
