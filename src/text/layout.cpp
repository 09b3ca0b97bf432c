// Layout: rows and pages from a range of glyphs.
//
// Floating images (alignment LEFT or RIGHT, which only glyph streams can hold) are placed as
// follows: text before the float ends its row; the float gets a row of its own at the current y
// (a "float row", as high as the picture, that does not move y down) with the picture at the
// left limit (LEFT) or against the right limit (RIGHT), and it reserves a band of its size
// beside the text. Rows whose top lies within a band take their left limit from the right edge
// of LEFT bands and their right limit from the left edge of RIGHT bands. An empty row in which
// the next run does not fit beside the bands moves down to the bottom of the band above it.
// Without a width RIGHT floats are placed like LEFT ones. A new page starts without bands.
#include "text/layout.h"

#include <algorithm>
#include <bitset>

#include "base/encoding.h"
#include "base/sjis.h"
#include "text/kt_word.h"

namespace nova {

namespace {

struct TKinsokuSets {
  std::bitset<65536> NoStart, NoEnd;
  TKinsokuSets() {
    Fill(NoStart, Utf8ToSjis("。、｣」』)）､｡!?！？】"));
    Fill(NoEnd, Utf8ToSjis("｢「『（([<【"));
  }
  static void Fill(std::bitset<65536>& set, const std::string& sjis) {
    for (size_t i = 0; i < sjis.size();) {
      size_t len = CharLen(sjis, i);
      unsigned code = static_cast<unsigned char>(sjis[i]);
      if (len == 2) code = code << 8 | static_cast<unsigned char>(sjis[i + 1]);
      set.set(code);
      i += len;
    }
  }
};

const TKinsokuSets& Kinsoku() {
  static const TKinsokuSets sets;
  return sets;
}

// Kind codes instead of dynamic casts: layout asks these for every glyph several times.
const TWdImg* AsImage(const TWdGlyph* g) { return g->Kind() == gkImg ? static_cast<const TWdImg*>(g) : nullptr; }

bool IsFloatImage(const TWdGlyph* g) {
  const TWdImg* img = AsImage(g);
  return img && img->IsFloat();
}

bool IsSwitch(const TWdGlyph* g) {
  uint8_t k = g->Kind();
  return k == gkAlign || k == gkIndent || k == gkUndent;
}

bool IsReturn(const TWdGlyph* g) { return g->Kind() == gkReturn; }

bool IsDrawn(const TWdGlyph* g) { return g->Kind() == gkChar || g->Kind() == gkImg; }

// A glyph that always stands alone in line breaking.
bool IsBoundary(const TWdGlyph* g) { return IsReturn(g) || IsSwitch(g) || IsFloatImage(g); }

struct TBand {
  int32_t Left, Right, Top, Bottom;
  bool OnRight;
};

class TLayout {
public:
  TLayout(TKtWord& word, TWdPageList& pages)
      : word_(word),
        pages_(pages),
        width_(word.Settings.Width),
        pageHeight_(word.Settings.PageHeight),
        spacing_(word.Settings.LineSpacing),
        paging_(word.Settings.Paging && word.Settings.PageHeight > 0),
        defaultSize_(word.Settings.FontSize) {}

  void Run(int first, int last);

private:
  // What a row collects while glyphs are added.
  struct TRowBuild {
    int32_t Width = 0;    // sum of the glyph widths, filler included
    int32_t Text = 0;     // T
    int32_t Center = 0, Top = 0, Bottom = 0;  // tallest image of each alignment
    bool Visible = false; // holds a character or image
  };

  void NewPage();
  void OpenRow(int index);
  void CloseRow() {
    y_ += RowHeight() + spacing_;
    row_ = nullptr;
  }
  bool RowEmpty() const { return row_->Children.size() == (row_->Filler ? 1u : 0u); }
  int32_t RowHeight() const { return row_->Above + row_->TextHeight + row_->Below; }
  void AddToRow(TWdGlyph* g);
  int32_t MeasureRun(int i, int last, int& end) const;
  void PlaceFloat(TWdImg* img);
  void Limits(int32_t y, int32_t& left, int32_t& right) const;
  // The highest bottom among the bands beside y, or y when none is.
  int32_t BandBottom(int32_t y) const;
  void Finish();
  static void FinishRow(TWdRow& row);

  TKtWord& word_;
  TWdPageList& pages_;
  const int32_t width_, pageHeight_, spacing_;
  const bool paging_;
  const int32_t defaultSize_;

  std::vector<TWdPage*> made_;
  TWdPage* page_ = nullptr;
  bool pageClosed_ = false;
  TWdRow* row_ = nullptr;
  int rowFirst_ = 0;       // glyph index the open row started at
  int32_t rowIndent_ = 0;  // the indent when it opened
  TRowBuild rb_;
  int32_t y_ = 0;
  uint8_t align_ = waLeft;
  int32_t indent_ = 0;
  std::vector<TBand> bands_;
};

void TLayout::NewPage() {
  auto page = std::make_unique<TWdPage>(&word_);
  page_ = page.get();
  pages_.push_back(std::move(page));
  made_.push_back(page_);
  y_ = 0;
  bands_.clear();
  pageClosed_ = false;
}

void TLayout::Limits(int32_t y, int32_t& left, int32_t& right) const {
  left = 0;
  right = width_;
  for (const TBand& b : bands_) {
    if (y < b.Top || y >= b.Bottom) continue;
    if (b.OnRight) {
      right = std::min(right, b.Left);
    } else {
      left = std::max(left, b.Right);
    }
  }
}

int32_t TLayout::BandBottom(int32_t y) const {
  int32_t bottom = INT32_MAX;
  for (const TBand& b : bands_)
    if (y >= b.Top && y < b.Bottom) bottom = std::min(bottom, b.Bottom);
  return bottom == INT32_MAX ? y : bottom;
}

void TLayout::OpenRow(int index) {
  if (!page_ || pageClosed_) NewPage();
  auto row = std::make_unique<TWdRow>(&word_);
  row->Y = y_;
  row->Align = align_;
  Limits(y_, row->LeftLimit, row->RightLimit);
  row_ = row.get();
  page_->Rows.push_back(std::move(row));
  rb_ = TRowBuild();
  // An indent that leaves no room in the row does not apply to it (it would only push every
  // character onto a row of its own).
  const bool roomy = width_ == 0 || indent_ < row_->RightLimit - row_->LeftLimit;
  if (indent_ > 0 && roomy) {
    row_->Filler = std::make_unique<TWdSpace>(&word_, indent_);
    row_->Filler->Parent = row_;
    row_->Children.push_back(row_->Filler.get());
    rb_.Width = indent_;
  }
  rowFirst_ = index;
  rowIndent_ = indent_;
}

void TLayout::AddToRow(TWdGlyph* g) {
  if (IsReturn(g)) {
    // An empty line is as high as the default size.
    g->Width = 0;
    g->Height = rb_.Visible ? 0 : defaultSize_;
  }
  g->Parent = row_;
  row_->Children.push_back(g);
  rb_.Width += g->Width;
  const TWdImg* img = AsImage(g);
  if (img && img->Align == waCenter) {
    rb_.Center = std::max(rb_.Center, g->Height);
  } else if (img && img->Align == waTop) {
    rb_.Top = std::max(rb_.Top, g->Height);
  } else if (img && img->Align == waBottom) {
    rb_.Bottom = std::max(rb_.Bottom, g->Height);
  } else {
    rb_.Text = std::max(rb_.Text, g->Height);
  }
  if (IsDrawn(g)) rb_.Visible = true;
  // Image bands from the tallest image of each kind against the final text band, so the order
  // in which images and taller characters arrive does not matter.
  const int32_t t = rb_.Text;
  const int32_t half = rb_.Center > t ? (rb_.Center - t + 1) / 2 : 0;
  row_->TextHeight = t;
  row_->Above = std::max({0, half, rb_.Bottom - t});
  row_->Below = std::max({0, half, rb_.Top - t});
}

int32_t TLayout::MeasureRun(int i, int last, int& end) const {
  const TWdGlyph* g = word_.Glyph(i);
  end = i + 1;
  if (!IsBoundary(g)) {
    auto extend = [&] {
      while (end <= last && !IsBoundary(word_.Glyph(end)) && !BreakAllowed(word_.Glyph(end - 1), word_.Glyph(end)))
        ++end;
    };
    extend();
    // An opening bracket stays with what follows it.
    if (end == i + 1 && MayNotEndLine(g->CharCode()) && end <= last && !IsBoundary(word_.Glyph(end))) {
      ++end;
      extend();
    }
  }
  int32_t width = 0;
  for (int k = i; k < end; ++k) width += word_.Glyph(k)->Width;
  return width;
}

void TLayout::PlaceFloat(TWdImg* img) {
  if (row_) {
    if (RowEmpty()) {
      page_->Rows.pop_back();
      row_ = nullptr;
    } else {
      CloseRow();
    }
  }
  if (!page_ || pageClosed_) {
    NewPage();
  } else if (paging_ && !page_->Rows.empty() && y_ + img->Height > pageHeight_) {
    NewPage();
  }
  auto row = std::make_unique<TWdRow>(&word_);
  const bool onRight = img->Align == waRight && width_ > 0;
  row->Float = true;
  row->Y = y_;
  row->Align = onRight ? waRight : waLeft;
  Limits(y_, row->LeftLimit, row->RightLimit);
  row->TextHeight = img->Height;
  img->Parent = row.get();
  row->Children.push_back(img);
  TBand band;
  band.OnRight = onRight;
  band.Left = onRight ? row->RightLimit - img->Width : row->LeftLimit;
  band.Right = band.Left + img->Width;
  band.Top = y_;
  band.Bottom = y_ + img->Height;
  bands_.push_back(band);
  page_->Rows.push_back(std::move(row));
}

void TLayout::Run(int first, int last) {
  for (int i = first; i <= last; ++i) word_.Glyph(i)->Measure();
  int i = first;
  while (i <= last) {
    TWdGlyph* g = word_.Glyph(i);
    if (g->Kind() == gkAlign) {
      align_ = static_cast<TWdOpeAlign*>(g)->Align;
      if (row_ && !rb_.Visible) row_->Align = align_;
      ++i;
      continue;
    }
    if (g->Kind() == gkIndent) {
      if (row_) indent_ = rb_.Width;
      ++i;
      continue;
    }
    if (g->Kind() == gkUndent) {
      indent_ = 0;
      ++i;
      continue;
    }
    if (IsFloatImage(g)) {
      PlaceFloat(static_cast<TWdImg*>(g));
      ++i;
      continue;
    }
    if (!row_) OpenRow(i);
    int end = i + 1;
    const int32_t run = MeasureRun(i, last, end);
    // A run without width (a line break, an event) never starts a row of its own: after a word
    // that overflowed its row it would leave a blank row behind.
    if (width_ > 0 && run > 0) {
      while (RowEmpty() && rb_.Width + run > row_->RightLimit - row_->LeftLimit && BandBottom(y_) > y_) {
        y_ = BandBottom(y_);
        row_->Y = y_;
        Limits(y_, row_->LeftLimit, row_->RightLimit);
      }
      // An empty row (an indent filler at most) takes the run even when it overflows; closing it
      // would only open the same row again.
      if (!RowEmpty() && rb_.Width + run > row_->RightLimit - row_->LeftLimit) {
        CloseRow();
        continue;
      }
    }
    bool restarted = false;
    for (int k = i; k < end; ++k) {
      TWdGlyph* gk = word_.Glyph(k);
      AddToRow(gk);
      if (paging_ && page_->Rows.size() > 1 && y_ + RowHeight() > pageHeight_) {
        // The row goes to a new page, laid out again from its first glyph.
        i = rowFirst_;
        align_ = row_->Align;
        indent_ = rowIndent_;
        for (TWdGlyph* c : row_->Children) c->Parent = nullptr;
        page_->Rows.pop_back();
        row_ = nullptr;
        pageClosed_ = true;
        restarted = true;
        break;
      }
      if (IsReturn(gk)) {
        CloseRow();
        if (static_cast<TWdOpeReturn*>(gk)->Clear) pageClosed_ = true;
      }
    }
    if (!restarted) i = end;
  }
  Finish();
}

void TLayout::FinishRow(TWdRow& row) {
  int32_t natural = 0;
  for (TWdGlyph* g : row.Children) natural += g->Width;
  int32_t start = row.LeftLimit;
  if (row.Align == waRight) {
    start = row.RightLimit - natural;
  } else if (row.Align == waCenter) {
    start = row.LeftLimit + (row.RightLimit - row.LeftLimit - natural) / 2;
  }
  // A row wider than its limits overflows to the right whatever its alignment.
  start = std::max(start, row.LeftLimit);
  int32_t x = start;
  for (TWdGlyph* g : row.Children) {
    g->X = x;
    x += g->Width;
  }
  row.X = 0;
  row.Width = start + natural;
  row.Height = row.Above + row.TextHeight + row.Below;
  for (TWdGlyph* g : row.Children) {
    const TWdImg* img = AsImage(g);
    if (row.Float || g->Height == 0) {
      g->Y = row.Above;
    } else if (img && img->Align == waCenter) {
      g->Y = row.Above + (row.TextHeight - g->Height) / 2;
    } else if (img && img->Align == waTop) {
      g->Y = row.Above;
    } else {
      g->Y = row.Height - row.Below - g->Height;
    }
  }
}

void TLayout::Finish() {
  int32_t width = width_;
  if (width_ == 0) {
    // Without a width, rows are aligned within the widest one, which becomes the text's width.
    for (TWdPage* page : made_) {
      for (const auto& row : page->Rows) {
        int32_t natural = 0;
        for (TWdGlyph* g : row->Children) natural += g->Width;
        width = std::max(width, row->LeftLimit + natural);
      }
    }
    for (TWdPage* page : made_)
      for (const auto& row : page->Rows) row->RightLimit = width;
    word_.Settings.Width = width;
  }
  for (TWdPage* page : made_) {
    int32_t bottom = 0;
    for (const auto& row : page->Rows) {
      FinishRow(*row);
      bottom = std::max(bottom, row->Y + row->Height);
      for (TWdGlyph* g : row->Children) bottom = std::max(bottom, row->Y + g->Y + g->Height);
    }
    page->X = page->Y = 0;
    page->Width = width;
    page->Height = bottom;
  }
}

}  // namespace

bool MayNotStartLine(uint16_t code) { return code != 0 && Kinsoku().NoStart.test(code); }
bool MayNotEndLine(uint16_t code) { return code != 0 && Kinsoku().NoEnd.test(code); }

bool BreakAllowed(const TWdGlyph* p, const TWdGlyph* g) {
  if (IsBoundary(p) || IsBoundary(g)) return true;
  if (p->NoBreak() && g->NoBreak()) return false;
  const std::string& ruby = g->RubyText();
  if (!ruby.empty() && ruby == p->RubyText()) return false;
  const uint16_t pc = p->CharCode(), gc = g->CharCode();
  if (pc >= 33 && pc <= 255 && gc >= 33 && gc <= 255) return false;
  if (gc == 32 && pc != 32) return false;
  return !MayNotStartLine(gc);
}

void TKtWord::LayoutPages(TWdPageList& pages, int first, int last) {
  if (last < 0 || last >= Count()) last = Count() - 1;
  first = std::max(first, 0);
  if (first > last) return;
  TLayout(*this, pages).Run(first, last);
}

}  // namespace nova
