// What the message box posts: play start (with the read mark), playing, play end once per
// page, notify events after the fades, links with their hover and click; paging through the
// scene's input.
#include <gtest/gtest.h>

#include "components/text/mes_fixtures.h"

namespace nova::test {
namespace {

TEST(MesEvents, PlayStartPlayingAndPlayEndOncePerPage) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 40);  // two rows of 16 a page
  for (int id : {PR_ONPLAYSTART, PR_ONPLAYING, PR_ONPLAYEND}) MesFixture::SetStr(*box, id, "h.nsb");
  f.store.TextDelay = 0;
  MesFixture::SetStr(*box, PR_TEXT, "a<BR>b<BR>c");
  EXPECT_EQ(MesFixture::Int(*box, PR_COUNT), 2);
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:101(0)"}));
  f.Frame();  // the start delay
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "");
  f.Frame();
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "a\r\nb\r\n");
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:32"}));
  EXPECT_TRUE(MesFixture::Flag(*box, PR_PLAYING));  // another page follows
  f.Frame();
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:43"}));
  f.Frames(5);
  EXPECT_TRUE(f.TakeEvents().empty());  // play end comes once
  MesFixture::Set(*box, PR_INDEX, 1);
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:101(0)"}));
  f.Frames(2);
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:32"}));
  EXPECT_FALSE(MesFixture::Flag(*box, PR_PLAYING));  // the last page, typed whole
  f.Frame();
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:43"}));
  // Out of range and the current index are ignored.
  for (int32_t i : {-1, 2, 1}) MesFixture::Set(*box, PR_INDEX, i);
  EXPECT_EQ(MesFixture::Int(*box, PR_INDEX), 1);
  EXPECT_TRUE(f.Events().empty());
}

TEST(MesEvents, PlayingIsPostedInEveryRevealingFrameWhileEarlierOnesWait) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  MesFixture::SetStr(*box, PR_ONPLAYING, "h.nsb");
  f.store.TextDelay = 16;  // one character a frame
  MesFixture::SetStr(*box, PR_TEXT, "abcd");
  // Nobody runs the handlers: each frame that reveals a character queues one more.
  std::vector<std::string> expected;
  for (const char* text : {"a", "ab", "abc", "abcd"}) {
    f.Frame();
    ASSERT_EQ(MesFixture::Str(*box, PR_TEXT), text);
    expected.push_back("mes:32");
    EXPECT_EQ(f.Events(), expected) << "after " << text;
  }
  f.Frames(3);  // nothing more is revealed
  EXPECT_EQ(f.Events(), expected);
}

TEST(MesEvents, TypingWaitsForThePlayStartHandler) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  MesFixture::SetStr(*box, PR_ONPLAYSTART, "h.nsb");
  MesFixture::SetStr(*box, PR_TEXT, "abc");
  f.Frames(5);  // the handler has not run: the event stays queued
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "");
  f.TakeEvents();
  f.Frame();
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "a");
}

TEST(MesEvents, NotifyEventsFollowTheFadesAndStopWhenAsked) {
  struct Case {
    const char* markup;
    std::vector<std::vector<std::string>> perFrame;  // events posted in frames 1, 2, ...
  };
  const Case cases[] = {
      // Two events in a row go together; typing goes on in the next frame.
      {"a<EVENT VALUE=one><EVENT VALUE=two>b", {{"mes:33(one)", "mes:33(two)"}, {}}},
      // END on the first: the second is collected in a later frame.
      {"a<EVENT VALUE=one END><EVENT VALUE=two>b", {{"mes:33(one)"}, {"mes:33(two)"}}},
  };
  for (const Case& c : cases) {
    MesFixture f;
    TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
    MesFixture::SetStr(*box, PR_ONNOTIFY, "n.nsb");
    f.store.TextDelay = 0;
    MesFixture::SetStr(*box, PR_TEXT, c.markup);
    for (size_t i = 0; i < c.perFrame.size(); ++i) {
      f.Frame();
      EXPECT_EQ(f.TakeEvents(), c.perFrame[i]) << c.markup << " frame " << i + 1;
    }
  }
  // Without a handler the events pass silently and do not hold typing up.
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  f.store.TextDelay = 0;
  MesFixture::SetStr(*box, PR_TEXT, "a<EVENT VALUE=one END><EVENT VALUE=two>b");
  f.Frame();
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "ab");
  EXPECT_TRUE(f.Events().empty());
}

TEST(MesEvents, NotifyArgumentsAreTheLinesOfTheValue) {
  MesFixture f;
  TKtWord word;
  auto* e = static_cast<TWdOpeEvent*>(word.Add(std::make_unique<TWdOpeEvent>(&word)));
  e->Text = "x\r\ny";
  TKtMemoryStream stream;
  word.SaveGlyphStream(stream);
  f.texts.Add("p.nsb", {stream.Data()});
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  MesFixture::SetStr(*box, PR_ONNOTIFY, "n.nsb");
  box->ShowCompiledText("p.nsb", 0);
  f.Frame();
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:33(x,y)"}));
}

TEST(MesEvents, NotifyWaitsForFadesToEnd) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  MesFixture::SetStr(*box, PR_ONNOTIFY, "n.nsb");
  MesFixture::Set(*box, PR_DELAY, 64);
  f.store.TextDelay = 0;
  MesFixture::SetStr(*box, PR_TEXT, "a<EVENT VALUE=one>");
  f.Frames(2);  // start skip, reveal
  EXPECT_TRUE(f.Events().empty());
  f.Frames(3);  // 48 ms of 64
  EXPECT_TRUE(f.Events().empty());
  f.Frame();
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:33(one)"}));
}

TEST(MesEvents, ClickToAdvanceThroughTheScenesInput) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 40);
  MesFixture::SetStr(*box, PR_ONLBTNDOWN, "next.nsb");
  f.store.TextDelay = 0;
  MesFixture::SetStr(*box, PR_TEXT, "a<BR>b<BR>c<BR>d");
  f.Frames(2);
  f.MoveMouse(5, 5);
  f.PressLeft();
  f.Frame();
  f.ReleaseLeft();
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:36(5,5)"}));
  // The handler turns the page.
  MesFixture::Set(*box, PR_INDEX, MesFixture::Int(*box, PR_INDEX) + 1);
  f.Frame();
  EXPECT_EQ(MesFixture::Str(*box, PR_TEXT), "c\r\nd");
}

TEST(MesEvents, LinkRunsHoverAndClick) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  MesFixture::SetStr(*box, PR_ONLINK, "link.nsb");
  MesFixture::SetStr(*box, PR_ONLBTNDOWN, "down.nsb");
  MesFixture::SetStr(*box, PR_ONMOUSEMOVE, "move.nsb");
  f.store.TextDelay = 0;
  MesFixture::SetStr(*box, PR_TEXT, "x<A HREF=\"go.nsb\">abc</A>y");
  f.Frames(2);
  auto chars = [&] {
    std::string hovered;
    for (int i = 0; i < box->Word().Count(); ++i)
      if (auto* c = dynamic_cast<TWdChar*>(box->Word().Glyph(i)); c && c->LinkHover) hovered += c->Text();
    return hovered;
  };
  auto* b = static_cast<TWdChar*>(box->Word().Glyph(2));
  const TRect cell = b->BoundsRect().Offset(b->Parent->X, b->Parent->Y);
  const TRect before = b->LastDrawn;
  f.MoveMouse(cell.Left + 2, cell.Top + 8);  // over the second link character
  f.Frame();
  EXPECT_EQ(chars(), "abc");
  EXPECT_EQ(b->LastDrawn, before);
  // Hovered link characters take the active link colour (0x008000, green).
  const int32_t cx = (b->LastDrawn.Left + b->LastDrawn.Right) / 2, cy = (b->LastDrawn.Top + b->LastDrawn.Bottom) / 2;
  EXPECT_EQ(f.back.GetPixel(cx, cy) & 0xFF00FF, 0u);
  EXPECT_GT(f.back.GetPixel(cx, cy) & 0xFF00, 0x7000u);
  EXPECT_TRUE(f.Events().empty());  // no mouse-move event while a page is shown
  f.PressLeft();
  f.Frame();
  f.ReleaseLeft();
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:46(abc,go.nsb)"}));
  EXPECT_FALSE(f.Mouse().LeftPressedThisFrame);
  // Away from the link the hover goes; outside the box too.
  f.MoveMouse(300, 90);
  f.Frame();
  EXPECT_EQ(chars(), "");
  // Without pages the box is a control like any other again.
  MesFixture::SetStr(*box, PR_TEXT, "");
  f.MoveMouse(10, 10);
  f.Frame();
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:34(10,10)"}));
}

TEST(MesEvents, LinkCaptureLetsTheMouseThroughElsewhere) {
  MesFixture f;
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  MesFixture::SetFlag(*box, PR_CAPTURELINK, true);
  f.store.TextDelay = 0;
  MesFixture::SetStr(*box, PR_TEXT, "x<A HREF=\"go.nsb\">abc</A>");
  f.Frames(2);
  auto* a = static_cast<TWdChar*>(box->Word().Glyph(1));
  const TRect cell = a->BoundsRect().Offset(a->Parent->X, a->Parent->Y);
  EXPECT_EQ(f.scene.Displayed().HitTest(TPoint{cell.Left + 2, cell.Top + 8}, kGeneralModes), box);
  EXPECT_EQ(f.scene.Displayed().HitTest(TPoint{2, cell.Top + 8}, kGeneralModes), &f.scene.Displayed());
}

TEST(MesEvents, ReadMarksCountPagesTypedToTheEnd) {
  MesFixture f;
  f.texts.Add("p.nsb", {std::nullopt, Compiled("one<CLEAR>two", 0)});
  TNovaMes* box = f.Box("mes", 0, 0, 320, 100);
  TNovaMes* other = f.Box("other", 0, 120, 320, 100);
  MesFixture::SetStr(*box, PR_ONPLAYSTART, "s.nsb");
  auto show = [&] {
    box->ClearReadRequest();
    box->SetReadRequest("p.nsb", 1);
    box->ShowCompiledText("p.nsb", 1);
  };
  show();
  EXPECT_EQ(MesFixture::Int(*box, PR_COUNT), 2);
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:101(0)"}));
  // Another box finishing its page does not commit this box's pending mark.
  MesFixture::SetStr(*other, PR_TEXT, "z");
  f.Frames(3);
  EXPECT_TRUE(f.marks.IsRead("p.nsb", 1, 0));
  EXPECT_FALSE(f.marks.IsRead("p.nsb", 1, 1));
  show();
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:101(1)"}));
  // A page left before its end is not read.
  MesFixture::Set(*box, PR_INDEX, 1);
  f.TakeEvents();
  show();
  EXPECT_FALSE(f.marks.IsRead("p.nsb", 1, 1));
  f.marks.ClearAll();
  f.TakeEvents();
  show();
  EXPECT_EQ(f.TakeEvents(), (std::vector<std::string>{"mes:101(0)"}));
}

}  // namespace
}  // namespace nova::test
