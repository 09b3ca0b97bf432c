// The markup reader: tokens, tags and the glyphs every tag builds.
#include <gtest/gtest.h>

#include "support/test_support.h"
#include "text_test_util.h"

namespace nova::test {
namespace {

// Tokens as "T:text", "G:<tag>" or "C:comment" in UTF-8.
std::vector<std::string> Tokens(const std::vector<std::string>& utf8Lines) {
  std::vector<std::string> lines;
  for (const std::string& l : utf8Lines) lines.push_back(Sj(l));
  std::vector<std::string> out;
  for (const TMarkupToken& t : TokenizeMarkup(lines)) {
    const char* kind = t.Kind == TTokenKind::Tag ? "G:" : t.Kind == TTokenKind::Comment ? "C:" : "T:";
    out.push_back(kind + SjisToUtf8(t.Text));
  }
  return out;
}

TEST(Tokenizer, Table) {
  struct Case {
    std::vector<std::string> lines;
    std::vector<std::string> tokens;
  } cases[] = {
      {{"a   b"}, {"T:a b"}},
      {{"ab", "cd"}, {"T:ab cd"}},
      {{"ab ", "  cd"}, {"T:ab cd"}},
      {{"", "ab"}, {"T:ab"}},
      {{"a<B>b</B>c"}, {"T:a", "G:<B>", "T:b", "G:</B>", "T:c"}},
      {{"\\<B\\>x"}, {"T:<B>x"}},
      {{"\\<B\\>"}, {"T:<B>"}},
      {{"a\\\\b\\{\\}\\%\\q"}, {"T:a\\b{}%\\q"}},
      {{"ソース"}, {"T:ソース"}},  // ソ ends in the byte 0x5C
      {{"<FONT COLOR=\"#FF  00\">"}, {"G:<FONT COLOR=\"#FF  00\">"}},
      {{"x\"a\t  b", "c\"y"}, {"T:x\"a  bc\"y"}},
      {{"x\"<B>\""}, {"T:x\"<B>\""}},
      {{"a<!-- b <B> -->c"}, {"T:a", "C:<!-- b <B> -->", "T:c"}},
      {{"<!-- <!-- x --> y -->z"}, {"C:<!-- <!-- x --> y -->", "T:z"}},
      {{"a<!-- x", "y -->b"}, {"T:a", "C:<!-- x\r\ny -->", "T:b"}},
      {{"<script>if (a<b) x;</SCRIPT>after"}, {"C:<script>if (a<b) x;</SCRIPT>", "T:after"}},
      {{"<style>p {}</style>"}, {"C:<style>p {}</style>"}},
      {{"a<!-- never closed"}, {"T:a", "C:<!-- never closed"}},
      {{"<a<b>>c"}, {"G:<a<b>", "T:c"}},
      {{"a>b"}, {"T:a>b"}},
      {{"a<b"}, {"T:a", "T:<b"}},
      {{"<FONT", "SIZE=3>"}, {"G:<FONT SIZE=3>"}},
      {{"<PRE>", "line1", "  x  y", "</PRE>after"},
       {"G:<PRE>", "T:line1", "G:<BR>", "T: x y", "G:</PRE>", "T:after"}},
      {{"<PRE>a\tb</PRE>"}, {"G:<PRE>", "T:a        b", "G:</PRE>"}},
      {{"a\tb"}, {"T:ab"}},
      {{"a\x14\x14" "b"}, {"T:a b"}},
      {{"<TEXTAREA>", "x", "y", "</TEXTAREA>"}, {"G:<TEXTAREA>", "T:x", "T:y", "G:</TEXTAREA>"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Tokens(c.lines), c.tokens) << c.lines[0];
}

TEST(Tokenizer, SplitTokensReplacesTheLines) {
  std::vector<std::string> lines = {"a <B>", "b"};
  SplitTokens(lines);
  EXPECT_EQ(lines, (std::vector<std::string>{"a ", "<B>", "b"}));
}

TEST(Tokenizer, SplitsMarkupIntoLines) {
  EXPECT_EQ(SplitMarkupLines("a\r\nb\rc\nd\r\n"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitMarkupLines("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
}

TEST(Tag, HeadAndAttributes) {
  struct Case {
    const char* token;
    const char* head;
    std::vector<std::pair<const char*, const char*>> attrs;  // name, value (nullptr: missing)
  } cases[] = {
      {"<FONT SIZE=20 COLOR=\"#FF0000\" NAME='ＭＳ 明朝'>", "<FONT>",
       {{"size", "20"}, {"COLOR", "#FF0000"}, {"Name", "ＭＳ 明朝"}, {"BORDER", nullptr}}},
      {"<  br   clear >", "<br>", {{"CLEAR", ""}}},
      {"<A HREF=\"unterminated here>", "<A>", {{"HREF", "unterminated"}}},
      {"<IMG SRC=a.bmp SRC=b.bmp>", "<IMG>", {{"SRC", "a.bmp"}}},
      {"<EVENT VALUE = x END>", "<EVENT>", {{"VALUE", "x"}, {"END", ""}}},
      {"<RUBY VALUE=かん字>", "<RUBY>", {{"VALUE", "かん字"}}},
      {"</FONT>", "</FONT>", {}},
  };
  for (const Case& c : cases) {
    TTag tag(Sj(c.token));
    EXPECT_EQ(SjisToUtf8(tag.Head), c.head) << c.token;
    for (auto [name, value] : c.attrs) {
      if (!value) {
        EXPECT_FALSE(tag.Has(name)) << c.token << " " << name;
      } else {
        EXPECT_TRUE(tag.Has(name)) << c.token << " " << name;
        EXPECT_EQ(SjisToUtf8(tag.Value(name)), value) << c.token << " " << name;
      }
    }
  }
  EXPECT_TRUE(TTag("<font>").Is("FONT"));
  EXPECT_FALSE(TTag("<FONTS>").Is("FONT"));
  EXPECT_TRUE(TTag::IsTag("<>"));
  EXPECT_FALSE(TTag::IsTag("<"));
  EXPECT_FALSE(TTag::IsTag("<!-- x -->"));
}

TEST(Tag, ColoursNumbersAndAlignment) {
  struct Case {
    const char* value;
    bool ok;
    int32_t color;
  } colors[] = {
      {"#FF0000", true, 0x0000FF}, {"#00FF00", true, 0x00FF00}, {"#0000ff", true, 0xFF0000},
      {"#123", true, 0x230100},    {"#1234567", true, 0x563412}, {"red", false, 0},
      {"#GG0000", false, 0},       {"#", false, 0},
  };
  for (const Case& c : colors) {
    int32_t out = -7;
    EXPECT_EQ(TTag(std::string("<FONT COLOR=") + c.value + ">").ColorValue("COLOR", out), c.ok) << c.value;
    EXPECT_EQ(out, c.ok ? c.color : -7) << c.value;
  }
  int32_t n = 0;
  EXPECT_TRUE(TTag("<WAIT VALUE=-20>").IntValue("VALUE", n));
  EXPECT_EQ(n, -20);
  EXPECT_FALSE(TTag("<WAIT VALUE=fast>").IntValue("VALUE", n));
  EXPECT_EQ(TTag("<DIV ALIGN=center>").AlignValue("ALIGN", {waLeft, waRight, waCenter}, waLeft), waCenter);
  EXPECT_EQ(TTag("<DIV ALIGN=TOP>").AlignValue("ALIGN", {waLeft, waRight, waCenter}, waLeft), waLeft);
  EXPECT_EQ(TTag("<IMG ALIGN=left>").AlignValue("ALIGN", {waCenter, waTop, waBottom}, waBottom), waBottom);
}

// Glyphs as short strings: characters as themselves, operations by name and value.
std::vector<std::string> Describe(const TKtWord& w) {
  std::vector<std::string> out;
  for (int i = 0; i < w.Count(); ++i) {
    const TWdGlyph* g = w.Glyph(i);
    if (auto* c = dynamic_cast<const TWdChar*>(g)) {
      out.push_back(SjisToUtf8(c->Text()));
    } else if (auto* a = dynamic_cast<const TWdOpeAlign*>(g)) {
      out.push_back("align" + std::to_string(a->Align));
    } else if (auto* r = dynamic_cast<const TWdOpeReturn*>(g)) {
      out.push_back(r->Clear ? "clear" : "br");
    } else if (auto* e = dynamic_cast<const TWdOpeEvent*>(g)) {
      out.push_back("event:" + SjisToUtf8(e->Text) + (e->Stop ? "!" : ""));
    } else if (auto* v = dynamic_cast<const TWdOpeVar*>(g)) {
      out.push_back("var:" + SjisToUtf8(v->Expression));
    } else if (auto* m = dynamic_cast<const TWdImg*>(g)) {
      out.push_back("img:" + SjisToUtf8(m->FileName) + "/" + std::to_string(m->Align));
    } else {
      out.push_back(g->Kind() == gkIndent ? "indent" : g->Kind() == gkUndent ? "undent" : "?");
    }
  }
  return out;
}

TEST(BuildGlyphs, EveryTagAddsItsGlyphs) {
  struct Case {
    const char* markup;
    std::vector<std::string> glyphs;
  } cases[] = {
      {"a<DIV ALIGN=RIGHT>b</DIV>c", {"a", "align2", "b", "align1", "c"}},
      {"<DIV ALIGN=CENTER><DIV ALIGN=TOP></DIV></DIV></DIV>", {"align3", "align1", "align3", "align1", "align1"}},
      {"<INDENT><UNDENT>", {"indent", "undent"}},
      {"<BR><BR CLEAR><br clear=all><CLEAR>", {"br", "clear", "clear", "clear"}},
      {"<EVENT VALUE=go END><EVENT VALUE=on><EVENT>", {"event:go!", "event:on", "event:"}},
      {"<VAR NAME=x><VAR NAME=\"\"><VAR>", {"var:x"}},
      {"<IMG SRC=a.bmp><IMG SRC=b.bmp ALIGN=top><IMG SRC=c.bmp ALIGN=RIGHT><IMG>",
       {"img:a.bmp/5", "img:b.bmp/4", "img:c.bmp/5"}},
      {"<FOO>x</FOO><P>", {"x"}},
      {"a<!-- hidden -->b<SCRIPT>x</SCRIPT>c", {"a", "b", "c"}},
      {"\\<B\\>", {"<", "B", ">"}},
      {"<PRE>\nx\ny\n</PRE>", {"x", "br", "y"}},
      {"全角 a", {"全", "角", " ", "a"}},
  };
  for (const Case& c : cases) {
    TKtWord w;
    Build(w, c.markup);
    EXPECT_EQ(Describe(w), c.glyphs) << c.markup;
  }
}

TEST(BuildGlyphs, CharactersTakeTheCurrentAttributes) {
  TKtWord w;
  Build(w,
        "<FONT SIZE=20 COLOR=#00FF00 BCOLOR=#0000FF SCOLOR=#FF0000 NAME=Mono BORDER SHADOW=-3>a"
        "<FONT COLOR=red SIZE=big BORDER=4>b</FONT></FONT>c"
        "<B><I>d</I></B><U>e</U><S>f</S>"
        "<NOBR><RUBY VALUE=かな>g</RUBY></NOBR>"
        "<A HREF=\"page 2\">h</A>"
        "<WAIT VALUE=100>i<WAIT VALUE=abc>j</WAIT>k</WAIT>l</WAIT>m");
  ASSERT_EQ(w.Count(), 13);
  auto ch = [&](int i) { return static_cast<const TWdChar*>(w.Glyph(i)); };
  const TWdChar* a = ch(0);
  EXPECT_EQ(a->Size(), 20);
  EXPECT_EQ(a->Color(), 0x00FF00);
  EXPECT_EQ(a->BorderColor(), 0xFF0000);
  EXPECT_EQ(a->ShadowColor(), 0x0000FF);
  EXPECT_EQ(a->FontName(), "Mono");
  EXPECT_EQ(a->BorderWidth(), 1) << "BORDER without a number";
  EXPECT_EQ(a->ShadowOffset(), 0) << "a negative SHADOW";
  const TWdChar* b = ch(1);
  EXPECT_EQ(b->Color(), 0x00FF00) << "a colour word keeps the colour";
  EXPECT_EQ(b->Size(), 20) << "a size that is no number keeps the size";
  EXPECT_EQ(b->BorderWidth(), 4);
  const TWdChar* c = ch(2);
  EXPECT_EQ(c->Decorate(), w.Decorates().Find(TDecorateValues())) << "every stack popped back to its default";
  EXPECT_EQ(ch(3)->Style(), fsBold | fsItalic);
  EXPECT_EQ(ch(4)->Style(), fsUnderline);
  EXPECT_EQ(ch(5)->Style(), fsStrikeOut);
  EXPECT_TRUE(ch(6)->NoBreak());
  EXPECT_EQ(ch(6)->Ruby(), Sj("かな"));
  EXPECT_EQ(ch(7)->Link, "page 2");
  EXPECT_EQ(ch(7)->Ruby(), "");
  EXPECT_EQ(ch(6)->Wait, 50) << "the default wait is the text delay";
  EXPECT_EQ(ch(8)->Wait, 100);
  EXPECT_EQ(ch(9)->Wait, 100) << "WAIT without a number pushes the current wait";
  EXPECT_EQ(ch(10)->Wait, 100);
  EXPECT_EQ(ch(11)->Wait, 50);
  EXPECT_EQ(ch(12)->Wait, 50) << "an extra /WAIT pops nothing";
}

TEST(BuildGlyphs, VariablesAndImagesTakeTheirState) {
  TKtWord w;
  Build(w, "<A HREF=x><WAIT VALUE=7><FONT SIZE=30><NOBR><RUBY VALUE=r><VAR NAME=\" a + 1 \">"
           "<IMG SRC=p.bmp ALIGN=CENTER>");
  ASSERT_EQ(w.Count(), 2);
  auto* v = static_cast<const TWdOpeVar*>(w.Glyph(0));
  EXPECT_EQ(v->Expression, " a + 1 ");
  EXPECT_EQ(v->Size(), 30);
  EXPECT_TRUE(v->DecorateNoBreak());
  EXPECT_EQ(v->Wait, 7);
  EXPECT_EQ(v->Link, "x");
  auto* img = static_cast<const TWdImg*>(w.Glyph(1));
  EXPECT_EQ(img->Align, waCenter);
  EXPECT_TRUE(img->NoBreakFlag);
  EXPECT_EQ(img->Ruby, "r");
  EXPECT_EQ(img->Link, "x");
  EXPECT_EQ(img->Wait, 7);
}

TEST(BuildGlyphs, AnchorWithoutHrefFails) {
  for (const char* markup : {"あ<A>い", "あ<A HREF=\"\">い"}) {
    TKtWord w;
    EXPECT_EQ(ErrorOf([&] { Build(w, markup); }), "<A>タグにHREF値がありません") << markup;
    EXPECT_EQ(Describe(w), (std::vector<std::string>{"あ"})) << "the glyphs built so far stay";
  }
}

TEST(BuildGlyphs, StartsAfresh) {
  TKtWord w;
  Build(w, "<FONT SIZE=40>abc");
  w.VarValues.push_back("x=1");
  Build(w, "d");
  EXPECT_EQ(w.Count(), 1);
  EXPECT_EQ(w.Decorates().Count(), 1);
  EXPECT_TRUE(w.VarValues.empty());
}

}  // namespace
}  // namespace nova::test
