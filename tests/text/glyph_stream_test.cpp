// Compiled glyph streams: round trips from markup and hand-made streams of every version.
#include <gtest/gtest.h>

#include "params/param_collection.h"
#include "params/sysfunc.h"
#include "text_test_util.h"

namespace nova::test {
namespace {

// Little-endian bytes written by hand.
struct Bytes {
  std::string s;
  Bytes& I32(int32_t v) {
    for (int k = 0; k < 4; ++k) s += static_cast<char>((static_cast<uint32_t>(v) >> (8 * k)) & 0xFF);
    return *this;
  }
  Bytes& U8(uint8_t v) {
    s += static_cast<char>(v);
    return *this;
  }
  Bytes& Str(const std::string& v) {
    I32(static_cast<int32_t>(v.size()));
    s += v;
    return *this;
  }
  Bytes& Raw(const std::string& v) {
    s += v;
    return *this;
  }
};

std::string Save(const TKtWord& w) {
  TKtMemoryStream m;
  w.SaveGlyphStream(m);
  return m.Data();
}

std::string SaveAt(const TKtWord& w, int32_t version) {
  TKtMemoryStream m;
  w.SaveGlyphStream(m, version);
  return m.Data();
}

void Load(TKtWord& w, const std::string& bytes) {
  TKtMemoryStream m(bytes);
  w.LoadGlyphStream(m);
}

const char kRichMarkup[] =
    "<DIV ALIGN=CENTER><FONT SIZE=24 COLOR=#FF0000 BORDER=2 SHADOW=3 SCOLOR=#010203>吾輩は</FONT>"
    "<RUBY VALUE=ねこ>猫</RUBY>である。</DIV><BR>"
    "<INDENT><NOBR>名前は</NOBR><UNDENT><A HREF=\"まだ\">無い</A><BR CLEAR>"
    "<WAIT VALUE=200><EVENT VALUE=ding END><VAR NAME=\" name \"></WAIT><EVENT VALUE=dong>"
    "<IMG SRC=\"cg\\cat.bmp\" ALIGN=TOP><I>end</I>";

TEST(GlyphStream, MarkupRoundTripsByteForByte) {
  TKtWord built;
  Build(built, kRichMarkup);
  std::string first = Save(built);
  ASSERT_EQ(first.substr(0, 9), "KtWord102");
  TKtWord loaded;
  Load(loaded, first);
  EXPECT_EQ(Save(loaded), first);
  ASSERT_EQ(loaded.Count(), built.Count());
  EXPECT_EQ(loaded.Decorates().Count(), built.Decorates().Count());
  auto recordIndex = [](const TKtWord& w, int i) {
    auto* d = dynamic_cast<const TDecorated*>(w.Glyph(i));
    return d ? w.Decorates().IndexOf(d->Decorate()) : -2;
  };
  TWdOpeVar* var = nullptr;
  for (int i = 0; i < built.Count(); ++i) {
    EXPECT_EQ(loaded.Glyph(i)->Kind(), built.Glyph(i)->Kind()) << i;
    EXPECT_EQ(recordIndex(loaded, i), recordIndex(built, i)) << i;
    if (!var) var = dynamic_cast<TWdOpeVar*>(loaded.Glyph(i));
  }
  for (int i = 0; i < loaded.Decorates().Count(); ++i)
    EXPECT_EQ(loaded.Decorates().Item(i)->RefCount, built.Decorates().Item(i)->RefCount) << i;
  ASSERT_NE(var, nullptr);
  EXPECT_EQ(var->Expression, "name") << "the expression is written trimmed";
  EXPECT_EQ(var->Wait, 200);
}

TEST(GlyphStream, EveryVersionRoundTrips) {
  TKtWord built;
  Build(built, kRichMarkup);
  for (int32_t v : {0, 1, 99, 100, 101, 102}) {
    std::string bytes = SaveAt(built, v);
    EXPECT_EQ(bytes.substr(0, 6) == "KtWord", v > 0) << v;
    TKtWord loaded;
    Load(loaded, bytes);
    EXPECT_EQ(loaded.Count(), built.Count()) << v;
    EXPECT_EQ(SaveAt(loaded, v), bytes) << v;
  }
}

// A stream of version v written by hand: two records, then one glyph of every kind and an
// unknown kind code between them.
std::string HandMade(int32_t v, const std::string& compiledOneAndTwo) {
  Bytes b;
  if (v > 0) b.Raw("KtWord" + std::string(v < 100 ? "0" : "") + std::to_string(v));
  b.I32(2);
  for (int r = 0; r < 2; ++r) {
    b.I32(99).I32(r ? 0x0000FF : -1).I32(0x808080).I32(24).U8(fsBold).U8(r);  // counts are rebuilt
    if (v > 99) {
      b.I32(3);
    } else {
      b.U8(r ? 7 : 0);
    }
    b.Str(r ? "Mono" : "").Str(r ? Sj("ふり") : "");
    if (v >= 100) b.I32(2).I32(0x010203);
  }
  b.I32(9);
  b.U8(gkChar).Str("go").I32(30).U8(0xA0).U8(0x82).I32(1);  // あ = 0x82A0
  b.U8(8);                                                   // unknown: no data
  b.U8(gkAlign).U8(waRight);
  b.U8(gkReturn).U8(1);
  b.U8(gkIndent);
  b.U8(gkUndent);
  b.U8(gkEvent).Str("\x01" "ding");
  b.U8(gkVar).I32(0);
  if (v > 100) b.I32(40).Str("lnk");
  if (v < 102) {
    b.Raw(compiledOneAndTwo);
  } else {
    b.Str("1+2");
  }
  b.U8(gkImg).Str("").I32(-1).Str("a.bmp").U8(waTop);
  return b.s;
}

TEST(GlyphStream, HandMadeStreamsOfEveryVersion) {
  TKtMemoryStream compiled;
  CompileExpression("1+2")->SaveToStream(compiled);
  for (int32_t v : {0, 99, 100, 101, 102}) {
    SCOPED_TRACE(v);
    TKtWord w;
    Load(w, HandMade(v, compiled.Data()));
    ASSERT_EQ(w.Count(), 8) << "the unknown kind code counts as a glyph without data";
    ASSERT_EQ(w.Decorates().Count(), 2);
    const TDecorate* r0 = w.Decorates().Item(0);
    const TDecorate* r1 = w.Decorates().Item(1);
    EXPECT_EQ(r0->RefCount, 1) << "counts come from the glyphs that use a record";
    EXPECT_EQ(r1->RefCount, 1);
    EXPECT_EQ(r1->Color, 0x0000FF);
    EXPECT_EQ(r1->Size, 24);
    EXPECT_EQ(r1->Style, fsBold);
    EXPECT_EQ(r1->NoBreak, 1);
    EXPECT_EQ(r1->FontName, "Mono");
    EXPECT_EQ(r1->Ruby, Sj("ふり"));
    EXPECT_EQ(r1->BorderWidth, v > 99 ? 3 : 1) << "an old border flag reads as 1";
    EXPECT_EQ(r0->BorderWidth, v > 99 ? 3 : 0);
    EXPECT_EQ(r1->ShadowOffset, v >= 100 ? 2 : -1);
    EXPECT_EQ(r1->ShadowColor, v >= 100 ? 0x010203 : -1);

    auto* c = dynamic_cast<TWdChar*>(w.Glyph(0));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Code, 0x82A0);
    EXPECT_EQ(c->Text(), Sj("あ"));
    EXPECT_EQ(c->Link, "go");
    EXPECT_EQ(c->Wait, 30);
    EXPECT_EQ(c->Decorate(), r1);
    EXPECT_EQ(static_cast<TWdOpeAlign*>(w.Glyph(1))->Align, waRight);
    EXPECT_EQ(static_cast<TWdOpeReturn*>(w.Glyph(2))->Clear, 1);
    EXPECT_EQ(w.Glyph(3)->Kind(), gkIndent);
    EXPECT_EQ(w.Glyph(4)->Kind(), gkUndent);
    auto* e = static_cast<TWdOpeEvent*>(w.Glyph(5));
    EXPECT_EQ(e->Text, "ding");
    EXPECT_TRUE(e->Stop);
    auto* var = static_cast<TWdOpeVar*>(w.Glyph(6));
    EXPECT_EQ(var->Decorate(), r0);
    EXPECT_EQ(var->Wait, v > 100 ? 40 : -1);
    EXPECT_EQ(var->Link, v > 100 ? "lnk" : "");
    EXPECT_EQ(var->Expression, v < 102 ? "" : "1+2");
    EXPECT_EQ(var->Parser != nullptr, v < 102);
    auto* img = static_cast<TWdImg*>(w.Glyph(7));
    EXPECT_EQ(img->FileName, "a.bmp");
    EXPECT_EQ(img->Align, waTop);
    EXPECT_EQ(img->Wait, -1);

    // Old or new, the variable shows the same value.
    TParamCollection store;
    TSysFuncMan funcs(store);
    w.ExpandVars(store, funcs);
    ASSERT_EQ(w.Count(), 9);
    EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(7))->Text(), "3");
    // Written again at its own version: what was read, with the counts put right.
    std::string again = SaveAt(w, v);
    TKtWord reread;
    Load(reread, again);
    EXPECT_EQ(SaveAt(reread, v), again);
    EXPECT_EQ(reread.Count(), 8) << "the expansion is not written";
  }
}

TEST(GlyphStream, CompiledOnlyVariablesKeepTheirCompiledForm) {
  TKtMemoryStream compiled;
  CompileExpression("1+2")->SaveToStream(compiled);
  TKtWord old;
  Load(old, HandMade(101, compiled.Data()));
  std::string bytes = Save(old);
  EXPECT_EQ(bytes.substr(0, 9), "KtWord101") << "text that is not known cannot be written as text";
  TKtWord fresh;
  Build(fresh, "<VAR NAME=x>");
  EXPECT_EQ(Save(fresh).substr(0, 9), "KtWord102");
}

TEST(GlyphStream, AppendingOffsetsRecordIndices) {
  TKtWord w;
  Build(w, "<FONT SIZE=30>a</FONT>b");
  std::string bytes = Save(w);
  TKtWord target;
  Build(target, "<FONT SIZE=10>x");
  Load(target, bytes);
  EXPECT_EQ(target.IndexBase, 1);
  ASSERT_EQ(target.Count(), 3);
  ASSERT_EQ(target.Decorates().Count(), 3);
  EXPECT_EQ(static_cast<TWdChar*>(target.Glyph(1))->Decorate(), target.Decorates().Item(1));
  EXPECT_EQ(static_cast<TWdChar*>(target.Glyph(1))->Size(), 30);
  EXPECT_EQ(static_cast<TWdChar*>(target.Glyph(2))->Decorate(), target.Decorates().Item(2));
  EXPECT_EQ(target.Decorates().Item(0)->RefCount, 1);
}

TEST(GlyphStream, DamagedStreamsReadWhatTheyHold) {
  // A record index outside the records gives the default attributes.
  TKtWord w;
  Load(w, Bytes().I32(0).I32(1).U8(gkChar).Str("").I32(0).U8('A').U8(0).I32(5).s);
  ASSERT_EQ(w.Count(), 1);
  EXPECT_EQ(static_cast<TWdChar*>(w.Glyph(0))->Values(), TDecorateValues());
  // Counts far beyond the data end the reading.
  TKtWord cut;
  Load(cut, Bytes().Raw("KtWord102").I32(1000000).s);
  EXPECT_EQ(cut.Count(), 0);
  TKtWord cutGlyphs;
  Load(cutGlyphs, Bytes().I32(0).I32(1000000).U8(gkReturn).U8(0).s);
  EXPECT_EQ(cutGlyphs.Count(), 1);
  // A stream shorter than a header is read from its start.
  TKtWord tiny;
  Load(tiny, Bytes().I32(0).I32(0).s);
  EXPECT_EQ(tiny.Count(), 0);
}

}  // namespace
}  // namespace nova::test
