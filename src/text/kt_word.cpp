#include "text/kt_word.h"

#include <algorithm>

#include "base/encoding.h"

namespace nova {

const std::string& DefaultTextFontName() {
  static const std::string name = Utf8ToSjis("ＭＳ ゴシック");
  return name;
}

// --- settings record

void TKtWordSettings::SaveToStream(TStream& s, int32_t version) const {
  s.WriteInt32(OriginX);
  s.WriteInt32(OriginY);
  s.WriteInt32(FontSize);
  s.WriteString(FontName);
  s.WriteInt32(TextColor);
  s.WriteInt32(PageHeight);
  s.WriteInt32(Width);
  s.WriteInt32(Smoothing);
  s.WriteInt32(LineSpacing);
  s.WriteByte(Paging ? 1 : 0);
  s.WriteInt32(LinkColor);
  s.WriteInt32(ActiveLinkColor);
  s.WriteInt32(FadeSpeed);
  s.WriteInt32(BorderColor);
  s.WriteInt32(Option);
  s.WriteByte(OptionByte1);
  s.WriteInt32(Caret.X);
  s.WriteInt32(Caret.Y);
  s.WriteInt32(SpeedFactor);
  s.WriteByte(OptionByte2);
  if (version >= 110) s.WriteInt32(ShadowColor);
  if (version > 110) {
    s.WriteInt32(BorderWidth);
    s.WriteInt32(ShadowOffset);
  }
}

void TKtWordSettings::LoadFromStream(TStream& s, int32_t version) {
  OriginX = s.ReadInt32();
  OriginY = s.ReadInt32();
  FontSize = s.ReadInt32();
  FontName = s.ReadString();
  TextColor = s.ReadInt32();
  PageHeight = s.ReadInt32();
  Width = s.ReadInt32();
  Smoothing = s.ReadInt32();
  LineSpacing = s.ReadInt32();
  Paging = s.ReadByte() != 0;
  LinkColor = s.ReadInt32();
  ActiveLinkColor = s.ReadInt32();
  FadeSpeed = s.ReadInt32();
  BorderColor = s.ReadInt32();
  Option = s.ReadInt32();
  OptionByte1 = s.ReadByte();
  Caret.X = s.ReadInt32();
  Caret.Y = s.ReadInt32();
  SpeedFactor = s.ReadInt32();
  OptionByte2 = s.ReadByte();
  if (version >= 110) ShadowColor = s.ReadInt32();
  if (version > 110) {
    BorderWidth = s.ReadInt32();
    ShadowOffset = s.ReadInt32();
  }
}

// --- glyph list

TKtWord::~TKtWord() { glyphs_.clear(); }

int TKtWord::IndexOf(const TWdGlyph* g) const {
  for (size_t i = 0; i < glyphs_.size(); ++i)
    if (glyphs_[i].get() == g) return static_cast<int>(i);
  return -1;
}

TWdGlyph* TKtWord::InsertOwned(int index, std::unique_ptr<TWdGlyph> g) {
  if (Full()) {
    ++dropped_;
    return nullptr;
  }
  index = std::clamp(index, 0, Count());
  g->Owner = this;
  TWdGlyph* raw = g.get();
  glyphs_.insert(glyphs_.begin() + index, std::move(g));
  return raw;
}

TWdGlyph* TKtWord::Add(std::unique_ptr<TWdGlyph> g) { return InsertOwned(Count(), std::move(g)); }

TWdGlyph* TKtWord::Insert(int index, std::unique_ptr<TWdGlyph> g) { return InsertOwned(index, std::move(g)); }

void TKtWord::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  if (dynamic_cast<TWdOpeVar*>(Glyph(index))) {
    CollapseVar(index);
  } else if (TWdOpeVar* owner = Glyph(index)->SourceVar()) {
    // A glyph taken out of a variable's expansion is no longer part of it.
    auto& e = owner->Expansion;
    e.erase(std::remove(e.begin(), e.end(), Glyph(index)), e.end());
  }
  glyphs_.erase(glyphs_.begin() + index);
}

void TKtWord::Clear() {
  glyphs_.clear();
  decorates_.Clear();
  VarValues.clear();
  IndexBase = 0;
  dropped_ = 0;
}

// --- copying and counting

void TKtWord::CopyGlyphsFrom(const TKtWord& src, int first, int last) {
  if (last < 0 || last >= src.Count()) last = src.Count() - 1;
  for (int i = std::max(first, 0); i <= last; ++i) {
    const TWdGlyph* g = src.Glyph(i);
    if (g->SourceVar()) continue;
    std::unique_ptr<TWdGlyph> copy = NewGlyphOfKind(g->Kind(), this);
    if (!copy) continue;
    copy->Assign(*g);
    Add(std::move(copy));
  }
}

int TKtWord::CountGlyphs() const {
  int n = 0;
  for (const auto& g : glyphs_) n += g->Countable() ? 1 : 0;
  return n;
}

int TKtWord::PositionOfGlyph(int index) const {
  index = std::clamp(index, 0, Count());
  if (index < Count())
    if (TWdOpeVar* v = Glyph(index)->SourceVar()) index = std::max(IndexOf(v), 0);
  int n = 0;
  for (int i = 0; i < index; ++i) n += Glyph(i)->Countable() ? 1 : 0;
  return n;
}

int TKtWord::GlyphOfPosition(int pos) const {
  int n = 0;
  for (int i = 0; i < Count(); ++i) {
    if (!Glyph(i)->Countable()) continue;
    if (n == pos) return i;
    ++n;
  }
  return Count();
}

// --- measuring

TGlyphSize TKtWord::CharCell(const TDecorateValues& d, uint16_t code) const {
  int32_t s = EffectiveSize(d);
  TGlyphSize cell;
  cell.Width = Metrics ? Metrics->BaseWidth(code, d.FontName.empty() ? Settings.FontName : d.FontName, s, d.Style) : s;
  cell.Height = s;
  if (d.Style & fsItalic) cell.Width += s / 5;
  if (!d.Ruby.empty()) cell.Height += std::max(1, s / 2);
  int32_t b = d.BorderWidth == -1 ? Settings.BorderWidth : d.BorderWidth;
  cell.Width += 2 * b;
  cell.Height += 2 * b;
  int32_t sh = d.ShadowOffset == -1 ? Settings.ShadowOffset : d.ShadowOffset;
  cell.Width += sh;
  cell.Height += sh;
  return cell;
}

}  // namespace nova
