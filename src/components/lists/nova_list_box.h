#pragma once
// TNovaCustomListBox: a list of text items (the lines of PR_TEXT) inside a nine-cell picture
// border, with a scroll bar when there are more items than rows and a check mark per item.
// Items are drawn from two caption lists: the normal labels and, for the hovered item, the
// hover labels (the same texts in the hover font settings). The mouse hovers and chooses items
// and works the scroll bar (arrows and track repeat while held); Up, Down, Page Up and Page
// Down move the hovered item. Choosing an item sets PR_INDEX, @SelStr and @SelIndex and posts
// PR_ONSELECT. The size follows the labels, the border cells, the margins and the row count
// (the layout runs at the next update or paint after a change).
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "components/component_services.h"
#include "components/lists/item_list.h"
#include "components/lists/list_box_picture.h"
#include "objects/nova_control.h"

namespace nova {

class TKtLabelList;
class TKtLabelDIB;

class TNovaCustomListBox : public TNovaControl, public TNovaItemList {
public:
  static constexpr int kCells = 9;
  // Pointer interaction (drag mode).
  static constexpr int32_t kNoDrag = -1, kThumb = 0, kUpArrow = 1, kDownArrow = 2, kTrackUp = 3, kTrackDown = 4,
                           kItemArea = 5;
  // Held arrows and track repeat first after this time, then at the shorter interval.
  static constexpr int32_t kFirstRepeatMs = 300, kRepeatMs = 50;

  TNovaCustomListBox(TNovaBaseList* scene, TComponentServices& services);
  ~TNovaCustomListBox() override;

  // ---- items ----
  const std::string& Text() const { return text_; }
  // Splits the text into items (leading bytes and trailing characters below 32 dropped first),
  // clears the check marks, scrolls to the top and marks the layout dirty.
  void SetText(const std::string& text);
  int ItemCount() const override;
  const std::string& ItemText(int index) const;
  bool GetItemCheck(int index) override;
  void SetItemCheck(int index, bool on) override;
  int32_t TopIndex() const { return topIndex_; }
  // Clamped to 0 .. items - rows (0 when all items fit).
  void SetTopIndex(int32_t top);
  int32_t RowCount() const { return rowCount_; }
  bool Scrolling() const { return ItemCount() > rowCount_; }
  int32_t Hovered() const { return hovered_; }
  // Posts PR_ONMAPOUT when the hover leaves every item, PR_ONMAPIN when it reaches one.
  void SetHovered(int32_t item);
  int32_t Index() const { return index_; }
  TKtLabelList& Labels() { return *labels_; }
  TKtLabelList& HoverLabels() { return *hoverLabels_; }

  // ---- pictures ----
  // Cells 0..8 row by row: corners 0, 2, 6, 8; edges 1 (top), 3 (left), 5 (right), 7 (bottom);
  // 4 the background.
  void SetCellSource(int cell, const std::string& name);
  const TListBoxPicture& Cell(int cell) const { return *cells_[static_cast<size_t>(cell)]; }
  void SetScrollSource(const std::string& name);
  void SetCheckSource(const std::string& name);

  // ---- layout ----
  // Measures both label lists and sets the size.
  void Layout();
  bool LayoutDirty() const { return layoutDirty_; }
  void MarkLayoutDirty() { layoutDirty_ = true; }
  // The height of one row of text (the font height, whatever the labels' border adds).
  int32_t RowHeight() const { return rowHeight_; }

  // Where everything lies for the current rectangle (screen coordinates).
  struct TGeometry {
    TRect Outer, Inner;                 // the drawn rectangle and the one inside the border line
    int32_t LeftColumn = 0, RightColumn = 0, TopRow = 0, BottomRow = 0;  // border cell extents
    int32_t CheckWidth = 0, CheckHeight = 0;
    bool Bar = false;                   // the scroll bar is shown
    int32_t BarWidth = 0, ArrowHeight = 0;
    int32_t X0 = 0, Y0 = 0, W = 0;      // the text area's left, top and width
    int32_t Step = 0;                   // row height + line space
    int32_t HalfGap = 0;                // min(margin y, line space / 2)
    TRect UpArrow, DownArrow, Track, Thumb;
  };
  TGeometry Geometry();
  // The item under a screen point, or -1.
  int32_t ItemAt(TPoint point);
  // The scroll bar part under a screen point (kThumb .. kTrackDown), else kItemArea.
  int32_t PartAt(TPoint point);

  // ---- input ----
  int32_t DragMode() const { return dragMode_; }
  bool ArrowPressedLook() const { return arrowPressed_; }
  bool TrackPressedLook() const { return trackPressed_; }
  // Chooses the hovered item: PR_INDEX, @SelStr, @SelIndex, PR_ONSELECT.
  void Select();

  bool Paused() const override { return paused_; }
  void DoLButtonDown(TPoint mouse) override;
  void DoLButtonUp(TPoint mouse) override;
  void DoMouseMove(TPoint mouse) override;
  void DoMouseOut() override;
  void DoCaptureTick() override;
  void FireKeyEvent(int code, const std::vector<int>& keys) override;
  bool Update(uint32_t elapsedMs) override;

  bool GetProperty(int id, TPropValue& value) override;
  bool SetProperty(int id, const TPropValue& value) override;
  void SaveToStream(TStream& s) override;
  void LoadFromStream(TStream& s, int32_t version) override;

protected:
  void PaintSelf(TCustomDIBX& target) override;
  // The highlight colour of the hovered row (-1: none; menus have one).
  virtual int32_t HoverColor() const { return -1; }
  // Whether items react to the mouse and keys now (menus: not while closed or closing).
  virtual bool ItemsActive() const { return true; }
  // Whether the layout may run while painting (menus: not during their animation).
  virtual bool LayoutOnPaint() const { return true; }
  // Takes the size the layout computed (menus keep their animated height).
  virtual void ApplyLayoutSize(int32_t width, int32_t height);
  // Whether a shown scroll bar narrows the background cell (menus: not while animating).
  virtual bool BarNarrowsCentre() const { return true; }
  // A choice by mouse release (menus close afterwards with auto-scrap).
  virtual void ItemChosen() { Select(); }
  // The key-repeat step: Up, Down, Page Up, Page Down move the hovered item.
  virtual void KeyStep(const std::vector<int>& keys);
  // Advances the border cells' loops, repainting a cell whose frame changed.
  void AnimateCells(uint32_t elapsedMs);
  // @SelStr and @SelIndex.
  void SetSelection(const std::string& text, int32_t index);
  // Repaints a part of the control (screen coordinates).
  void InvalidatePart(TRect rect);
  // Scrolls by rows (negative: up), clamped.
  void ScrollBy(int32_t rows);

  TComponentServices& services_;
  std::unique_ptr<TKtLabelList> labels_, hoverLabels_;
  std::string text_;
  std::vector<uint8_t> checks_;
  int32_t lineSpace_ = 0, alpha_ = 255, marginX_ = 0, marginY_ = 0, borderWidth_ = 0, borderColor_ = -1;
  int32_t rowCount_ = 1;
  std::array<std::unique_ptr<TListBoxPicture>, kCells> cells_;
  std::array<uint8_t, kCells> cellHAlign_{}, cellVAlign_{};
  std::unique_ptr<TListBoxPicture> scroll_, check_;
  int32_t topIndex_ = 0;
  uint8_t hAlign_ = 0;
  int32_t hovered_ = -1;
  int32_t index_ = -1;
  bool paused_ = false;
  std::string onSelect_, onIdle_, onMapIn_, onMapOut_;
  int32_t dragMode_ = kNoDrag;
  int32_t dragOffset_ = 0;
  bool arrowPressed_ = false, trackPressed_ = false;
  int32_t repeatCountdown_ = 0;
  uint32_t lastTick_ = 0;
  bool layoutDirty_ = true;
  int32_t rowHeight_ = 0;
  // The open/close animation step of menus; saved with the list box's fields.
  int32_t phase_ = 0;

private:
  void LoadPicture(TListBoxPicture& picture, const std::string& name);
  void FontChanged(bool remeasure);
  TRect CellRect(const TGeometry& g, int cell);
  void PaintCells(TCustomDIBX& d, const TGeometry& g, int32_t blend);
  void PaintScrollBar(TCustomDIBX& d, const TGeometry& g, int32_t blend);
  void PaintRows(TCustomDIBX& d, const TGeometry& g, int32_t blend);
  void DragThumb(TPoint mouse);
  void StartRepeat();
};

}  // namespace nova
