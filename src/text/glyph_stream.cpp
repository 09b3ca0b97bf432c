// Reading and writing compiled glyph streams.
#include "text/glyph_stream.h"

#include <algorithm>

#include "base/error.h"
#include "params/parser.h"
#include "text/kt_word.h"
#include "text/markup.h"

namespace nova {

namespace {

const char kHeaderMagic[] = "KtWord";

void ReadRecord(TStream& s, int32_t v, TDecorateValues& d) {
  s.ReadInt32();  // the stored count; counts are rebuilt from the glyphs that use the record
  d.Color = s.ReadInt32();
  d.BorderColor = s.ReadInt32();
  d.Size = s.ReadInt32();
  d.Style = s.ReadByte();
  d.NoBreak = s.ReadByte();
  if (v > 99) {
    d.BorderWidth = s.ReadInt32();
  } else {
    d.BorderWidth = s.ReadByte() ? 1 : 0;  // a border flag
  }
  d.FontName = s.ReadString();
  d.Ruby = s.ReadString();
  if (v >= 100) {
    d.ShadowOffset = s.ReadInt32();
    d.ShadowColor = s.ReadInt32();
  }
}

void WriteRecord(TStream& s, int32_t v, const TDecorateValues& d, int32_t refCount) {
  s.WriteInt32(refCount);
  s.WriteInt32(d.Color);
  s.WriteInt32(d.BorderColor);
  s.WriteInt32(d.Size);
  s.WriteByte(d.Style);
  s.WriteByte(d.NoBreak);
  if (v > 99) {
    s.WriteInt32(d.BorderWidth);
  } else {
    s.WriteByte(d.BorderWidth > 0 ? 1 : 0);
  }
  s.WriteString(d.FontName);
  s.WriteString(d.Ruby);
  if (v >= 100) {
    s.WriteInt32(d.ShadowOffset);
    s.WriteInt32(d.ShadowColor);
  }
}

// A record index of the stream; an index outside its records gives the default attributes.
void AttachRecord(TDecorated& g, TKtWord* owner, TGlyphReader& r, int32_t index) {
  if (index >= 0 && index < static_cast<int32_t>(r.Records.size())) {
    g.AttachDecorate(*r.List, r.Records[static_cast<size_t>(index)]);
  } else {
    TDecorate* d = owner->Decorates().Acquire(TDecorateValues());
    g.AttachDecorate(owner->Decorates(), d);
    owner->Decorates().Release(d);
  }
}

int32_t RecordIndex(const TGlyphWriter& w, const TDecorate* d) {
  auto it = w.Index.find(d);
  return it == w.Index.end() ? -1 : it->second;
}

}  // namespace

// --- per glyph

void TWdChar::WriteTo(TStream& s, TGlyphWriter& w) const {
  s.WriteString(Link);
  s.WriteInt32(Wait);
  s.WriteByte(static_cast<uint8_t>(Code & 0xFF));
  s.WriteByte(static_cast<uint8_t>(Code >> 8));
  s.WriteInt32(RecordIndex(w, Decorate()));
}

void TWdChar::ReadFrom(TStream& s, TGlyphReader& r) {
  Link = s.ReadString();
  Wait = s.ReadInt32();
  uint8_t lo = s.ReadByte();
  uint8_t hi = s.ReadByte();
  Code = static_cast<uint16_t>(hi << 8 | lo);
  AttachRecord(*this, Owner, r, s.ReadInt32());
}

void TWdOpeAlign::WriteTo(TStream& s, TGlyphWriter&) const { s.WriteByte(Align); }
void TWdOpeAlign::ReadFrom(TStream& s, TGlyphReader&) { Align = s.ReadByte(); }

void TWdOpeReturn::WriteTo(TStream& s, TGlyphWriter&) const { s.WriteByte(Clear); }
void TWdOpeReturn::ReadFrom(TStream& s, TGlyphReader&) { Clear = s.ReadByte(); }

void TWdOpeEvent::WriteTo(TStream& s, TGlyphWriter&) const { s.WriteString(Stop ? "\x01" + Text : Text); }

void TWdOpeEvent::ReadFrom(TStream& s, TGlyphReader&) {
  Text = s.ReadString();
  Stop = !Text.empty() && Text[0] == '\x01';
  if (Stop) Text.erase(0, 1);
}

void TWdOpeVar::WriteTo(TStream& s, TGlyphWriter& w) const {
  s.WriteInt32(RecordIndex(w, Decorate()));
  if (w.Version > 100) {
    s.WriteInt32(Wait);
    s.WriteString(Link);
  }
  std::string text(TrimBlanks(Expression));
  if (w.Version >= 102) {
    s.WriteString(text);
    return;
  }
  if (Parser) {
    Parser->SaveToStream(s);
    return;
  }
  try {
    CompileExpression(text)->SaveToStream(s);
  } catch (const ENovaError&) {
    s.WriteInt32(0);  // no operations: the variable shows nothing, as a failing compile does
  }
}

void TWdOpeVar::ReadFrom(TStream& s, TGlyphReader& r) {
  AttachRecord(*this, Owner, r, s.ReadInt32());
  if (r.Version > 100) {
    Wait = s.ReadInt32();
    Link = s.ReadString();
  }
  if (r.Version < 102) {
    Parser = std::make_unique<TNovaParser>();
    Parser->LoadFromStream(s);
  } else {
    Expression = s.ReadString();
  }
}

void TWdImg::WriteTo(TStream& s, TGlyphWriter&) const {
  s.WriteString(Link);
  s.WriteInt32(Wait);
  s.WriteString(FileName);
  s.WriteByte(Align);
}

void TWdImg::ReadFrom(TStream& s, TGlyphReader&) {
  Link = s.ReadString();
  Wait = s.ReadInt32();
  FileName = s.ReadString();
  Align = s.ReadByte();
}

// --- whole streams

void TKtWord::LoadGlyphStream(TStream& s) {
  const int64_t start = s.Position();
  TGlyphReader r;
  r.List = &decorates_;
  std::string head = s.ReadBytes(kGlyphStreamHeaderSize);
  if (head.size() == kGlyphStreamHeaderSize && head.compare(0, 6, kHeaderMagic) == 0) {
    for (int k = 6; k < kGlyphStreamHeaderSize; ++k) {
      char c = head[static_cast<size_t>(k)];
      r.Version = r.Version * 10 + ((c >= '0' && c <= '9') ? c - '0' : 0);
    }
  } else {
    s.SetPosition(start);
  }
  IndexBase = decorates_.Count();
  int32_t records = s.ReadInt32();
  for (int32_t n = 0; n < records && s.Remaining() > 0; ++n) {
    TDecorateValues d;
    ReadRecord(s, r.Version, d);
    r.Records.push_back(decorates_.Append(d, 0));
  }
  int32_t glyphs = s.ReadInt32();
  for (int32_t n = 0; n < glyphs && s.Remaining() > 0; ++n) {
    std::unique_ptr<TWdGlyph> g = NewGlyphOfKind(s.ReadByte(), this);
    if (!g) continue;  // an unknown kind has no data: the next byte is a kind code again
    g->ReadFrom(s, r);
    Add(std::move(g));
  }
}

void TKtWord::SaveGlyphStream(TStream& s) const {
  int32_t version = kGlyphStreamVersion;
  for (const auto& g : glyphs_) {
    auto* v = dynamic_cast<const TWdOpeVar*>(g.get());
    if (v && TrimBlanks(v->Expression).empty() && v->Parser && !v->Parser->Empty()) version = 101;
  }
  SaveGlyphStream(s, version);
}

void TKtWord::SaveGlyphStream(TStream& s, int32_t version) const {
  version = std::clamp(version, 0, 999);
  if (version > 0) s.WriteBytes(Format("%s%03d", kHeaderMagic, version));
  TGlyphWriter w;
  w.Version = version;
  std::vector<const TWdGlyph*> written;
  std::unordered_map<const TDecorate*, int32_t> uses;
  for (const auto& g : glyphs_) {
    if (g->SourceVar() || g->Kind() == gkNone) continue;  // expansions belong to their variable
    written.push_back(g.get());
    if (auto* d = dynamic_cast<const TDecorated*>(g.get()); d && d->Decorate()) ++uses[d->Decorate()];
  }
  s.WriteInt32(decorates_.Count());
  for (int i = 0; i < decorates_.Count(); ++i) {
    const TDecorate* d = decorates_.Item(i);
    w.Index[d] = i;
    WriteRecord(s, version, *d, uses[d]);
  }
  s.WriteInt32(static_cast<int32_t>(written.size()));
  for (const TWdGlyph* g : written) {
    s.WriteByte(g->Kind());
    g->WriteTo(s, w);
  }
}

}  // namespace nova
