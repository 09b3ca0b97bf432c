// The list box's layout, geometry and painting.
#include <algorithm>
#include <exception>
#include <initializer_list>

#include "components/images/nova_box.h"
#include "components/lists/nova_list_box.h"
#include "text/label_list.h"

namespace nova {

namespace {

constexpr int kScrollCells = 7;  // up, up pressed, down, down pressed, track, track pressed, thumb
constexpr int kUpCell = 0, kDownCell = 2, kTrackCell = 4, kThumbCell = 6;
constexpr int kCheckCells = 2;    // unhovered, hovered

int32_t WidestLabel(const TKtLabelList& list) {
  int32_t w = 0;
  for (const auto& label : list.Labels) w = std::max(w, label->Width);
  return w;
}

// The largest width (or height) among the frame pictures of one column (or row) of cells.
int32_t LargestCell(const TNovaCustomListBox& box, std::initializer_list<int> cells,
                    int32_t (TListBoxPicture::*size)() const) {
  int32_t v = 0;
  for (int c : cells) v = std::max(v, (box.Cell(c).*size)());
  return v;
}

// Narrows the surface's clip to r for the duration of a scope.
class TClipScope {
public:
  TClipScope(TCustomDIBX& d, const TRect& r) : d_(d), saved_(d.GetClipRect()) {
    const TRect area = Intersect(d.EffectiveClip(), r);
    d.ResetClip();
    d.AddClip(area.Empty() ? TRect{r.Left, r.Top, r.Left, r.Top} : area);
    empty_ = area.Empty();
  }
  ~TClipScope() { d_.SetClipRect(saved_); }
  bool Empty() const { return empty_; }

private:
  TCustomDIBX& d_;
  TRect saved_;
  bool empty_ = false;
};

}  // namespace

// ---- layout ----

void TNovaCustomListBox::Layout() {
  layoutDirty_ = false;
  // A font that cannot be measured leaves the items without width and height.
  try {
    labels_->MeasureAll();
    hoverLabels_->MeasureAll();
  } catch (const std::exception&) {
  }
  // Rows are as high as the font: a label's border may reach into the line space and the margins.
  rowHeight_ = labels_->Labels.empty() ? 0 : std::max(0, labels_->FontSize);
  const int32_t textWidth = std::max(WidestLabel(*labels_), WidestLabel(*hoverLabels_));
  const int32_t leftColumn = LargestCell(*this, {0, 3, 6}, &TListBoxPicture::Width);
  const int32_t rightColumn = LargestCell(*this, {2, 5, 8}, &TListBoxPicture::Width);
  const int32_t topRow = LargestCell(*this, {0, 1, 2}, &TListBoxPicture::Height);
  const int32_t bottomRow = LargestCell(*this, {6, 7, 8}, &TListBoxPicture::Height);
  const int32_t barWidth = Scrolling() ? scroll_->Width() / kScrollCells : 0;
  const int32_t checkWidth = check_->Width() / kCheckCells;
  const int32_t rows = std::max(0, std::min(rowCount_, ItemCount()));
  const int32_t width = textWidth + 2 * borderWidth_ + leftColumn + rightColumn + 2 * marginX_ + barWidth + checkWidth;
  const int32_t textHeight = rows > 0 ? rows * rowHeight_ + (rows - 1) * lineSpace_ : 0;
  const int32_t height = textHeight + 2 * borderWidth_ + topRow + bottomRow + 2 * marginY_;
  ApplyLayoutSize(width, height);
}

void TNovaCustomListBox::ApplyLayoutSize(int32_t width, int32_t height) {
  SetBounds(left_, top_, width, height);
}

TNovaCustomListBox::TGeometry TNovaCustomListBox::Geometry() {
  TGeometry g;
  g.Outer = DrawnRect();
  const int32_t b = borderWidth_;
  g.Inner = TRect{g.Outer.Left + b, g.Outer.Top + b, g.Outer.Right - b, g.Outer.Bottom - b};
  g.LeftColumn = LargestCell(*this, {0, 3, 6}, &TListBoxPicture::Width);
  g.RightColumn = LargestCell(*this, {2, 5, 8}, &TListBoxPicture::Width);
  g.TopRow = LargestCell(*this, {0, 1, 2}, &TListBoxPicture::Height);
  g.BottomRow = LargestCell(*this, {6, 7, 8}, &TListBoxPicture::Height);
  g.CheckWidth = check_->Width() / kCheckCells;
  g.CheckHeight = check_->Height();
  g.Bar = Scrolling() && !scroll_->Empty();
  g.BarWidth = g.Bar ? scroll_->Width() / kScrollCells : 0;
  g.ArrowHeight = g.Bar ? scroll_->Height() : 0;
  g.X0 = g.Inner.Left + marginX_ + g.LeftColumn + g.CheckWidth;
  g.Y0 = g.Inner.Top + marginY_ + g.TopRow;
  g.W = g.Inner.Right - g.RightColumn - marginX_ - g.X0 - g.BarWidth;
  g.Step = rowHeight_ + lineSpace_;
  g.HalfGap = std::min(marginY_, lineSpace_ / 2);
  if (g.Bar) {
    const int32_t x = g.X0 + g.W;
    const int32_t a = g.ArrowHeight;
    g.UpArrow = TRect::FromSize(x, g.Inner.Top + g.TopRow, g.BarWidth, a);
    g.DownArrow = TRect::FromSize(x, g.Inner.Bottom - g.BottomRow - a, g.BarWidth, a);
    g.Track = TRect{x, g.UpArrow.Bottom, x + g.BarWidth, g.DownArrow.Top};
    const int32_t travel = height_ - 2 * borderWidth_ - g.TopRow - g.BottomRow - 3 * a;
    const int32_t spare = ItemCount() - rowCount_;
    const int32_t thumbY =
        g.Inner.Top + g.TopRow + a + (spare > 0 ? static_cast<int32_t>(int64_t{travel} * topIndex_ / spare) : 0);
    g.Thumb = TRect::FromSize(x, thumbY, g.BarWidth, a);
  }
  return g;
}

TRect TNovaCustomListBox::CellRect(const TGeometry& g, int cell) {
  const TListBoxPicture& p = *cells_[static_cast<size_t>(cell)];
  const TRect& in = g.Inner;
  const int32_t colLeft = in.Left + g.LeftColumn, colRight = in.Right - g.RightColumn;
  const int32_t rowTop = in.Top + g.TopRow, rowBottom = in.Bottom - g.BottomRow;
  int32_t left = 0, right = 0, top = 0, bottom = 0;
  switch (cell % 3) {
    case 0: left = colLeft - p.Width(), right = colLeft; break;    // right-aligned to the left column
    case 1: left = colLeft, right = colRight; break;                 // between the columns
    default: left = colRight, right = colRight + p.Width(); break;  // from the right column
  }
  switch (cell / 3) {
    case 0: top = rowTop - p.Height(), bottom = rowTop; break;
    case 1: top = rowTop, bottom = rowBottom; break;
    default: top = rowBottom, bottom = rowBottom + p.Height(); break;
  }
  return TRect{left, top, right, bottom};
}

// ---- painting ----

void TNovaCustomListBox::PaintSelf(TCustomDIBX& d) {
  if (layoutDirty_ && LayoutOnPaint()) Layout();
  const int32_t a = std::min(alpha_, kMaxBlend);
  if (a <= 0 || width_ < 1 || height_ < 1) return;
  const TGeometry g = Geometry();
  auto pixel = [&](int32_t colour) {
    return static_cast<uint32_t>(d.ColorToPixel(a >= 256 ? ScaleColor(colour, a - 256) : colour));
  };
  if (borderWidth_ > 0 && borderColor_ != -1) {
    if (a <= 254) d.FrameRectAlpha(g.Outer, borderWidth_, a, pixel(borderColor_));
    else if (a == 255) d.FrameRect(g.Outer, borderWidth_, pixel(borderColor_));
    else d.FrameRectAdd(g.Outer, borderWidth_, pixel(borderColor_));
  }
  if (color_ != -1) {
    if (a <= 254) d.FillRectAlpha(g.Inner, pixel(color_), a);
    else if (a == 255) d.FillRect(g.Inner, pixel(color_));
    else d.FillRectAdd(g.Inner, pixel(color_));
  }
  PaintCells(d, g, a);
  if (g.Bar) PaintScrollBar(d, g, a);
  PaintRows(d, g, a);
}

void TNovaCustomListBox::PaintCells(TCustomDIBX& d, const TGeometry& g, int32_t a) {
  for (int i = 0; i < kCells; ++i) {
    TListBoxPicture& p = *cells_[static_cast<size_t>(i)];
    TCustomDIBX* s = p.Surface();
    if (!s) continue;
    TRect cell = CellRect(g, i);
    if (i == 4 && g.Bar && BarNarrowsCentre()) cell.Right -= g.BarWidth;
    int32_t originX = 0, originY = 0;
    if (i % 3 == 1) originX = AlignedPatternStart(cell.Width(), s->GetWidth(), cellHAlign_[static_cast<size_t>(i)]);
    if (i / 3 == 1) originY = AlignedPatternStart(cell.Height(), s->GetHeight(), cellVAlign_[static_cast<size_t>(i)]);
    // Cells are cut to the inner rectangle vertically; the pattern keeps its place.
    const TRect shown{cell.Left, std::max(cell.Top, g.Inner.Top), cell.Right, std::min(cell.Bottom, g.Inner.Bottom)};
    if (shown.Empty()) continue;
    PatternPicture(d, shown, originX - (shown.Left - cell.Left), originY - (shown.Top - cell.Top), s, p.Mask(), a);
  }
}

void TNovaCustomListBox::PaintScrollBar(TCustomDIBX& d, const TGeometry& g, int32_t a) {
  TCustomDIBX* s = scroll_->Surface();
  if (!s) return;
  TCustomDIBX* m = scroll_->Mask();
  const int32_t w = g.BarWidth, h = g.ArrowHeight;
  auto part = [&](int cell) { return TRect::FromSize(cell * w, 0, w, h); };
  const bool upPressed = arrowPressed_ && dragMode_ == kUpArrow;
  const bool downPressed = arrowPressed_ && dragMode_ == kDownArrow;
  const int trackCell = kTrackCell + (trackPressed_ ? 1 : 0);
  if (h > 0 && !g.Track.Empty()) {
    TClipScope clip(d, g.Track);
    if (!clip.Empty())
      for (int32_t y = g.Track.Top; y < g.Track.Bottom; y += h) DrawPicturePart(d, g.Track.Left, y, part(trackCell), s, m, a);
  }
  DrawPicturePart(d, g.UpArrow.Left, g.UpArrow.Top, part(kUpCell + (upPressed ? 1 : 0)), s, m, a);
  DrawPicturePart(d, g.DownArrow.Left, g.DownArrow.Top, part(kDownCell + (downPressed ? 1 : 0)), s, m, a);
  DrawPicturePart(d, g.Thumb.Left, g.Thumb.Top, part(kThumbCell), s, m, a);
}

void TNovaCustomListBox::PaintRows(TCustomDIBX& d, const TGeometry& g, int32_t a) {
  const int32_t count = ItemCount();
  const int32_t hoverColour = HoverColor();
  labels_->Target = &d;
  hoverLabels_->Target = &d;
  labels_->Alpha = hoverLabels_->Alpha = std::min(a, 255);
  TCustomDIBX* checks = check_->Surface();
  for (int32_t k = 0; k < rowCount_ && topIndex_ + k < count; ++k) {
    const int32_t item = topIndex_ + k;
    const int32_t y = g.Y0 + k * g.Step;
    const bool hovered = item == hovered_;
    if (hovered && hoverColour != -1) {
      const TRect r = TRect::FromSize(g.Inner.Left + g.LeftColumn + 1, y - g.HalfGap,
                                      2 * marginX_ + g.W + g.CheckWidth - 2, rowHeight_ + 2 * g.HalfGap);
      const uint32_t px = static_cast<uint32_t>(d.ColorToPixel(a >= 256 ? ScaleColor(hoverColour, a - 256) : hoverColour));
      if (a <= 254) d.FillRectAlpha(r, px, a);
      else if (a == 255) d.FillRect(r, px);
      else d.FillRectAdd(r, px);
    }
    TKtLabelList& list = hovered ? *hoverLabels_ : *labels_;
    TKtLabelDIB& label = *list.Labels[static_cast<size_t>(item)];
    int32_t x = g.X0;
    if (hAlign_ == HA_CENTER) x += (g.W - label.Width) / 2;
    else if (hAlign_ == HA_RIGHT) x += g.W - label.Width;
    // A font that cannot be drawn leaves the row without its text.
    try {
      list.Draw(label, x, y);
    } catch (const std::exception&) {
    }
    if (checks && checks_[static_cast<size_t>(item)] != 0)
      DrawPicturePart(d, g.X0 - g.CheckWidth, y + (rowHeight_ - g.CheckHeight) / 2,
                      TRect::FromSize(hovered ? g.CheckWidth : 0, 0, g.CheckWidth, g.CheckHeight), checks,
                      check_->Mask(), a);
  }
}

}  // namespace nova
