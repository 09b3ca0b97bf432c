// Typing: when glyphs appear (waits, @TextDelay at parse time, PR_TEXTDELAY), fading, pausing,
// scrolling without paging, and what the box paints.
#include <gtest/gtest.h>

#include "components/text/mes_fixtures.h"

namespace nova::test {
namespace {

// The frame (from 1) in which each character of the box's text became visible.
std::vector<int> AppearanceFrames(MesFixture& f, TNovaMes& box, int frames) {
  std::vector<int> at;
  size_t shown = 0;
  for (int frame = 1; frame <= frames; ++frame) {
    f.Frame();
    const size_t n = box.RevealedText().size();
    for (; shown < n; ++shown) at.push_back(frame);
  }
  return at;
}

struct TimingCase {
  const char* markup;
  int32_t textDelay;  // @TextDelay when the text is set
  int32_t rate;       // PR_TEXTDELAY
  std::vector<int> frames;
};

TEST(MesTyping, GlyphsAppearAfterTheirScaledWaits) {
  const TimingCase cases[] = {
      // 50 ms waits at 16 ms frames: the first glyph at once, then every 3 or 4 frames.
      {"ABCDE", 50, 256, {1, 5, 8, 11, 14}},
      // Rate 512 doubles the waits: 100 ms.
      {"ABCDE", 50, 512, {1, 8, 14, 20, 26}},
      // @TextDelay 100 at rate 128: 50 ms again.
      {"ABCDE", 100, 128, {1, 5, 8, 11, 14}},
      // A WAIT VALUE of 100 at rate 512: 200 ms between glyphs.
      {"<WAIT VALUE=100>ABC</WAIT>", 50, 512, {1, 14, 26}},
      // Rate 0: every non-negative wait vanishes, a negative one still holds 200 ms.
      {"ABCD", 50, 0, {1, 1, 1, 1}},
      {"A<WAIT VALUE=-200>B</WAIT>C", 50, 0, {1, 1, 14}},
      // A negative rate shows everything at once.
      {"A<WAIT VALUE=-200>B</WAIT>C", 50, -1, {1, 1, 1}},
  };
  for (const TimingCase& c : cases) {
    MesFixture f;
    TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
    f.store.TextDelay = c.textDelay;
    MesFixture::Set(*box, PR_TEXTDELAY, c.rate);
    MesFixture::SetStr(*box, PR_TEXT, c.markup);
    f.store.TextDelay = 50;  // a later change does not touch a text already set
    EXPECT_EQ(AppearanceFrames(f, *box, 30), c.frames) << c.markup << " rate " << c.rate;
  }
}

TEST(MesTyping, FadeInSkipsAFrameAndTakesItsTime) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  MesFixture::Set(*box, PR_DELAY, 480);
  MesFixture::SetStr(*box, PR_TEXT, "A");
  auto* a = static_cast<TWdChar*>(box->Word().Glyph(0));
  f.Frame();  // the start skip
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "");
  f.Frame();  // revealed, nothing faded yet
  EXPECT_EQ(a->Alpha, 0);
  EXPECT_TRUE(MesFixture::Flag(*box, PR_PLAYING));
  f.Frames(15);  // 15 x 16 ms of 480 ms: 128 of 256 steps
  EXPECT_EQ(a->Alpha, 128);
  int frame = 17;
  while (a->Alpha < 255 && frame < 100) {
    f.Frame();
    ++frame;
  }
  EXPECT_EQ(frame, 32);
  f.Frame();
  EXPECT_FALSE(MesFixture::Flag(*box, PR_PLAYING));
}

TEST(MesTyping, PausesStopTypingAndRestartTheAccount) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  MesFixture::SetStr(*box, PR_TEXT, "ABC");
  f.Frame();
  MesFixture::SetFlag(*box, PR_TEXTPAUSED, true);
  f.Frames(20);
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "A");
  EXPECT_FALSE(MesFixture::Flag(*box, PR_PLAYING));  // a paused page does not count as typing
  MesFixture::SetFlag(*box, PR_TEXTPAUSED, false);
  f.Frame();  // the account restarts at 0: the next glyph comes at once
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "AB");
  // PR_PAUSED stops the box's update altogether.
  MesFixture::SetFlag(*box, PR_PAUSED, true);
  f.Frames(20);
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "AB");
}

TEST(MesTyping, TextReadsRowsWithLineBreaksAsTyped) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 200);
  f.store.TextDelay = 0;
  MesFixture::SetStr(*box, PR_TEXT, "あい<BR>う<IMG SRC=\"none.png\">え");
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "");  // nothing typed yet
  f.Frame();
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "あい\r\nうえ");
  EXPECT_EQ(MesFixture::Int(*box, PR_COUNT), 1);
  EXPECT_EQ(MesFixture::Int(*box, PR_INDEX), 0);
}

TEST(MesTyping, WithoutPagingRowsBelowTheBoxWaitForTheScroll) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 40);
  box->Word().Settings.Paging = false;
  f.store.TextDelay = 0;
  // Five rows of 16 pixels: rows starting below 40 pixels are not revealed.
  MesFixture::SetStr(*box, PR_TEXT, "a<BR>b<BR>c<BR>d<BR>e");
  EXPECT_EQ(MesFixture::Int(*box, PR_COUNT), 1);
  f.Frames(3);
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "a\r\nb\r\nc\r\n");
  EXPECT_FALSE(MesFixture::Flag(*box, PR_PLAYING));  // the next row lies below the box
  MesFixture::Set(*box, PR_SCROLLY, 40);
  EXPECT_EQ(MesFixture::Int(*box, PR_SCROLLY), 40);
  f.Frames(3);
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "a\r\nb\r\nc\r\nd\r\ne");
}

TEST(MesTyping, PaintsRevealedCharactersInTheirColourAndMarksThemDirty) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 10, 20, 200, 100);
  MesFixture::Set(*box, PR_FONTCOLOR, 0x0000FF);  // red
  MesFixture::SetStr(*box, PR_TEXT, "■■");
  f.back.Fill(0);
  std::vector<TRect> dirty = f.Frame();
  auto* first = static_cast<TWdChar*>(box->Word().Glyph(0));
  auto* second = static_cast<TWdChar*>(box->Word().Glyph(1));
  ASSERT_FALSE(first->LastDrawn.Empty());
  const TRect r1 = first->LastDrawn.Offset(10, 20), r2 = second->LastDrawn.Offset(10, 20);
  // The first character is drawn, the second not yet.
  const int32_t cy = (r1.Top + r1.Bottom) / 2;
  EXPECT_NE(f.back.GetPixel((r1.Left + r1.Right) / 2, cy), 0u);
  EXPECT_EQ(f.back.GetPixel((r2.Left + r2.Right) / 2, cy), 0u);
  bool covered = false;
  for (const TRect& d : dirty) covered = covered || Intersect(d, r1) == r1;
  EXPECT_TRUE(covered);
  // The pixels are the glyph cache's own rendering of the character, drawn in its colour.
  TDIBX color, coverage, expected;
  color.SetSize(box->Word().PageColor.GetWidth(), box->Word().PageColor.GetHeight(), 32);
  coverage.SetSize(color.GetWidth(), color.GetHeight(), 8);
  expected.SetSize(320, 240, 32);
  color.Fill(0);
  coverage.Fill(0);
  expected.Fill(0);
  const TFontPixel& g = f.glyphs.GetGlyph(first->Code, DefaultTextFontName(), 0, 16);
  TGlyphPaint paint;
  paint.TextPixel = 0xFF0000;
  const TRect touched =
      RenderGlyph(g, color, coverage, TRect::FromSize(first->X, first->Y, first->Width, first->Height), paint);
  EXPECT_EQ(touched, first->LastDrawn);
  expected.DrawMonoMask(10 + touched.Left, 20 + touched.Top, 255, 0xFF0000, false, false, touched, &coverage);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320; ++x) ASSERT_EQ(f.back.GetPixel(x, y), expected.GetPixel(x, y)) << x << "," << y;
}

TEST(MesTyping, InlineImagesShowTheirPictureWithTheBoxAlpha) {
  MesFixture f;
  PutFile("pic.bmp", Bitmap(12, 10, [](int, int) { return 0x00C08040u; }));
  TNovaMes* box = f.Box("mes", 20, 30, 200, 100);
  f.store.TextDelay = 0;
  MesFixture::SetStr(*box, PR_TEXT, "a<IMG SRC=\"pic.bmp\" ALIGN=TOP>b");
  auto* img = static_cast<TWdImg*>(box->Word().Glyph(1));
  ASSERT_EQ(img->Width, 12);
  ASSERT_EQ(img->Height, 10);
  f.back.Fill(0);
  f.Frame();
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "ab");
  const int32_t x = 20 + img->Parent->X + img->X, y = 30 + img->Parent->Y + img->Y;
  EXPECT_EQ(f.back.GetPixel(x + 5, y + 5), 0xC08040u);
  // The box's alpha blends its pictures (characters keep theirs).
  MesFixture::Set(*box, PR_ALPHA, 128);
  f.Frame();
  const uint32_t half = f.back.GetPixel(x + 5, y + 5);
  EXPECT_NEAR(static_cast<int>(half >> 16), 0x60, 2);
  EXPECT_NEAR(static_cast<int>(half >> 8 & 0xFF), 0x40, 2);
  // A picture the game does not have measures nothing and shows nothing.
  MesFixture::SetStr(*box, PR_TEXT, "<IMG SRC=\"none.bmp\">");
  EXPECT_EQ(box->Word().Glyph(0)->Width, 0);
}

}  // namespace
}  // namespace nova::test
