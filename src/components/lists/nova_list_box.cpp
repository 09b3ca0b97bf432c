// The list box's items, pictures, properties and saved form.
#include "components/lists/nova_list_box.h"

#include <algorithm>
#include <exception>

#include "base/error.h"
#include "base/sjis.h"
#include "base/text_lines.h"
#include "components/lists/load_quietly.h"
#include "params/param_collection.h"
#include "text/label_list.h"

namespace nova {

namespace {

constexpr int32_t kAntialiasQuality = 3;

TFontPixelManager& GlyphsOf(TComponentServices& services) {
  if (!services.Glyphs) RaiseError("TNovaCustomListBox: no glyph cache");
  return *services.Glyphs;
}

// Leading bytes below 32 and trailing characters below 32 go.
std::string StripControls(const std::string& text) {
  size_t begin = 0;
  while (begin < text.size() && static_cast<unsigned char>(text[begin]) < 32) ++begin;
  std::string rest = text.substr(begin);
  while (!rest.empty() && !IsTrailByteAt(rest, rest.size() - 1) && static_cast<unsigned char>(rest.back()) < 32)
    rest.pop_back();
  return rest;
}

// Sets a field; true when it changed.
bool Store(int32_t& field, int32_t value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace

TNovaCustomListBox::TNovaCustomListBox(TNovaBaseList* scene, TComponentServices& services)
    : TNovaControl(scene),
      services_(services),
      labels_(std::make_unique<TKtLabelList>(GlyphsOf(services))),
      hoverLabels_(std::make_unique<TKtLabelList>(GlyphsOf(services))),
      scroll_(std::make_unique<TListBoxPicture>(services.Images)),
      check_(std::make_unique<TListBoxPicture>(services.Images)) {
  for (auto& cell : cells_) cell = std::make_unique<TListBoxPicture>(services.Images);
  color_ = -1;
}

TNovaCustomListBox::~TNovaCustomListBox() = default;

// ---- items ----

int TNovaCustomListBox::ItemCount() const { return static_cast<int>(labels_->Labels.size()); }

const std::string& TNovaCustomListBox::ItemText(int index) const {
  static const std::string none;
  if (index < 0 || index >= ItemCount()) return none;
  return labels_->Labels[static_cast<size_t>(index)]->Text;
}

void TNovaCustomListBox::SetText(const std::string& text) {
  Invalidate();
  text_ = text;
  labels_->Labels.clear();
  hoverLabels_->Labels.clear();
  for (const std::string& line : SplitLines(StripControls(text))) {
    labels_->Add(line);
    hoverLabels_->Add(line);
  }
  checks_.assign(labels_->Labels.size(), 0);
  topIndex_ = 0;
  if (hovered_ >= ItemCount()) hovered_ = -1;
  layoutDirty_ = true;
}

bool TNovaCustomListBox::GetItemCheck(int index) {
  return index >= 0 && index < static_cast<int>(checks_.size()) && checks_[static_cast<size_t>(index)] != 0;
}

void TNovaCustomListBox::SetItemCheck(int index, bool on) {
  if (index < 0 || index >= static_cast<int>(checks_.size())) return;
  uint8_t& flag = checks_[static_cast<size_t>(index)];
  if ((flag != 0) == on) return;
  flag = on ? 1 : 0;
  Invalidate();
}

void TNovaCustomListBox::SetTopIndex(int32_t top) {
  const int32_t items = ItemCount();
  top = items > rowCount_ ? std::clamp(top, 0, items - rowCount_) : 0;
  if (top == topIndex_) return;
  topIndex_ = top;
  Invalidate();
}

void TNovaCustomListBox::ScrollBy(int32_t rows) { SetTopIndex(topIndex_ + rows); }

void TNovaCustomListBox::SetHovered(int32_t item) {
  if (item < -1 || item >= ItemCount()) item = -1;
  if (item == hovered_) return;
  const int32_t old = hovered_;
  hovered_ = item;
  Invalidate();
  if (item < 0) PostEventIfFree(PR_ONMAPOUT, {ItemText(old), std::to_string(old)});
  else PostEventIfFree(PR_ONMAPIN, {ItemText(item), std::to_string(item)});
}

void TNovaCustomListBox::SetSelection(const std::string& text, int32_t index) {
  if (!services_.Store) return;
  services_.Store->SelStr = text;
  services_.Store->SelIndex = index;
}

void TNovaCustomListBox::Select() {
  if (hovered_ < 0 || hovered_ >= ItemCount()) return;
  index_ = hovered_;
  const std::string text = ItemText(hovered_);
  SetSelection(text, hovered_);
  PostEventIfFree(PR_ONSELECT, {text, std::to_string(hovered_)});
}

// ---- pictures ----

void TNovaCustomListBox::LoadPicture(TListBoxPicture& picture, const std::string& name) {
  if (name == picture.Source()) return;
  Invalidate();
  layoutDirty_ = true;
  picture.Load(name, services_);
}

void TNovaCustomListBox::SetCellSource(int cell, const std::string& name) {
  if (cell < 0 || cell >= kCells) return;
  LoadPicture(*cells_[static_cast<size_t>(cell)], name);
}

void TNovaCustomListBox::SetScrollSource(const std::string& name) { LoadPicture(*scroll_, name); }
void TNovaCustomListBox::SetCheckSource(const std::string& name) { LoadPicture(*check_, name); }

void TNovaCustomListBox::AnimateCells(uint32_t elapsedMs) {
  if (aniPaused_) return;
  TGeometry g;
  bool measured = false;
  for (int i = 0; i < kCells; ++i) {
    if (!cells_[static_cast<size_t>(i)]->Step(elapsedMs) || !Visible()) continue;
    if (!measured) g = Geometry(), measured = true;
    InvalidatePart(CellRect(g, i));
  }
}

void TNovaCustomListBox::InvalidatePart(TRect r) {
  if (!Visible() || !Screen()) return;
  r = Intersect(r, DrawnRect());
  if (TNovaControl* parent = Parent()) r = Intersect(r, parent->HitRect());
  if (clipWidth_ >= 1 && clipHeight_ >= 1) r = Intersect(r, ClipRect());
  if (!r.Empty()) InvalidateRect(r);
}

void TNovaCustomListBox::FontChanged(bool remeasure) {
  labels_->MarkAllStale();
  hoverLabels_->MarkAllStale();
  if (remeasure) layoutDirty_ = true;
  Invalidate();
}

// ---- life ----

bool TNovaCustomListBox::Update(uint32_t elapsedMs) {
  AnimateCells(elapsedMs);
  if (layoutDirty_) Layout();
  return false;
}

// ---- properties ----

bool TNovaCustomListBox::GetProperty(int id, TPropValue& v) {
  if (id >= PR_BORDERSOURCETL && id <= PR_BORDERSOURCEBR) {
    v = TPropValue::OfStr(cells_[static_cast<size_t>(id - PR_BORDERSOURCETL)]->Source());
    return true;
  }
  switch (id) {
    case PR_TEXT: v = TPropValue::OfStr(text_); return true;
    case PR_COUNT: v = TPropValue::OfInt(ItemCount()); return true;
    case PR_INDEX: v = TPropValue::OfInt(index_); return true;
    case PR_TOPINDEX: v = TPropValue::OfInt(topIndex_); return true;
    case PR_ROWCOUNT: v = TPropValue::OfInt(rowCount_); return true;
    case PR_LINESPACE: v = TPropValue::OfInt(lineSpace_); return true;
    case PR_ALPHA: v = TPropValue::OfInt(alpha_); return true;
    case PR_MARGINX: v = TPropValue::OfInt(marginX_); return true;
    case PR_MARGINY: v = TPropValue::OfInt(marginY_); return true;
    case PR_BORDERWIDTH: v = TPropValue::OfInt(borderWidth_); return true;
    case PR_BORDERCOLOR: v = TPropValue::OfInt(borderColor_); return true;
    case PR_HALIGN: v = TPropValue::OfInt(hAlign_); return true;
    case PR_BORDERHALIGNT: v = TPropValue::OfInt(cellHAlign_[1]); return true;
    case PR_BORDERHALIGNC: v = TPropValue::OfInt(cellHAlign_[4]); return true;
    case PR_BORDERHALIGNB: v = TPropValue::OfInt(cellHAlign_[7]); return true;
    case PR_BORDERVALIGNL: v = TPropValue::OfInt(cellVAlign_[3]); return true;
    case PR_BORDERVALIGNC: v = TPropValue::OfInt(cellVAlign_[4]); return true;
    case PR_BORDERVALIGNR: v = TPropValue::OfInt(cellVAlign_[5]); return true;
    case PR_SCROLLSOURCE: v = TPropValue::OfStr(scroll_->Source()); return true;
    case PR_CHECKSOURCE: v = TPropValue::OfStr(check_->Source()); return true;
    case PR_FONTNAME: v = TPropValue::OfStr(labels_->FontName); return true;
    case PR_FONTHEIGHT: v = TPropValue::OfInt(labels_->FontSize); return true;
    case PR_FONTSTYLE: v = TPropValue::OfInt(labels_->Style); return true;
    case PR_ANTIALIAS: v = TPropValue::OfFlag(labels_->Quality != 0); return true;
    case PR_FONTCOLOR: v = TPropValue::OfInt(labels_->TextColor); return true;
    case PR_FONTBORDERCOLOR: v = TPropValue::OfInt(labels_->BorderColor); return true;
    case PR_FONTBORDER: v = TPropValue::OfInt(labels_->BorderWidth); return true;
    case PR_FONTSHADOW: v = TPropValue::OfInt(labels_->ShadowOffset); return true;
    case PR_FONTSHADOWCOLOR: v = TPropValue::OfInt(labels_->ShadowColor); return true;
    case PR_FONTHOVERCOLOR: v = TPropValue::OfInt(hoverLabels_->TextColor); return true;
    case PR_FONTHOVERSTYLE: v = TPropValue::OfInt(hoverLabels_->Style); return true;
    case PR_FONTHOVERBORDER: v = TPropValue::OfInt(hoverLabels_->BorderWidth); return true;
    case PR_FONTHOVERBORDERCOLOR: v = TPropValue::OfInt(hoverLabels_->BorderColor); return true;
    case PR_FONTHOVERSHADOW: v = TPropValue::OfInt(hoverLabels_->ShadowOffset); return true;
    case PR_FONTHOVERSHADOWCOLOR: v = TPropValue::OfInt(hoverLabels_->ShadowColor); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_ONSELECT: v = TPropValue::OfStr(onSelect_); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_ONMAPIN: v = TPropValue::OfStr(onMapIn_); return true;
    case PR_ONMAPOUT: v = TPropValue::OfStr(onMapOut_); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaCustomListBox::SetProperty(int id, const TPropValue& v) {
  if (id >= PR_BORDERSOURCETL && id <= PR_BORDERSOURCEBR) {
    SetCellSource(id - PR_BORDERSOURCETL, v.Str);
    return true;
  }
  // Settings that change the size, and settings that change only the picture.
  auto sized = [&](int32_t& field) {
    if (Store(field, v.Int)) layoutDirty_ = true, Invalidate();
  };
  auto shown = [&](int32_t& field) {
    if (Store(field, v.Int)) Invalidate();
  };
  auto align = [&](uint8_t& field) {
    const auto value = static_cast<uint8_t>(v.Int);
    if (value != field) field = value, Invalidate();
  };
  auto font = [&](int32_t& field, bool remeasure) {
    if (Store(field, v.Int)) FontChanged(remeasure);
  };
  auto both = [&](auto member, auto value) {
    labels_.get()->*member = value;
    hoverLabels_.get()->*member = value;
    FontChanged(true);
  };
  switch (id) {
    case PR_TEXT: SetText(v.Str); return true;
    case PR_INDEX: index_ = v.Int; return true;
    case PR_TOPINDEX: SetTopIndex(v.Int); return true;
    case PR_ROWCOUNT:
      sized(rowCount_);
      SetTopIndex(topIndex_);
      return true;
    case PR_LINESPACE: sized(lineSpace_); return true;
    case PR_MARGINX: sized(marginX_); return true;
    case PR_MARGINY: sized(marginY_); return true;
    case PR_BORDERWIDTH: sized(borderWidth_); return true;
    case PR_ALPHA: shown(alpha_); return true;
    case PR_BORDERCOLOR: shown(borderColor_); return true;
    case PR_HALIGN: align(hAlign_); return true;
    case PR_BORDERHALIGNT: align(cellHAlign_[1]); return true;
    case PR_BORDERHALIGNC: align(cellHAlign_[4]); return true;
    case PR_BORDERHALIGNB: align(cellHAlign_[7]); return true;
    case PR_BORDERVALIGNL: align(cellVAlign_[3]); return true;
    case PR_BORDERVALIGNC: align(cellVAlign_[4]); return true;
    case PR_BORDERVALIGNR: align(cellVAlign_[5]); return true;
    case PR_SCROLLSOURCE: SetScrollSource(v.Str); return true;
    case PR_CHECKSOURCE: SetCheckSource(v.Str); return true;
    case PR_FONTNAME: both(&TKtLabelList::FontName, v.Str); return true;
    case PR_FONTHEIGHT: both(&TKtLabelList::FontSize, v.Int); return true;
    case PR_ANTIALIAS: both(&TKtLabelList::Quality, v.Flag ? kAntialiasQuality : 0); return true;
    case PR_FONTSTYLE:
      labels_->Style = static_cast<uint8_t>(v.Int & 0x0F);
      FontChanged(true);
      return true;
    case PR_FONTHOVERSTYLE:
      hoverLabels_->Style = static_cast<uint8_t>(v.Int & 0x0F);
      FontChanged(true);
      return true;
    case PR_FONTCOLOR: font(labels_->TextColor, false); return true;
    case PR_FONTBORDERCOLOR: font(labels_->BorderColor, false); return true;
    case PR_FONTBORDER: font(labels_->BorderWidth, true); return true;
    case PR_FONTSHADOW: font(labels_->ShadowOffset, false); return true;
    case PR_FONTSHADOWCOLOR: font(labels_->ShadowColor, false); return true;
    case PR_FONTHOVERCOLOR: font(hoverLabels_->TextColor, false); return true;
    case PR_FONTHOVERBORDER: font(hoverLabels_->BorderWidth, true); return true;
    case PR_FONTHOVERBORDERCOLOR: font(hoverLabels_->BorderColor, false); return true;
    case PR_FONTHOVERSHADOW: font(hoverLabels_->ShadowOffset, false); return true;
    case PR_FONTHOVERSHADOWCOLOR: font(hoverLabels_->ShadowColor, false); return true;
    case PR_PAUSED: paused_ = v.Flag; return true;
    case PR_ONSELECT: onSelect_ = v.Str; return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    case PR_ONMAPIN: onMapIn_ = v.Str; return true;
    case PR_ONMAPOUT: onMapOut_ = v.Str; return true;
    default: return TNovaControl::SetProperty(id, v);
  }
}

// ---- saved form ----

void TNovaCustomListBox::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  labels_->SaveToStream(s);
  hoverLabels_->SaveToStream(s);
  s.WriteString(text_);
  for (int32_t v : {lineSpace_, alpha_, marginX_, marginY_, borderWidth_, borderColor_, rowCount_}) s.WriteInt32(v);
  for (int i = 0; i < kCells; ++i) {
    s.WriteString(cells_[static_cast<size_t>(i)]->Source());
    s.WriteByte(cellHAlign_[static_cast<size_t>(i)]);
    s.WriteByte(cellVAlign_[static_cast<size_t>(i)]);
  }
  s.WriteString(scroll_->Source());
  s.WriteString(check_->Source());
  s.WriteInt32(topIndex_);
  s.WriteByte(hAlign_);
  for (uint8_t c : checks_) s.WriteByte(c);
  s.WriteString(onSelect_);
  s.WriteByte(paused_);
  s.WriteInt32(index_);
  s.WriteInt32(phase_);
  s.WriteString(onIdle_);
  s.WriteString(onMapIn_);
  s.WriteString(onMapOut_);
}

void TNovaCustomListBox::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  labels_->LoadFromStream(s, version);
  hoverLabels_->LoadFromStream(s, version);
  SetText(s.ReadString());
  for (int32_t* v : {&lineSpace_, &alpha_, &marginX_, &marginY_, &borderWidth_, &borderColor_, &rowCount_})
    *v = s.ReadInt32();
  std::array<std::string, kCells> sources;
  for (int i = 0; i < kCells; ++i) {
    sources[static_cast<size_t>(i)] = s.ReadString();
    cellHAlign_[static_cast<size_t>(i)] = s.ReadByte();
    cellVAlign_[static_cast<size_t>(i)] = s.ReadByte();
  }
  const std::string scroll = s.ReadString();
  const std::string check = s.ReadString();
  const int32_t top = s.ReadInt32();
  if (version < 104) s.ReadByte();
  hAlign_ = s.ReadByte();
  if (static_cast<int64_t>(checks_.size()) > s.Remaining()) RaiseError("list box: the check marks end early");
  for (uint8_t& c : checks_) c = s.ReadByte() != 0 ? 1 : 0;
  onSelect_ = s.ReadString();
  paused_ = s.ReadByte() != 0;
  index_ = s.ReadInt32();
  phase_ = s.ReadInt32();
  if (version > 130) onIdle_ = s.ReadString();
  if (version > 133) {
    onMapIn_ = s.ReadString();
    onMapOut_ = s.ReadString();
  }
  for (int i = 0; i < kCells; ++i) LoadQuietly([&] { SetCellSource(i, sources[static_cast<size_t>(i)]); });
  LoadQuietly([&] { SetScrollSource(scroll); });
  LoadQuietly([&] { SetCheckSource(check); });
  hovered_ = -1;
  dragMode_ = kNoDrag;
  arrowPressed_ = trackPressed_ = false;
  layoutDirty_ = true;
  const int32_t items = ItemCount();
  topIndex_ = items > rowCount_ ? std::clamp(top, 0, items - rowCount_) : 0;
}

}  // namespace nova
