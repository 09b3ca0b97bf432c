#include "text/glyphs.h"

#include "text/kt_word.h"

namespace nova {

namespace {
const std::string kNoText;
const TDecorateValues kDefaultValues;
}  // namespace

const std::string& TWdGlyph::RubyText() const { return kNoText; }

void TWdGlyph::Assign(const TWdGlyph& source) {
  X = source.X;
  Y = source.Y;
  Width = source.Width;
  Height = source.Height;
}

std::unique_ptr<TWdGlyph> NewGlyphOfKind(uint8_t kind, TKtWord* owner) {
  switch (kind) {
    case gkChar: return std::make_unique<TWdChar>(owner);
    case gkAlign: return std::make_unique<TWdOpeAlign>(owner);
    case gkReturn: return std::make_unique<TWdOpeReturn>(owner);
    case gkIndent: return std::make_unique<TWdOpeIndent>(owner);
    case gkUndent: return std::make_unique<TWdOpeUndent>(owner);
    case gkEvent: return std::make_unique<TWdOpeEvent>(owner);
    case gkVar: return std::make_unique<TWdOpeVar>(owner);
    case gkImg: return std::make_unique<TWdImg>(owner);
    default: return nullptr;
  }
}

// --- TWdReal

void TWdReal::Assign(const TWdGlyph& source) {
  TWdGlyph::Assign(source);
  if (auto* r = dynamic_cast<const TWdReal*>(&source)) {
    Link = r->Link;
    LinkHover = r->LinkHover;
    Alpha = r->Alpha;
    Wait = r->Wait;
  }
}

// --- TDecorated

const TDecorateValues& TDecorated::Values() const { return decorate_ ? *decorate_ : kDefaultValues; }

void TDecorated::SetValues(const TDecorateValues& v) {
  if (list_) list_->Change(decorate_, v);
}

#define NOVA_DECORATE_SETTER(Setter, Field, Type, Expr) \
  void TDecorated::Setter(Type v) {                      \
    TDecorateValues d = Values();                        \
    d.Field = Expr;                                      \
    SetValues(d);                                        \
  }
NOVA_DECORATE_SETTER(SetColor, Color, int32_t, v)
NOVA_DECORATE_SETTER(SetBorderColor, BorderColor, int32_t, v)
NOVA_DECORATE_SETTER(SetShadowColor, ShadowColor, int32_t, v)
NOVA_DECORATE_SETTER(SetSize, Size, int32_t, v)
NOVA_DECORATE_SETTER(SetStyle, Style, uint8_t, v)
NOVA_DECORATE_SETTER(SetFontName, FontName, const std::string&, v)
NOVA_DECORATE_SETTER(SetNoBreak, NoBreak, bool, static_cast<uint8_t>(v ? 1 : 0))
NOVA_DECORATE_SETTER(SetRuby, Ruby, const std::string&, v)
NOVA_DECORATE_SETTER(SetBorderWidth, BorderWidth, int32_t, v)
NOVA_DECORATE_SETTER(SetShadowOffset, ShadowOffset, int32_t, v)
#undef NOVA_DECORATE_SETTER

void TDecorated::AttachDecorate(TDecorateList& list, TDecorate* d) {
  DetachDecorate();
  list_ = &list;
  decorate_ = d;
  if (d) list.AddRef(d);
}

void TDecorated::DetachDecorate() {
  if (list_ && decorate_) list_->Release(decorate_);
  decorate_ = nullptr;
}

namespace {
// Interns values in the owner's list (glyphs made without an owner keep no record).
void AcquireFor(TKtWord* owner, TDecorated& d, const TDecorateValues& v) {
  if (!owner) return;
  TDecorateList& list = owner->Decorates();
  TDecorate* rec = list.Acquire(v);
  d.AttachDecorate(list, rec);
  list.Release(rec);  // AttachDecorate took its own reference
}
}  // namespace

// --- TWdChar

TWdChar::TWdChar(TKtWord* owner, const TDecorateValues& values, uint16_t code) : TWdReal(owner), Code(code) {
  AcquireFor(owner, *this, values);
}

void TWdChar::Measure() {
  if (!Owner) return;
  TGlyphSize cell = Owner->CharCell(Values(), Code);
  Width = cell.Width;
  Height = cell.Height;
}

std::string TWdChar::Text() const {
  if (Code > 255) return std::string{static_cast<char>(Code >> 8), static_cast<char>(Code & 0xFF)};
  return std::string(1, static_cast<char>(Code));
}

void TWdChar::Assign(const TWdGlyph& source) {
  TWdReal::Assign(source);
  if (auto* c = dynamic_cast<const TWdChar*>(&source)) {
    Code = c->Code;
    LastDrawn = c->LastDrawn;
    if (Decorate()) {
      SetValues(c->Values());
    } else {
      AcquireFor(Owner, *this, c->Values());
    }
  }
}

// --- TWdImg

void TWdImg::Measure() {
  if (!Picture && Owner && Owner->Images) Picture = Owner->Images->LoadPicture(FileName);
  Width = Picture ? Picture->Width() : 0;
  Height = Picture ? Picture->Height() : 0;
}

void TWdImg::Assign(const TWdGlyph& source) {
  TWdReal::Assign(source);
  if (auto* i = dynamic_cast<const TWdImg*>(&source)) {
    FileName = i->FileName;
    Align = i->Align;
    NoBreakFlag = i->NoBreakFlag;
    Ruby = i->Ruby;
    Picture.reset();  // reloaded when measured
  }
}

// --- operations

void TWdOpeReturn::Assign(const TWdGlyph& source) {
  TWdGlyph::Assign(source);
  if (auto* r = dynamic_cast<const TWdOpeReturn*>(&source)) Clear = r->Clear;
}

void TWdOpeAlign::Assign(const TWdGlyph& source) {
  TWdGlyph::Assign(source);
  if (auto* a = dynamic_cast<const TWdOpeAlign*>(&source)) Align = a->Align;
}

void TWdOpeEvent::Assign(const TWdGlyph& source) {
  TWdGlyph::Assign(source);
  if (auto* e = dynamic_cast<const TWdOpeEvent*>(&source)) {
    Text = e->Text;
    Stop = e->Stop;
  }
}

// --- TWdOpeVar

TWdOpeVar::TWdOpeVar(TKtWord* owner, const TDecorateValues& values, const std::string& expression)
    : TWdGlyph(owner), Expression(expression) {
  AcquireFor(owner, *this, values);
}

void TWdOpeVar::Assign(const TWdGlyph& source) {
  TWdGlyph::Assign(source);
  if (auto* v = dynamic_cast<const TWdOpeVar*>(&source)) {
    Expression = v->Expression;
    Parser.reset();
    if (v->Parser) {
      Parser = std::make_unique<TNovaParser>();
      Parser->Assign(*v->Parser);
    }
    CompileFailed = v->CompileFailed;
    Wait = v->Wait;
    Link = v->Link;
    if (Decorate()) {
      SetValues(v->Values());
    } else {
      AcquireFor(Owner, *this, v->Values());
    }
  }
}

std::string TWdOpeVar::ExpandedValue() const {
  std::string value;
  for (const TWdGlyph* g : Expansion) {
    if (auto* c = dynamic_cast<const TWdChar*>(g)) {
      value += c->Text();
    } else {
      value += '\x01';
    }
  }
  return value;
}

// --- rows and pages

TWdReal* TWdRow::HitTest(int32_t x, int32_t y) const {
  for (TWdGlyph* g : Children) {
    auto* r = dynamic_cast<TWdReal*>(g);
    if (!r || r->Alpha != 255) continue;
    if (g->BoundsRect().Offset(X, Y).Contains(x, y)) return r;
  }
  return nullptr;
}

TWdReal* TWdPage::HitTest(int32_t x, int32_t y) const {
  for (const auto& row : Rows)
    if (TWdReal* r = row->HitTest(x, y)) return r;
  return nullptr;
}

}  // namespace nova
