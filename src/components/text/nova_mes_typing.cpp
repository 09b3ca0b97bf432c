// The message box at work: the per-frame update with the typing step, painting, and the link
// hover and click.
//
// Typing keeps a time account per page: the next glyph is revealed while the account is 0 or
// below, and each revealed glyph adds its wait (a wait w >= 0 scaled by the speed rate / 256,
// a negative wait -w as it is). Revealed glyphs fade in over PR_DELAY ms: every frame adds
// elapsed x 256 / fade time to their alpha. EVENT glyphs (with a PR_ONNOTIFY handler) are
// collected and posted once every fade has ended; typing goes on in the next frame.
#include <algorithm>

#include "base/sjis.h"
#include "components/component_services.h"
#include "components/text/nova_mes.h"
#include "components/images/picture_frames.h"
#include "components/text/read_list.h"
#include "objects/scene.h"
#include "render/dibx.h"
#include "text/markup.h"
#include "text/page_render.h"

namespace nova {

namespace {

bool IsDrawn(const TWdGlyph* g) { return g->Kind() == gkChar || g->Kind() == gkImg; }

// The next glyph to reveal, or null past the last row (rows without glyphs are passed over).
TWdGlyph* NextGlyph(TWdPage& page) {
  TWdTypingState& t = page.Typing;
  while (t.RowIndex < static_cast<int32_t>(page.Rows.size())) {
    TWdRow& row = *page.Rows[static_cast<size_t>(t.RowIndex)];
    if (t.GlyphIndex < static_cast<int32_t>(row.Children.size())) return row.Children[static_cast<size_t>(t.GlyphIndex)];
    ++t.RowIndex;
    t.GlyphIndex = 0;
  }
  return nullptr;
}

TWdRow* NextRow(TWdPage& page) {
  NextGlyph(page);
  const int32_t r = page.Typing.RowIndex;
  return r < static_cast<int32_t>(page.Rows.size()) ? page.Rows[static_cast<size_t>(r)].get() : nullptr;
}

std::vector<std::string> LinesOf(const std::string& value) { return SplitMarkupLines(value); }

}  // namespace

// ---- typing ----

int32_t TNovaMes::WaitOf(const TWdGlyph* g) const {
  int32_t w = 0;
  if (IsDrawn(g)) w = static_cast<const TWdReal*>(g)->Wait;
  else return 0;
  if (w >= 0) return static_cast<int32_t>(int64_t{w} * std::max(0, rate_) / 256);
  return rate_ >= 0 ? -w : 0;
}

bool TNovaMes::StillTyping() const {
  const TWdPage* page = CurrentPage();
  if (!page) return false;
  const TWdTypingState& t = page->Typing;
  if (!t.Fading.empty()) return true;
  auto& p = const_cast<TWdPage&>(*page);
  TWdRow* row = NextRow(p);
  if (!row) return false;
  if (PagingOn()) return !(paused_ || textPaused_);
  const int32_t height = word_.Settings.PageHeight;
  return height <= 0 || row->Y + row->Height - t.Scroll <= height;
}

void TNovaMes::PlaceCaret(TWdPage& page) {
  TWdTypingState& t = page.Typing;
  TWdGlyph* next = NextGlyph(page);
  if (next) {
    const TWdRow& row = *page.Rows[static_cast<size_t>(t.RowIndex)];
    word_.Settings.Caret = TPoint{row.X + next->X, row.Y - t.Scroll};
    caretHeight_ = row.Height;
    return;
  }
  // After the last glyph: at the right end of the one revealed last.
  for (auto r = page.Rows.rbegin(); r != page.Rows.rend(); ++r) {
    if ((*r)->Children.empty()) continue;
    const TWdGlyph* last = (*r)->Children.back();
    word_.Settings.Caret = TPoint{(*r)->X + last->X + last->Width, (*r)->Y - t.Scroll};
    caretHeight_ = (*r)->Height;
    return;
  }
}

bool TNovaMes::TypingStep(TWdPage& page, uint32_t elapsedMs, bool& finished) {
  TWdTypingState& t = page.Typing;
  finished = false;
  int64_t e = elapsedMs;
  // 1. The end of the page, reported once.
  if (!t.Finished && !NextGlyph(page) && t.Fading.empty()) {
    t.Finished = true;
    finished = true;
  }
  // 2., 3.
  changed_.clear();
  if (t.StartSkip) {
    t.StartSkip = false;
    return false;
  }
  bool revealed = false;
  // 4. Revealing.
  if (NextGlyph(page) && !paused_ && !textPaused_ && t.PendingEvents.empty()) {
    if (t.RowIndex == 0 && t.GlyphIndex == 0) {
      t.TimeAccount = 0;
      t.FadeAccount = 0;
      e = 0;
    } else if (t.SkipElapsed) {
      t.SkipElapsed = false;
      e = 0;
    }
    t.TimeAccount = static_cast<int32_t>(t.TimeAccount - e);
    const int32_t pageHeight = word_.Settings.PageHeight;
    while (t.TimeAccount <= 0) {
      TWdGlyph* g = NextGlyph(page);
      if (!g) break;
      const TWdRow& row = *page.Rows[static_cast<size_t>(t.RowIndex)];
      if (pageHeight > 0 && row.Y - t.Scroll > pageHeight) break;
      t.TimeAccount += WaitOf(g);
      if (IsDrawn(g)) {
        auto* r = static_cast<TWdReal*>(g);
        r->Alpha = 0;
        t.Fading.push_back(r);
        if (g->Kind() == gkImg) {
          auto* img = static_cast<TWdImg*>(g);
          if (img->Picture && img->Picture->FrameCount() > 1) t.Animated.push_back(img);
        }
        revealed = true;
      }
      ++t.GlyphIndex;
      PlaceCaret(page);
      if (g->Kind() == gkEvent && !onNotify_.empty()) {
        auto* ev = static_cast<TWdOpeEvent*>(g);
        if (!t.PendingEvents.empty()) t.PendingEvents += '\t';
        t.PendingEvents += ev->Text;
        t.SkipElapsed = true;
        TWdGlyph* after = NextGlyph(page);
        if (ev->Stop || !after || after->Kind() != gkEvent) break;
      }
    }
  }
  // 5. Fading.
  const int32_t fade = word_.Settings.FadeSpeed;
  t.FadeAccount = static_cast<int32_t>(t.FadeAccount + e * 256);
  const int32_t step = fade > 0 ? t.FadeAccount / fade : 255;
  if (step > 0 && !t.Fading.empty()) {
    t.FadeAccount %= std::max(fade, 1);
    std::vector<TWdReal*> still;
    for (TWdReal* r : t.Fading) {
      r->Alpha = std::min(255, r->Alpha + step);
      changed_.push_back(GlyphRect(*r));
      if (r->Alpha <= 254) still.push_back(r);
    }
    t.Fading.swap(still);
  } else if (step > 0) {
    t.FadeAccount %= std::max(fade, 1);
  }
  // 6. Animated images.
  for (TWdImg* img : t.Animated)
    if (auto* pic = dynamic_cast<TMesPicture*>(img->Picture.get()); pic && pic->Frames.Step(static_cast<uint32_t>(e)))
      changed_.push_back(GlyphRect(*img));
  // 7. The collected events, once every fade has ended.
  if (!t.PendingEvents.empty() && t.Fading.empty()) SendNotifications(page);
  return revealed;
}

void TNovaMes::SendNotifications(TWdPage& page) {
  std::string pending;
  pending.swap(page.Typing.PendingEvents);
  size_t start = 0;
  for (;;) {
    size_t tab = pending.find('\t', start);
    std::string value = pending.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
    PostEventIfFree(PR_ONNOTIFY, LinesOf(value), false);
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  page.Typing.SkipElapsed = true;
}

bool TNovaMes::Update(uint32_t elapsedMs) {
  if (startDelay_ > 0) {
    --startDelay_;
    return false;
  }
  if (Scene() && Scene()->Events().FindPendingEvent(this, PR_ONPLAYSTART) >= 0) return false;
  EnsureRendered();
  TWdPage* page = CurrentPage();
  if (!page) return false;
  bool finished = false;
  const bool revealed = TypingStep(*page, elapsedMs, finished);
  // Every frame that reveals something posts its own event, also while an earlier one is still
  // queued or running: the handler counts or follows the typing frame by frame.
  if (revealed && !onPlaying_.empty()) PostEventIfFree(PR_ONPLAYING, {}, false);
  if (finished) {
    if (readList_) readList_->Commit(Name());
    if (!onPlayEnd_.empty()) PostEventIfFree(PR_ONPLAYEND, {}, false);
  }
  for (const TRect& r : changed_) InvalidatePageRect(r);
  changed_.clear();
  return false;
}

// ---- painting ----

TPoint TNovaMes::PageOrigin() {
  const TWdPage* page = CurrentPage();
  return TPoint{ScreenLeft(), ScreenTop() - (page ? page->Typing.Scroll : scroll_)};
}

TRect TNovaMes::GlyphRect(const TWdGlyph& g) const {
  if (g.Kind() == gkChar) return static_cast<const TWdChar&>(g).LastDrawn;
  TRect r = g.BoundsRect();
  if (const TWdComposite* row = g.Parent) r = r.Offset(row->X, row->Y);
  return r;
}

void TNovaMes::InvalidatePageRect(const TRect& pageRect) {
  if (pageRect.Empty() || !Visible() || !Screen()) return;
  const TPoint o = PageOrigin();
  TRect r = Intersect(pageRect.Offset(o.X, o.Y), DrawnRect());
  if (Parent()) r = Intersect(r, Parent()->HitRect());
  if (TRect clip = ClipRect(); !clip.Empty()) r = Intersect(r, clip);
  if (!r.Empty()) InvalidateRect(r);
}

int32_t TNovaMes::ImageBlend(int32_t g) const {
  const int32_t a = word_.Settings.Option;
  if (a == 255) return g;
  if (a < 255) return g * std::max(a, 0) >> 8;
  return g * (std::min(a, 511) - 256) / 256 + 256;
}

void TNovaMes::PaintSelf(TCustomDIBX& surface) {
  if (!Visible() || !Parent()) return;
  EnsureRendered();
  TWdPage* page = CurrentPage();
  if (!page || surfaceRefused_) return;
  word_.Settings.OriginX = ScreenLeft();
  word_.Settings.OriginY = ScreenTop();
  const TPoint o = PageOrigin();
  const TRect clip = surface.EffectiveClip();
  for (const auto& row : page->Rows) {
    for (const TWdGlyph* g : row->Children) {
      const uint8_t kind = g->Kind();
      if (kind == gkChar) {
        auto* c = static_cast<const TWdChar*>(g);
        if (c->Alpha > 0 && !Intersect(c->LastDrawn.Offset(o.X, o.Y), clip).Empty()) DrawChar(word_, *c, surface, o.X, o.Y);
      } else if (kind == gkImg) {
        auto* img = static_cast<const TWdImg*>(g);
        auto* pic = dynamic_cast<TMesPicture*>(img->Picture.get());
        if (!pic || img->Alpha <= 0 || pic->Frames.Empty()) continue;
        TPictureFrames::TFrame& f = pic->Frames.Current();
        pic->Frames.Draw(surface, o.X + row->X + img->X, o.Y + row->Y + img->Y, ImageBlend(img->Alpha),
                         TRect{0, 0, f.Surface->GetWidth(), f.Surface->GetHeight()});
      }
    }
  }
}

// ---- links ----

TWdReal* TNovaMes::LinkGlyphAt(TPoint screen) {
  TWdPage* page = CurrentPage();
  if (!page) return nullptr;
  const TPoint o = PageOrigin();
  TWdReal* g = page->HitTest(screen.X - o.X, screen.Y - o.Y);
  return g && !g->Link.empty() ? g : nullptr;
}

TNovaControl* TNovaMes::HitTest(TPoint point, TMouseModes modes) {
  TNovaControl* hit = TNovaControl::HitTest(point, modes);
  if (hit != this || !captureLink_) return hit;
  return LinkGlyphAt(point) ? this : nullptr;
}

void TNovaMes::SetHover(std::vector<TWdReal*> run) {
  if (run == hover_) return;
  TWdPage* page = CurrentPage();
  std::vector<TWdChar*> changed;
  for (TWdReal* r : hover_) {
    r->LinkHover = false;
    if (r->Kind() == gkChar) changed.push_back(static_cast<TWdChar*>(r));
  }
  for (TWdReal* r : run) {
    r->LinkHover = true;
    if (r->Kind() == gkChar) changed.push_back(static_cast<TWdChar*>(r));
  }
  hover_ = std::move(run);
  if (page) page->Typing.Hover = hover_.empty() ? nullptr : hover_.front();
  if (!page || changed.empty()) return;
  TRect area;
  if (glyphs_ && !renderRequested_ && !surfaceRefused_) area = RenderChars(word_, *page, *glyphs_, changed);
  for (TWdChar* c : changed) area = Union(area, c->LastDrawn);
  InvalidatePageRect(area);
}

void TNovaMes::DoMouseMove(TPoint mouse) {
  TWdPage* page = CurrentPage();
  if (!Visible() || !Screen() || !page) {
    TNovaControl::DoMouseMove(mouse);
    return;
  }
  if (paused_ || StillTyping()) {
    ClearHover();
    return;
  }
  TWdReal* g = LinkGlyphAt(mouse);
  if (!g) {
    ClearHover();
    return;
  }
  // The run: the neighbouring glyphs of this page with the same link text (a variable
  // stands before what it expanded into and, like an indent filler, does not break a run).
  std::vector<TWdGlyph*> order;
  for (const auto& row : page->Rows)
    for (TWdGlyph* c : row->Children)
      if (c->Kind() != gkVar && c->Kind() != gkNone) order.push_back(c);
  const auto at = std::find(order.begin(), order.end(), static_cast<TWdGlyph*>(g)) - order.begin();
  auto sameLink = [&](std::ptrdiff_t i) {
    return i >= 0 && i < static_cast<std::ptrdiff_t>(order.size()) && IsDrawn(order[static_cast<size_t>(i)]) &&
           static_cast<const TWdReal*>(order[static_cast<size_t>(i)])->Link == g->Link;
  };
  std::ptrdiff_t first = at, last = at;
  while (sameLink(first - 1)) --first;
  while (sameLink(last + 1)) ++last;
  std::vector<TWdReal*> run;
  for (std::ptrdiff_t i = first; i <= last; ++i) run.push_back(static_cast<TWdReal*>(order[static_cast<size_t>(i)]));
  SetHover(std::move(run));
}

void TNovaMes::DoMouseOut() {
  if (!Visible() || !Screen() || !CurrentPage()) {
    TNovaControl::DoMouseOut();
    return;
  }
  ClearHover();
}

void TNovaMes::DoLButtonDown(TPoint mouse) {
  TNovaBaseList* scene = Scene();
  if (!hover_.empty() && !onLink_.empty() && scene && scene->Events().FindPendingEvent(this, PR_ONLINK) < 0) {
    std::string text;
    for (const TWdReal* r : hover_)
      if (r->Kind() == gkChar) text += static_cast<const TWdChar*>(r)->Text();
    std::vector<std::string> args{text};
    for (std::string& line : LinesOf(hover_.front()->Link)) args.push_back(std::move(line));
    PostEventIfFree(PR_ONLINK, std::move(args), false);
    if (TNovaBase* screen = Screen()) screen->Mouse().LeftPressedThisFrame = false;
    return;
  }
  TNovaControl::DoLButtonDown(mouse);
}

}  // namespace nova
