#include "authoring/text_block.h"

#include "base/error.h"
#include "base/sjis.h"
#include "base/stream.h"
#include "text/ktwords.h"

namespace nova::source {

std::string CompileTextBlock(const std::string& markup) {
  TKtWord word;
  word.BuildGlyphs(SplitMarkupLines(markup), kTextBlockWait);
  TKtMemoryStream out;
  word.SaveGlyphStream(out);
  return out.Data();
}

namespace {

struct TUnsayable {};  // the stream holds something markup cannot say

// An attribute value in quotes the tokenizer keeps as they are: double quotes copy everything
// up to the next one; single quotes only hide spaces (brackets and backslashes would act).
std::string Quote(const std::string& v) {
  for (char c : v)
    if (static_cast<unsigned char>(c) < 0x20) throw TUnsayable{};
  if (v.find('"') == std::string::npos) return "\"" + v + "\"";
  if (v.find_first_of("'<>\\") == std::string::npos) return "'" + v + "'";
  throw TUnsayable{};
}

std::string ColorText(int32_t c) {
  if (c < 0 || c > 0xFFFFFF) throw TUnsayable{};
  const int32_t rgb = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  return Format("#%06X", rgb);
}

const TDecorateValues kPlain;

class TMarkupWriter {
public:
  explicit TMarkupWriter(const TKtWord& word) : word_(word) {}

  std::string Write() {
    for (int i = 0; i < word_.Count(); ++i) Glyph(i);
    // Whatever is still open is closed, as an author would write it (the stream stays the same).
    Attributes(&kPlain, std::string(), kTextBlockWait);
    return out_;
  }

private:
  void Tag(const std::string& tag) {
    out_ += tag;
    tokenEndsWithSpace_ = false;
  }

  // FONT holds the seven stacked attributes; it is opened at most once at a time, so what it
  // leaves out takes the defaults.
  static bool SameFont(const TDecorateValues& a, const TDecorateValues& b) {
    return a.Size == b.Size && a.Color == b.Color && a.BorderColor == b.BorderColor && a.ShadowColor == b.ShadowColor &&
           a.FontName == b.FontName && a.BorderWidth == b.BorderWidth && a.ShadowOffset == b.ShadowOffset;
  }

  void Font(const TDecorateValues& d) {
    if (SameFont(d, font_)) return;
    if (SameFont(font_, TDecorateValues{}) == false) Tag("</FONT>");
    font_ = d;
    if (SameFont(d, TDecorateValues{})) return;
    std::string t = "<FONT";
    if (d.Size != 0) t += Format(" SIZE=%d", d.Size);
    if (d.Color != -1) t += " COLOR=" + ColorText(d.Color);
    if (d.BorderColor != -1) t += " BCOLOR=" + ColorText(d.BorderColor);
    if (d.ShadowColor != -1) t += " SCOLOR=" + ColorText(d.ShadowColor);
    if (!d.FontName.empty()) t += " NAME=" + Quote(d.FontName);
    if (d.BorderWidth != -1) {
      if (d.BorderWidth < 0) throw TUnsayable{};
      t += Format(" BORDER=%d", d.BorderWidth);
    }
    if (d.ShadowOffset != -1) {
      if (d.ShadowOffset < 0) throw TUnsayable{};
      t += Format(" SHADOW=%d", d.ShadowOffset);
    }
    Tag(t + ">");
  }

  void Style(uint8_t style) {
    static const char* names[] = {"B", "I", "U", "S"};
    if (style > 15) throw TUnsayable{};
    for (int b = 0; b < 4; ++b) {
      const bool want = style & (1 << b), have = style_ & (1 << b);
      if (want != have) Tag(std::string(want ? "<" : "</") + names[b] + ">");
    }
    style_ = style;
  }

  void Attributes(const TDecorateValues* d, const std::string& link, int32_t wait) {
    if (d) {
      Font(*d);
      Style(d->Style);
      if ((d->NoBreak != 0) != noBreak_) {
        if (d->NoBreak > 1) throw TUnsayable{};
        noBreak_ = d->NoBreak != 0;
        Tag(noBreak_ ? "<NOBR>" : "</NOBR>");
      }
      if (d->Ruby != ruby_) {
        ruby_ = d->Ruby;
        Tag(ruby_.empty() ? "</RUBY>" : "<RUBY VALUE=" + Quote(ruby_) + ">");
      }
    }
    if (link != link_) {
      link_ = link;
      Tag(link_.empty() ? "</A>" : "<A HREF=" + Quote(link_) + ">");
    }
    if (wait != wait_) {
      if (wait_ != kTextBlockWait) Tag("</WAIT>");
      wait_ = wait;
      if (wait_ != kTextBlockWait) Tag(Format("<WAIT VALUE=%d>", wait_));
    }
  }

  void Text(const TWdChar& c) {
    const std::string t = c.Text();
    const auto b = static_cast<unsigned char>(t[0]);
    if (t.size() == 1 && (b < 0x20 || b == 0x7F)) throw TUnsayable{};
    if (t == " ") {
      if (tokenEndsWithSpace_) Tag("<_>");  // spaces in a row would collapse into one
      out_ += ' ';
      tokenEndsWithSpace_ = true;
      return;
    }
    tokenEndsWithSpace_ = false;
    if (t == "\\" || t == "<" || t == ">") out_ += '\\';
    out_ += t;
  }

  // A double quote opens a stretch that runs to the next one unchanged: its characters must
  // share the attributes of the first.
  int Quoted(int i) {
    const auto* first = static_cast<const TWdChar*>(word_.Glyph(i));
    std::string text = "\"";
    for (int j = i + 1; j < word_.Count(); ++j) {
      const TWdGlyph* g = word_.Glyph(j);
      if (g->Kind() != gkChar) break;
      const auto* c = static_cast<const TWdChar*>(g);
      if (!(c->Values() == first->Values()) || c->Link != first->Link || c->Wait != first->Wait) break;
      const std::string t = c->Text();
      if (t.size() == 1 && static_cast<unsigned char>(t[0]) < 0x20) break;
      text += t;
      if (t == "\"") {
        out_ += text;
        tokenEndsWithSpace_ = false;
        return j;
      }
    }
    throw TUnsayable{};
  }

  void Glyph(int& i) {
    const TWdGlyph* g = word_.Glyph(i);
    switch (g->Kind()) {
      case gkChar: {
        const auto* c = static_cast<const TWdChar*>(g);
        Attributes(&c->Values(), c->Link, c->Wait);
        if (c->Text() == "\"") {
          i = Quoted(i);
        } else {
          Text(*c);
        }
        return;
      }
      case gkVar: {
        const auto* v = static_cast<const TWdOpeVar*>(g);
        std::string_view e = TrimBlanks(v->Expression);
        if (e.empty()) throw TUnsayable{};
        Attributes(&v->Values(), v->Link, v->Wait);
        Tag("<VAR NAME=" + Quote(std::string(e)) + ">");
        return;
      }
      case gkImg: {
        const auto* img = static_cast<const TWdImg*>(g);
        if (img->FileName.empty() || img->Align < waCenter || img->Align > waBottom) throw TUnsayable{};
        Attributes(nullptr, img->Link, img->Wait);
        static const char* aligns[] = {"CENTER", "TOP", "BOTTOM"};
        std::string t = "<IMG SRC=" + Quote(img->FileName);
        if (img->Align != waBottom) t += std::string(" ALIGN=") + aligns[img->Align - waCenter];
        Tag(t + ">");
        return;
      }
      case gkReturn: {
        const auto* r = static_cast<const TWdOpeReturn*>(g);
        if (r->Clear > 1) throw TUnsayable{};
        Tag(r->Clear ? "<CLEAR>" : "<BR>");
        return;
      }
      case gkAlign: {
        // Each DIV pushes its alignment and makes the switch; the stack is never popped.
        static const char* aligns[] = {"LEFT", "RIGHT", "CENTER"};
        const auto* a = static_cast<const TWdOpeAlign*>(g);
        if (a->Align < waLeft || a->Align > waCenter) throw TUnsayable{};
        Tag(std::string("<DIV ALIGN=") + aligns[a->Align - waLeft] + ">");
        return;
      }
      case gkIndent: Tag("<INDENT>"); return;
      case gkUndent: Tag("<UNDENT>"); return;
      case gkEvent: {
        const auto* e = static_cast<const TWdOpeEvent*>(g);
        Tag("<EVENT VALUE=" + Quote(e->Text) + (e->Stop ? " END>" : ">"));
        return;
      }
      default: throw TUnsayable{};
    }
  }

  const TKtWord& word_;
  std::string out_;
  bool tokenEndsWithSpace_ = false;
  TDecorateValues font_;
  uint8_t style_ = 0;
  bool noBreak_ = false;
  std::string ruby_, link_;
  int32_t wait_ = kTextBlockWait;
};

}  // namespace

std::optional<std::string> TextBlockMarkup(const std::string& stream) {
  try {
    TKtWord word;
    TKtMemoryStream in(stream);
    word.LoadGlyphStream(in);
    if (in.Position() != in.Size()) return std::nullopt;
    std::string markup = TMarkupWriter(word).Write();
    if (CompileTextBlock(markup) != stream) return std::nullopt;
    return markup;
  } catch (const TUnsayable&) {
    return std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace nova::source
