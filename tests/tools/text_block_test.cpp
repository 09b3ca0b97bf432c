// TextIns text blocks: markup compiled into the glyph stream the player reads, and shown back
// as markup exactly when that rebuilds the same bytes.
#include <gtest/gtest.h>

#include "authoring/disassembler.h"
#include "authoring/page_compiler.h"
#include "authoring/text_block.h"
#include "base/encoding.h"
#include "base/stream.h"
#include "text/ktwords.h"

namespace nova::source {
namespace {

std::string S(const std::string& utf8) { return Utf8ToSjis(utf8); }

TEST(TextBlocks, MarkupRoundTripsThroughTheGlyphStream) {
  const char* markups[] = {
      "こんにちは、<B>世界</B>！",
      "<FONT SIZE=20 COLOR=#FF0000 BCOLOR=#0000FF SCOLOR=#010203 NAME=\"ＭＳ 明朝\" BORDER=2 SHADOW=0>赤</FONT>",
      "<I><U><S>斜め</S></U></I><NOBR>離さない</NOBR>",
      "<RUBY VALUE=\"かんじ\">漢字</RUBY>と<A HREF=\"go.nsb\">リンク</A>",
      "<WAIT VALUE=100>遅い</WAIT><WAIT VALUE=-200>止まる</WAIT>",
      "値は<VAR NAME=\"x + 1\">、名前は<VAR NAME='\"a\" ++ b'>",
      "<IMG SRC=\"a.png\"><IMG SRC=\"b.bri\" ALIGN=TOP><EVENT VALUE=\"e1\" END><EVENT VALUE=\"e 2\">",
      "<DIV ALIGN=CENTER>中央<DIV ALIGN=RIGHT>右<INDENT>字下げ<UNDENT><BR><CLEAR>次",
      "a \\\\ b \\< c \\> d % { }",
      "two  spaces<_> after a tag",
      "\"  quoted  <B>  \" and \"x\"",
      "",
  };
  for (const char* m : markups) {
    const std::string stream = CompileTextBlock(S(m));
    std::optional<std::string> back = TextBlockMarkup(stream);
    ASSERT_TRUE(back) << m;
    EXPECT_EQ(CompileTextBlock(*back), stream) << m << " -> " << SjisToUtf8(*back);
  }
  // The stream is what the player reads: glyphs with the parse-time wait of 50 ms.
  TKtWord word;
  TKtMemoryStream in(CompileTextBlock(S("あ<WAIT VALUE=7>い</WAIT>")));
  word.LoadGlyphStream(in);
  ASSERT_EQ(word.Count(), 2);
  EXPECT_EQ(static_cast<TWdChar*>(word.Glyph(0))->Wait, kTextBlockWait);
  EXPECT_EQ(static_cast<TWdChar*>(word.Glyph(1))->Wait, 7);
}

TEST(TextBlocks, StreamsMarkupCannotSayStayRaw) {
  // A stream of another version, a control character, a colour beyond 24 bits, an image that
  // floats, and bytes that are no stream at all.
  TKtWord old;
  old.BuildGlyphs({S("古い")}, 50);
  TKtMemoryStream v100;
  old.SaveGlyphStream(v100, 100);

  TKtWord odd;
  odd.BuildGlyphs({S("x")}, 50);
  odd.Add(std::make_unique<TWdChar>(&odd, TDecorateValues{}, uint16_t{0x07}));
  TKtMemoryStream control;
  odd.SaveGlyphStream(control);

  TKtWord wide;
  wide.BuildGlyphs({S("c")}, 50);
  static_cast<TWdChar*>(wide.Glyph(0))->SetColor(0x7F000000);
  TKtMemoryStream colour;
  wide.SaveGlyphStream(colour);

  TKtWord floating;
  auto* img = static_cast<TWdImg*>(floating.Add(std::make_unique<TWdImg>(&floating)));
  img->FileName = "f.png";
  img->Align = waLeft;
  TKtMemoryStream floats;
  floating.SaveGlyphStream(floats);

  for (const std::string& stream : {v100.Data(), control.Data(), colour.Data(), floats.Data(), std::string("\x82\xa0")})
    EXPECT_FALSE(TextBlockMarkup(stream));
}

TEST(TextBlocks, DisassembledPagesShowMarkupOrRaw) {
  TPageFile page;
  CompilePageText("TextIns \"<B>太字</B>\" {\"mes\"}\nTextIns @raw\"abc\" {\"mes\"}\n", "p.nss", "p.nsb", page);
  const std::string text = DisassemblePage(page, "p.nsb");
  EXPECT_NE(text.find("TextIns \"<B>太字</B>\" {\"mes\"}"), std::string::npos) << text;
  EXPECT_NE(text.find("TextIns @raw\"abc\" {\"mes\"}"), std::string::npos) << text;
  TPageFile again;
  CompilePageText(text, "d.nss", "p.nsb", again);
  TKtMemoryStream a, b;
  WritePageFile(a, page);
  WritePageFile(b, again);
  EXPECT_EQ(a.Data(), b.Data());
}

}  // namespace
}  // namespace nova::source
