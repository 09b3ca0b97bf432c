// The expression compiler: operation listings, error texts and the stored form.
#include <gtest/gtest.h>

#include "base/encoding.h"
#include "base/error.h"
#include "base/stream.h"
#include "params/parser.h"

namespace nova {
namespace {

std::string Listing(const TBuildNovaParser& p) {
  std::string out;
  for (const auto& o : p.Operations) {
    if (!out.empty()) out += "; ";
    out += std::string(OpeCodeName(o->Op)) + " " + o->DestName + " =";
    for (size_t i = 0; i < o->Operands.size(); ++i) out += (i ? ", " : " ") + o->Operands[i];
  }
  return out;
}

std::string Compile(const std::string& utf8) {
  TBuildNovaParser p;
  p.Build(Utf8ToSjis(utf8));
  return SjisToUtf8(Listing(p));
}

std::string Hex(const std::string& bytes) {
  static const char* d = "0123456789abcdef";
  std::string h;
  for (unsigned char c : bytes) {
    h += d[c >> 4];
    h += d[c & 15];
  }
  return h;
}

std::string Serialised(const std::string& text) {
  TBuildNovaParser p;
  p.Build(text);
  TKtMemoryStream s;
  p.SaveToStream(s);
  return s.Data();
}

struct TListingCase {
  const char* Text;
  const char* Expected;
};

TEST(Compiler, ListingsTable) {
  const TListingCase cases[] = {
      // The two worked examples, temporary numbering included.
      {"x = (a + 1) * b", "ocPlus ____1 = a, 1; ocMul ____2 = ____1, b; ocTo x = ____2"},
      {"a[i + 1] == 3", "ocPlus ____2 = i, 1; ocDimTo ____d_0 = a, ____2; ocEqual ____3 = ____d_0, 3; ocTo ____arg = ____3"},
      // Signs: a leading one is reduced as 0 - x, one after an operator right away.
      {"-2.5", "ocMinus ____0 = 0, 2.5; ocTo ____arg = ____0"},
      {"x = -y", "ocMinus ____0 = 0, y; ocTo x = ____0"},
      {"x = a * -b", "ocMinus ____0 = 0, b; ocMul ____1 = a, ____0; ocTo x = ____1"},
      {"x = - - b", "ocMinus ____0 = 0, b; ocMinus ____1 = 0, ____0; ocTo x = ____1"},
      {"x = +5", "ocTo x = 5"},
      {"+y", "ocPlus ____0 = 0, y; ocTo ____arg = ____0"},
      {"-1 >> 28", "ocMinus ____0 = 0, 1; ocShiftR ____1 = ____0, 28; ocTo ____arg = ____1"},
      {"1e-5", "ocMinus ____0 = 1e, 5; ocTo ____arg = ____0"},
      // Precedence and left association.
      {"a - b - c", "ocMinus ____0 = a, b; ocMinus ____1 = ____0, c; ocTo ____arg = ____1"},
      {"a == b ++ c", "ocEqual ____0 = a, b; ocComboStr ____1 = ____0, c; ocTo ____arg = ____1"},
      {"s ++ 1 + 2", "ocPlus ____0 = 1, 2; ocComboStr ____1 = s, ____0; ocTo ____arg = ____1"},
      {"x = a | b ^ c & d << 1 * 2",
       "ocMul ____0 = 1, 2; ocShiftL ____1 = d, ____0; ocAnd ____2 = c, ____1; ocXor ____3 = b, ____2; "
       "ocOr ____4 = a, ____3; ocTo x = ____4"},
      {"a <> b", "ocNEqual ____0 = a, b; ocTo ____arg = ____0"},
      {"a>=b", "ocEBig ____0 = a, b; ocTo ____arg = ____0"},
      {"a % b / c", "ocMod ____0 = a, b; ocDiv ____1 = ____0, c; ocTo ____arg = ____1"},
      // Calls: inner first; arguments that are expressions get their own temporaries.
      {"IntToStr(Length(s))", "ocFunc ____0 = Length, s; ocFunc ____1 = IntToStr, ____0; ocTo ____arg = ____1"},
      {"Copy(s, i + 1, 2)", "ocPlus ____2 = i, 1; ocFunc ____0 = Copy, s, ____2, 2; ocTo ____arg = ____0"},
      {"IntToStr(-5, 3)", "ocMinus ____2 = 0, 5; ocFunc ____0 = IntToStr, ____2, 3; ocTo ____arg = ____0"},
      {"DBDelete()", "ocFunc ____0 = DBDelete; ocTo ____arg = ____0"},
      {"f (a[1, 2], b)", "ocDimTo ____d_2 = a, 1, 2; ocTo ____1 = ____d_2; ocFunc ____0 = f, ____1, b; ocTo ____arg = ____0"},
      // Parentheses around an argument go only when one pair encloses all of it.
      {"f((a))", "ocFunc ____0 = f, a; ocTo ____arg = ____0"},
      {"f((a)+(b))", "ocTo ____2 = b; ocTo ____3 = a; ocPlus ____4 = ____3, ____2; ocFunc ____0 = f, ____4; ocTo ____arg = ____0"},
      {"f(((a)+(b)))", "ocTo ____2 = b; ocTo ____3 = a; ocPlus ____4 = ____3, ____2; ocFunc ____0 = f, ____4; ocTo ____arg = ____0"},
      // Arrays, nested and multi-dimensional; element references are never copy-eliminated.
      {"a[1, j] = 5", "ocDimTo ____d_0 = a, 1, j; ocTo ____d_0 = 5"},
      {"x = a[b[1]]", "ocDimTo ____d_0 = b, 1; ocDimTo ____d_1 = a, ____d_0; ocTo x = ____d_1"},
      {"(a[1] + 2) * 3", "ocDimTo ____d_0 = a, 1; ocPlus ____2 = ____d_0, 2; ocMul ____3 = ____2, 3; ocTo ____arg = ____3"},
      // Groups in groups, and a literal in a group.
      {"((x))", "ocTo ____0 = x; ocTo ____arg = ____0"},
      {"((\"abc\"))", "ocTo ____0 = \"abc\"; ocTo ____arg = ____0"},
      // String literals and their escapes.
      {"s = \"a\\\"b\\\\c\\n\\t\"", "ocTo ____0 = \"a\"b\\c\r\n\\t\"; ocTo s = ____0"},
      {"s = \"(a, b)\" ++ \"=\"", "ocTo ____0 = \"(a, b)\"; ocTo ____1 = \"=\"; ocComboStr ____2 = ____0, ____1; ocTo s = ____2"},
      // Double-byte names whose trail bytes are 0x5C, 0x7C and 0x5B.
      {"x = 表 + 1", "ocPlus ____0 = 表, 1; ocTo x = ____0"},
      {"s = \"表\"", "ocTo ____0 = \"表\"; ocTo s = ____0"},
      {"ポ | 1", "ocOr ____0 = ポ, 1; ocTo ____arg = ____0"},
      {"ゼ[1]", "ocDimTo ____d_0 = ゼ, 1; ocTo ____arg = ____d_0"},
      {"ソ(1)", "ocTo ____0 = 1; ocTo ____arg = ソ____0"},
      // Blank text.
      {"", "ocTo ____arg = "},
      {"x", "ocTo ____arg = x"},
  };
  for (const auto& c : cases) EXPECT_EQ(Compile(c.Text), c.Expected) << c.Text;
}

struct TErrorCase {
  const char* Text;
  const char* Message;
  const char* Before;  // what stays compiled before the error
};

TEST(Compiler, ErrorsKeepEarlierOperations) {
  const TErrorCase cases[] = {
      {"a = b = c", "構文エラー", "ocTo a = b"},
      {"a[]", "配列の添え字が不正です", ""},
      {"f(1", "構文エラー", ""},
      {"x = (1", "構文エラー", ""},
      {"x = \"abc", "構文エラー", ""},
      {"x = [1]", "構文エラー", ""},
      {"a[1", "構文エラー", ""},
      {"* a", "構文エラー", ""},
      {"a + * b", "構文エラー", ""},
      {"a b = c d", "ocTo a b = c d", nullptr},  // not an error: blanks do not split operands
      {"x = 1 +", "構文エラー", ""},
      {"f(a[1, b)", "構文エラー", ""},
      {"s = \"(\" ++ f(x))", "構文エラー", "ocTo ____0 = \"(\""},
      {"x = a]", "構文エラー", ""},
      {"x = (1 + 2) = 3", "構文エラー", "ocPlus ____1 = 1, 2; ocTo ____0 = ____1; ocTo x = ____0"},
  };
  for (const auto& c : cases) {
    TBuildNovaParser p;
    if (!c.Before) {
      EXPECT_EQ(Compile(c.Text), c.Message);
      continue;
    }
    try {
      p.Build(Utf8ToSjis(c.Text));
      ADD_FAILURE() << "no error for " << c.Text;
    } catch (const ENovaError& e) {
      EXPECT_EQ(SjisToUtf8(e.Message()), c.Message) << c.Text;
      EXPECT_EQ(SjisToUtf8(Listing(p)), c.Before) << c.Text;
    }
  }
}

TEST(Compiler, FunctionNamesAndArgumentCountsAreCheckedWhenSerialised) {
  const TListingCase cases[] = {
      {"Foo(1)", "\"Foo\" 関数名がありません"},
      {"inttostr(1)", "\"inttostr\" 関数名がありません"},
      {"Length(1, 2)", "Length 引数の数が不正です"},
      {"Copy(s)", "Copy 引数の数が不正です"},
      {"DBDelete(1)", "DBDelete 引数の数が不正です"},
  };
  for (const auto& c : cases) {
    TBuildNovaParser p;
    p.Build(Utf8ToSjis(c.Text));
    TKtMemoryStream s;
    try {
      p.SaveToStream(s);
      ADD_FAILURE() << "no error for " << c.Text;
    } catch (const ENovaError& e) {
      EXPECT_EQ(SjisToUtf8(e.Message()), c.Expected) << c.Text;
    }
  }
  // No upper limit for SetArray and DBInsert.
  EXPECT_NO_THROW(Serialised("SetArray(a, 1, 2, 3, 4, 5, 6, 7, 8, 9)"));
  EXPECT_NO_THROW(Serialised("DBInsert()"));
}

TEST(Compiler, SerialisedForm) {
  const TListingCase cases[] = {
      // count | op, dest, operand count, operands (kind + payload)
      {"x = 1", "01000000" "01" "0100000078" "01000000" "0101000000"},
      {"x = -7", "02000000" "03" "050000005f5f5f5f30" "02000000" "0100000000" "0107000000"
                 "01" "0100000078" "01000000" "00050000005f5f5f5f30"},
      {"x = 1.5", "01000000" "01" "0100000078" "01000000" "02" "00000000000000c0ff3f"},
      {"x = TRUE", "01000000" "01" "0100000078" "01000000" "0301"},
      {"x = FALSE", "01000000" "01" "0100000078" "01000000" "0300"},
      {"x = $1F", "01000000" "01" "0100000078" "01000000" "011f000000"},
      {"x = xa", "01000000" "01" "0100000078" "01000000" "010a000000"},
      {"x = \"ab\"", "02000000" "01" "050000005f5f5f5f30" "01000000" "04" "020000006162"
                     "01" "0100000078" "01000000" "00050000005f5f5f5f30"},
      // ocFunc: the argument count, then the function number, then the arguments.
      {"IntToStr(5)", "02000000" "0b" "050000005f5f5f5f30" "01000000" "00" "0105000000"
                      "01" "070000005f5f5f5f617267" "01000000" "00050000005f5f5f5f30"},
      {"Calc(s)", "02000000" "0b" "050000005f5f5f5f30" "01000000" "88" "000100000073"
                  "01" "070000005f5f5f5f617267" "01000000" "00050000005f5f5f5f30"},
  };
  for (const auto& c : cases) EXPECT_EQ(Hex(Serialised(c.Text)), c.Expected) << c.Text;
}

TEST(Compiler, ParserLoadSaveAndAssignKeepTheBytes) {
  const char* texts[] = {"x = (a + 1) * b", "s = IntToStr(a[i, 2] % 3, 2) ++ \"z\"", "f = 1.25 > r == TRUE", ""};
  for (const char* t : texts) {
    std::string bytes = Serialised(t);
    TKtMemoryStream in(bytes);
    TNovaParser p;
    p.LoadFromStream(in);
    TKtMemoryStream out;
    p.SaveToStream(out);
    EXPECT_EQ(Hex(out.Data()), Hex(bytes)) << t;
    TNovaParser copy;
    copy.Assign(p);
    TKtMemoryStream out2;
    copy.SaveToStream(out2);
    EXPECT_EQ(Hex(out2.Data()), Hex(bytes)) << t;
  }
}

TEST(Compiler, LoadReadsOperandKinds) {
  // One ocFunc with five operands: int, real, flag, string and an unknown kind 9 (a variable).
  TKtMemoryStream s;
  s.WriteInt32(1);
  s.WriteByte(ocFunc);
  s.WriteString("____0");
  s.WriteInt32(5);
  s.WriteByte(83);
  s.WriteByte(1);
  s.WriteInt32(-3);
  s.WriteByte(2);
  s.WriteExtended(2.5L);
  s.WriteByte(3);
  s.WriteByte(1);
  s.WriteByte(4);
  s.WriteString("ab");
  s.WriteByte(9);
  s.WriteString("v");
  s.SetPosition(0);
  TNovaParser p;
  p.LoadFromStream(s);
  ASSERT_EQ(p.Operations.size(), 1u);
  const TOpeData& o = *p.Operations[0];
  EXPECT_EQ(o.FuncCode, 83);
  ASSERT_EQ(o.Operands.size(), 5u);
  EXPECT_EQ(dynamic_cast<TParamInt&>(*o.Operands[0]).Elements[0], -3);
  EXPECT_EQ(dynamic_cast<TParamFloat&>(*o.Operands[1]).Elements[0], 2.5L);
  EXPECT_EQ(dynamic_cast<TParamFlag&>(*o.Operands[2]).Elements[0], 1);
  EXPECT_EQ(dynamic_cast<TParamStr&>(*o.Operands[3]).Elements[0], "ab");
  EXPECT_EQ(dynamic_cast<TParamVar&>(*o.Operands[4]).Name, "v");
  // A damaged count stops at the end of the stream.
  TKtMemoryStream bad;
  bad.WriteInt32(0x7FFFFFFF);
  bad.SetPosition(0);
  p.LoadFromStream(bad);
  EXPECT_TRUE(p.Operations.empty());
}

TEST(Compiler, OpeCodeNames) {
  EXPECT_STREQ(OpeCodeName(ocNone), "ocNone");
  EXPECT_STREQ(OpeCodeName(ocDimTo), "ocDimTo");
  EXPECT_STREQ(OpeCodeName(ocNEqual), "ocNEqual");
  EXPECT_STREQ(OpeCodeName(21), "");
}

}  // namespace
}  // namespace nova

namespace nova {
namespace {

// Texts made of syntax characters, names, numbers, literals and double-byte characters whose
// trail bytes look like syntax: compiling, serialising and loading never fails other than by
// the compiler's own errors.
TEST(Compiler, ArbitraryTextsOnlyRaiseCompilerErrors) {
  const char* pieces[] = {"a", "b1", "_", " ", "1", "2.5", "\"", "\\", "(", ")", "[", "]", ",", "+", "-", "*",
                          "/", "%", "&", "|", "^", "=", "<", ">", "++", "IntToStr", "Copy", "\x95\x5c",
                          "\x83\x7c", "\x83\x5b", "\x81", "TRUE", "$1F", "\"x\""};
  const size_t n = sizeof(pieces) / sizeof(pieces[0]);
  uint32_t state = 1;
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    int len = 1 + static_cast<int>((state >> 8) % 12);
    for (int k = 0; k < len; ++k) {
      state = state * 1103515245u + 12345u;
      text += pieces[(state >> 16) % n];
    }
    TBuildNovaParser p;
    try {
      p.Build(text);
      TKtMemoryStream s;
      p.SaveToStream(s);
      s.SetPosition(0);
      TNovaParser loaded;
      loaded.LoadFromStream(s);
      EXPECT_EQ(loaded.Operations.size(), p.Operations.size());
    } catch (const ENovaError&) {
    }
  }
}

}  // namespace
}  // namespace nova
