#pragma once
// The glyphs of a text object: characters, images, line breaks, alignment and indent switches,
// events and variables, and the rows and pages that layout arranges them in. The text object
// owns its glyphs; rows and pages only point at them (a row owns its indent filler, a page its
// rows), so pages must be freed before the glyphs they show.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/geometry.h"
#include "base/stream.h"
#include "params/parser.h"
#include "text/decorate.h"
#include "text/text_images.h"

namespace nova {

class TKtWord;
class TWdComposite;
class TWdOpeVar;
struct TGlyphReader;
struct TGlyphWriter;

// Kind codes: the byte that names a glyph's class in a glyph stream.
enum TGlyphKind : uint8_t {
  gkNone = 0, gkChar = 1, gkAlign = 2, gkReturn = 3, gkIndent = 4, gkUndent = 5, gkEvent = 6, gkVar = 7,
  gkImg = 9
};

// Alignment codes; rows use LEFT..CENTER, images CENTER..BOTTOM (and LEFT/RIGHT floats).
enum TWdAlign : uint8_t { waNone = 0, waLeft = 1, waRight = 2, waCenter = 3, waTop = 4, waBottom = 5 };

class TWdGlyph {
public:
  explicit TWdGlyph(TKtWord* owner) : Owner(owner) {}
  virtual ~TWdGlyph() = default;
  TWdGlyph(const TWdGlyph&) = delete;
  TWdGlyph& operator=(const TWdGlyph&) = delete;

  TKtWord* Owner;
  int32_t X = 0, Y = 0;  // relative to the parent
  int32_t Width = 0, Height = 0;
  TWdComposite* Parent = nullptr;  // the row (or page) of the last layout

  virtual uint8_t Kind() const { return gkNone; }
  // Computes Width and Height.
  virtual void Measure() {}
  // Characters, images, line breaks, indents, undents, events and variables count one each in
  // positions; alignment switches, fillers and what a variable expanded into do not.
  virtual bool Countable() const { return false; }
  // The variable this glyph was expanded from, or nullptr (such glyphs are never saved or copied).
  virtual TWdOpeVar* SourceVar() const { return nullptr; }

  // What the line-breaking rules look at (0, no flag, no ruby for glyphs without them).
  virtual uint16_t CharCode() const { return 0; }
  virtual bool NoBreak() const { return false; }
  virtual const std::string& RubyText() const;

  // Glyph stream record after the kind code.
  virtual void WriteTo(TStream&, TGlyphWriter&) const {}
  virtual void ReadFrom(TStream&, TGlyphReader&) {}
  // Takes over every field of a glyph of the same kind (from any text object).
  virtual void Assign(const TWdGlyph& source);

  TRect BoundsRect() const { return TRect::FromSize(X, Y, Width, Height); }
};

// Creates the glyph that a kind code stands for (nullptr for codes without a glyph).
std::unique_ptr<TWdGlyph> NewGlyphOfKind(uint8_t kind, TKtWord* owner);

class TWdComposite : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  virtual int ChildCount() const = 0;
  virtual TWdGlyph* Child(int i) const = 0;
};

// A glyph that is drawn: it can carry a link, fades in with its alpha and has its own wait.
class TWdReal : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  std::string Link;        // empty = no link
  bool LinkHover = false;
  int32_t Alpha = 255;     // 0..255
  int32_t Wait = -1;       // milliseconds before the next glyph; -1 = default
  void Assign(const TWdGlyph& source) override;
};

// The attribute record of a character or variable, with getters and setters that re-intern it
// in the owner's decorate list.
class TDecorated {
public:
  TDecorated() = default;
  TDecorated(const TDecorated&) = delete;
  TDecorated& operator=(const TDecorated&) = delete;
  ~TDecorated() { DetachDecorate(); }

  TDecorate* Decorate() const { return decorate_; }
  const TDecorateValues& Values() const;

  int32_t Color() const { return Values().Color; }
  int32_t BorderColor() const { return Values().BorderColor; }
  int32_t ShadowColor() const { return Values().ShadowColor; }
  int32_t Size() const { return Values().Size; }
  uint8_t Style() const { return Values().Style; }
  const std::string& FontName() const { return Values().FontName; }
  bool DecorateNoBreak() const { return Values().NoBreak != 0; }
  const std::string& Ruby() const { return Values().Ruby; }
  int32_t BorderWidth() const { return Values().BorderWidth; }
  int32_t ShadowOffset() const { return Values().ShadowOffset; }

  void SetColor(int32_t v);
  void SetBorderColor(int32_t v);
  void SetShadowColor(int32_t v);
  void SetSize(int32_t v);
  void SetStyle(uint8_t v);
  void SetFontName(const std::string& v);
  void SetNoBreak(bool v);
  void SetRuby(const std::string& v);
  void SetBorderWidth(int32_t v);
  void SetShadowOffset(int32_t v);
  // All fields at once.
  void SetValues(const TDecorateValues& v);

  // Points at a record of list (raising its count); used by the stream reader.
  void AttachDecorate(TDecorateList& list, TDecorate* d);
  void DetachDecorate();

private:
  TDecorateList* list_ = nullptr;
  TDecorate* decorate_ = nullptr;
};

class TWdChar : public TWdReal, public TDecorated {
public:
  explicit TWdChar(TKtWord* owner) : TWdReal(owner) {}
  TWdChar(TKtWord* owner, const TDecorateValues& values, uint16_t code);
  uint16_t Code = 0;       // a double-byte character as lead * 256 + trail
  TRect LastDrawn;

  uint8_t Kind() const override { return gkChar; }
  void Measure() override;
  bool Countable() const override { return true; }
  uint16_t CharCode() const override { return Code; }
  bool NoBreak() const override { return DecorateNoBreak(); }
  const std::string& RubyText() const override { return Ruby(); }
  void WriteTo(TStream& s, TGlyphWriter& w) const override;
  void ReadFrom(TStream& s, TGlyphReader& r) override;
  void Assign(const TWdGlyph& source) override;
  // The character's bytes (one or two).
  std::string Text() const;
};

// A character a variable expanded into.
class TWdVarChar : public TWdChar {
public:
  TWdVarChar(TKtWord* owner, TWdOpeVar* var, const TDecorateValues& values, uint16_t code)
      : TWdChar(owner, values, code), Var(var) {}
  TWdOpeVar* Var;
  bool Countable() const override { return false; }
  TWdOpeVar* SourceVar() const override { return Var; }
};

// Empty space of a given width (the indent filler of a row).
class TWdSpace : public TWdGlyph {
public:
  TWdSpace(TKtWord* owner, int32_t width) : TWdGlyph(owner) { Width = width; }
  void Measure() override { Height = 0; }
};

class TWdImg : public TWdReal {
public:
  using TWdReal::TWdReal;
  std::string FileName;
  uint8_t Align = waBottom;
  // The no-break flag and ruby text of the markup; they are not part of glyph streams.
  bool NoBreakFlag = false;
  std::string Ruby;
  std::unique_ptr<TTextPicture> Picture;  // loaded when measured

  uint8_t Kind() const override { return gkImg; }
  // The size of the first frame, from the owner's image source (0 x 0 without picture).
  void Measure() override;
  bool Countable() const override { return true; }
  bool NoBreak() const override { return NoBreakFlag; }
  const std::string& RubyText() const override { return Ruby; }
  bool IsFloat() const { return Align == waLeft || Align == waRight; }
  void WriteTo(TStream& s, TGlyphWriter& w) const override;
  void ReadFrom(TStream& s, TGlyphReader& r) override;
  void Assign(const TWdGlyph& source) override;
};

class TWdOpeReturn : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  uint8_t Clear = 0;  // 1: the page ends after this line break
  uint8_t Kind() const override { return gkReturn; }
  // 0 x 0; layout makes a line break that is alone in its row as high as the default size.
  void Measure() override { Width = Height = 0; }
  bool Countable() const override { return true; }
  void WriteTo(TStream& s, TGlyphWriter& w) const override;
  void ReadFrom(TStream& s, TGlyphReader& r) override;
  void Assign(const TWdGlyph& source) override;
};

// A line break a variable's value held.
class TWdVarReturn : public TWdOpeReturn {
public:
  TWdVarReturn(TKtWord* owner, TWdOpeVar* var) : TWdOpeReturn(owner), Var(var) {}
  TWdOpeVar* Var;
  bool Countable() const override { return false; }
  TWdOpeVar* SourceVar() const override { return Var; }
};

class TWdOpeAlign : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  uint8_t Align = waLeft;
  uint8_t Kind() const override { return gkAlign; }
  void Measure() override { Width = Height = 0; }
  void WriteTo(TStream& s, TGlyphWriter& w) const override;
  void ReadFrom(TStream& s, TGlyphReader& r) override;
  void Assign(const TWdGlyph& source) override;
};

class TWdOpeIndent : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  uint8_t Kind() const override { return gkIndent; }
  void Measure() override { Width = Height = 0; }
  bool Countable() const override { return true; }
};

class TWdOpeUndent : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  uint8_t Kind() const override { return gkUndent; }
  void Measure() override { Width = Height = 0; }
  bool Countable() const override { return true; }
};

class TWdOpeEvent : public TWdGlyph {
public:
  using TWdGlyph::TWdGlyph;
  std::string Text;
  bool Stop = false;  // typing pauses after this event
  uint8_t Kind() const override { return gkEvent; }
  void Measure() override { Width = Height = 0; }
  bool Countable() const override { return true; }
  void WriteTo(TStream& s, TGlyphWriter& w) const override;
  void ReadFrom(TStream& s, TGlyphReader& r) override;
  void Assign(const TWdGlyph& source) override;
};

class TWdOpeVar : public TWdGlyph, public TDecorated {
public:
  explicit TWdOpeVar(TKtWord* owner) : TWdGlyph(owner) {}
  TWdOpeVar(TKtWord* owner, const TDecorateValues& values, const std::string& expression);
  std::string Expression;               // expression text (empty for old compiled-only streams)
  std::unique_ptr<TNovaParser> Parser;  // compiled form: from an old stream, or compiled on demand
  bool CompileFailed = false;           // the text did not compile; it is not tried again
  int32_t Wait = -1;
  std::string Link;
  bool Expanded = false;
  std::vector<TWdGlyph*> Expansion;     // the glyphs inserted after it (owned by the text object)

  uint8_t Kind() const override { return gkVar; }
  void Measure() override { Width = Height = 0; }
  bool Countable() const override { return true; }
  bool NoBreak() const override { return DecorateNoBreak(); }
  void WriteTo(TStream& s, TGlyphWriter& w) const override;
  void ReadFrom(TStream& s, TGlyphReader& r) override;
  void Assign(const TWdGlyph& source) override;
  // The value its expanded glyphs show: the characters, a byte 0x01 for each line break.
  std::string ExpandedValue() const;
};

// One row of a page. Children are glyphs of the text object (not owned), plus the row's own
// indent filler at the front when it has one.
class TWdRow : public TWdComposite {
public:
  using TWdComposite::TWdComposite;
  std::vector<TWdGlyph*> Children;
  int32_t LeftLimit = 0, RightLimit = 0;
  uint8_t Align = waLeft;
  int32_t TextHeight = 0;  // T: the text band
  int32_t Above = 0;       // A: space above the band for images
  int32_t Below = 0;       // B: space below the band for images
  bool Float = false;      // holds one LEFT or RIGHT image that text flows beside
  std::unique_ptr<TWdSpace> Filler;

  int ChildCount() const override { return static_cast<int>(Children.size()); }
  TWdGlyph* Child(int i) const override { return Children[static_cast<size_t>(i)]; }
  // The drawn glyph (alpha 255) under a point given relative to the row's parent (the page).
  TWdReal* HitTest(int32_t x, int32_t y) const;
};

// Typing state of a page, kept by the message box.
struct TWdTypingState {
  int32_t Scroll = 0;
  int32_t RowIndex = 0, GlyphIndex = 0;  // next glyph to reveal
  int32_t TimeAccount = 0, FadeAccount = 0;
  bool StartSkip = false, Finished = false, SkipElapsed = false;
  std::vector<TWdReal*> Fading;
  std::vector<TWdImg*> Animated;
  std::string PendingEvents;  // event values separated by TAB
  TWdReal* Hover = nullptr;
};

class TWdPage : public TWdComposite {
public:
  using TWdComposite::TWdComposite;
  std::vector<std::unique_ptr<TWdRow>> Rows;
  TWdTypingState Typing;

  int ChildCount() const override { return static_cast<int>(Rows.size()); }
  TWdGlyph* Child(int i) const override { return Rows[static_cast<size_t>(i)].get(); }
  // The drawn glyph under a point given relative to the page.
  TWdReal* HitTest(int32_t x, int32_t y) const;
};

using TWdPageList = std::vector<std::unique_ptr<TWdPage>>;

}  // namespace nova
