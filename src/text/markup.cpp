#include "text/markup.h"

#include <cstring>

#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"
#include "params/param_convert.h"
#include "text/kt_word.h"

namespace nova {

namespace {

bool IsBlank(unsigned char c) { return c <= 0x20; }

// Case-insensitive "text at i starts with word".
bool At(std::string_view text, size_t i, std::string_view word) {
  return text.size() - i >= word.size() && SameText(text.substr(i, word.size()), word);
}

const char* const kCommentOpeners[] = {"<!--", "<SCRIPT", "<STYLE"};
const char* const kCommentClosers[] = {"-->", "</SCRIPT>", "</STYLE>"};

size_t MatchAny(std::string_view text, size_t i, const char* const (&words)[3]) {
  for (const char* w : words)
    if (At(text, i, w)) return std::strlen(w);
  return 0;
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && IsBlank(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && IsBlank(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

std::vector<std::string> SplitMarkupLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0, i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      i += CharLen(text, i);
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

// --- tokenizer

std::vector<TMarkupToken> TokenizeMarkup(const std::vector<std::string>& lines) {
  std::vector<TMarkupToken> out;
  TokenizeMarkup(lines, [&](TMarkupToken&& t) { out.push_back(std::move(t)); });
  return out;
}

void TokenizeMarkup(const std::vector<std::string>& lines, const std::function<void(TMarkupToken&&)>& f) {
  size_t length = lines.empty() ? 0 : lines.size() - 1;
  for (const std::string& line : lines) length += line.size();
  std::string text;
  text.reserve(length);
  for (size_t k = 0; k < lines.size(); ++k) {
    if (k) text += '\r';
    text += lines[k];
  }
  // The last two tokens wait in out: a closing PRE or TEXTAREA may still take back the <BR>
  // before it. Older ones go to f.
  std::vector<TMarkupToken> out;
  auto pass = [&](size_t keep) {
    if (out.size() <= keep) return;
    const size_t n = out.size() - keep;
    for (size_t k = 0; k < n; ++k) f(std::move(out[k]));
    out.erase(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(n));
  };
  auto push = [&](TMarkupToken&& t) {
    out.push_back(std::move(t));
    pass(2);
  };
  std::string token;
  int tagDepth = 0, commentDepth = 0, script = 0;
  bool pre = false, textArea = false;
  auto emit = [&](TTokenKind kind = TTokenKind::Text) {
    if (!token.empty()) push(TMarkupToken{std::move(token), kind});
    token.clear();
  };
  auto copyChar = [&](size_t& i) {
    size_t len = CharLen(text, i);
    token.append(text, i, len);
    i += len;
  };
  // A line break right after an opening PRE or TEXTAREA belongs to the tag.
  auto swallowBreak = [&](size_t& i) {
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
  };
  // A closing PRE or TEXTAREA takes back the <BR> of the line break just before it.
  auto dropBreakBeforeLast = [&] {
    if (out.size() >= 2 && out[out.size() - 2] == TMarkupToken{"<BR>", TTokenKind::Tag}) out.erase(out.end() - 2);
  };

  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (commentDepth > 0) {
      if (size_t len = MatchAny(text, i, kCommentClosers)) {
        token.append(text, i, len);
        i += len;
        if (--commentDepth == 0) emit(TTokenKind::Comment);
      } else if (size_t open = (c == '<') ? MatchAny(text, i, kCommentOpeners) : 0) {
        token.append(text, i, open);
        i += open;
        ++commentDepth;
      } else if (c == '\r' || c == '\n') {
        token += "\r\n";
        i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
      } else {
        copyChar(i);
      }
      continue;
    }
    if (c == '"') {
      // A quoted stretch: copied as it is, without its line breaks and tabs.
      token += '"';
      ++i;
      while (i < n) {
        char q = text[i];
        if (q == '"') {
          token += q;
          ++i;
          break;
        }
        if (q == '\r' || q == '\n' || q == '\t') {
          ++i;
        } else {
          copyChar(i);
        }
      }
      continue;
    }
    if (c == '<' && tagDepth == 0) {
      if (size_t len = MatchAny(text, i, kCommentOpeners)) {
        emit();
        token.append(text, i, len);
        i += len;
        commentDepth = 1;
        continue;
      }
    }
    if (c == '\\' && i + 1 < n && std::strchr("%<>\\{}", text[i + 1]) && text[i + 1] != '\0') {
      token += text[i + 1];
      i += 2;
      continue;
    }
    if (c == '<') {
      if (tagDepth == 0) emit();
      token += '<';
      ++tagDepth;
      ++i;
      continue;
    }
    if (c == '>' && tagDepth > 0) {
      ++i;
      if (--tagDepth > 0) continue;  // an inner level's ">" is dropped
      token += '>';
      TTag tag(token);
      emit(TTokenKind::Tag);
      if (tag.Is("PRE")) {
        if (!textArea) {
          pre = true;
          swallowBreak(i);
        }
      } else if (tag.Is("/PRE")) {
        pre = false;
        dropBreakBeforeLast();
      } else if (tag.Is("TEXTAREA")) {
        textArea = true;
        swallowBreak(i);
      } else if (tag.Is("/TEXTAREA")) {
        textArea = false;
        dropBreakBeforeLast();
      } else if (tag.Is("SCRIPT")) {
        ++script;
      } else if (tag.Is("/SCRIPT")) {
        if (script > 0) --script;
      }
      continue;
    }
    const bool raw = pre || textArea || script > 0;
    if (c == '\r' || c == '\n') {
      i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
      if (tagDepth == 0 && raw) {
        emit();
        if (pre) push(TMarkupToken{"<BR>", TTokenKind::Tag});
      } else if (!token.empty() && token.back() != ' ') {
        token += ' ';
      }
      continue;
    }
    if (c == 0x14) {
      if (token.empty() || token.back() != ' ' || raw) token += ' ';
      ++i;
      continue;
    }
    if (c == '\t') {
      if (raw) token.append(8, ' ');
      ++i;
      continue;
    }
    if (c == ' ') {
      if (token.empty() || token.back() != ' ') token += ' ';
      ++i;
      continue;
    }
    copyChar(i);
  }
  emit(commentDepth > 0 ? TTokenKind::Comment : TTokenKind::Text);  // an unclosed comment hides the rest
  pass(0);
}

void SplitTokens(std::vector<std::string>& lines) {
  std::vector<TMarkupToken> tokens = TokenizeMarkup(lines);
  lines.clear();
  for (TMarkupToken& t : tokens) lines.push_back(std::move(t.Text));
}

// --- tags

bool TTag::IsComment(std::string_view token) {
  for (const char* w : kCommentOpeners)
    if (At(token, 0, w)) return true;
  return false;
}

bool TTag::IsTag(std::string_view token) {
  return token.size() >= 2 && token.front() == '<' && token.back() == '>' && !IsComment(token);
}

TTag::TTag(std::string_view token) {
  std::string_view inner = token;
  if (!inner.empty() && inner.front() == '<') inner.remove_prefix(1);
  if (!inner.empty() && inner.back() == '>') inner.remove_suffix(1);
  inner = TrimBlanks(inner);
  size_t pos = 0;
  const size_t n = inner.size();
  while (pos < n && inner[pos] != ' ' && inner[pos] != '=') pos += CharLen(inner, pos);
  Head = "<" + std::string(inner.substr(0, pos)) + ">";
  auto skipBlanks = [&] {
    while (pos < n && IsBlank(static_cast<unsigned char>(inner[pos]))) ++pos;
  };
  auto untilSpace = [&](size_t from) {
    size_t e = from;
    while (e < n && inner[e] != ' ') ++e;
    return e;
  };
  while (true) {
    skipBlanks();
    if (pos >= n) break;
    TTagAttr a;
    size_t start = pos;
    while (pos < n && inner[pos] != ' ' && inner[pos] != '=') pos += CharLen(inner, pos);
    a.Name = std::string(inner.substr(start, pos - start));
    skipBlanks();
    if (pos < n && inner[pos] == '=') {
      ++pos;
      skipBlanks();
      if (pos < n && (inner[pos] == '"' || inner[pos] == '\'')) {
        char q = inner[pos];
        size_t close = inner.find(q, pos + 1);
        if (close != std::string_view::npos) {
          a.Value = std::string(inner.substr(pos + 1, close - pos - 1));
          pos = close + 1;
        } else {
          size_t e = untilSpace(pos + 1);
          a.Value = std::string(inner.substr(pos + 1, e - pos - 1));
          pos = e;
        }
      } else {
        size_t e = untilSpace(pos);
        a.Value = std::string(inner.substr(pos, e - pos));
        pos = e;
      }
    }
    Attrs.push_back(std::move(a));
  }
}

bool TTag::Is(std::string_view name) const {
  return Head.size() == name.size() + 2 && SameText(std::string_view(Head).substr(1, name.size()), name);
}

const TTagAttr* TTag::Find(std::string_view name) const {
  for (const TTagAttr& a : Attrs)
    if (!a.Name.empty() && SameText(a.Name, name)) return &a;
  return nullptr;
}

std::string TTag::Value(std::string_view name) const {
  const TTagAttr* a = Find(name);
  return a ? a->Value : std::string();
}

bool TTag::IntValue(std::string_view name, int32_t& out) const {
  const TTagAttr* a = Find(name);
  return a && TryTextToInt(a->Value, out);
}

bool TTag::ColorValue(std::string_view name, int32_t& out) const {
  const TTagAttr* a = Find(name);
  if (!a || a->Value.size() < 2 || a->Value[0] != '#') return false;
  std::string_view digits = std::string_view(a->Value).substr(1, 6);
  uint32_t rgb = 0;
  for (char c : digits) {
    int d = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
    if (d < 0) return false;
    rgb = rgb * 16 + static_cast<uint32_t>(d);
  }
  out = static_cast<int32_t>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
  return true;
}

uint8_t TTag::AlignValue(std::string_view name, std::initializer_list<uint8_t> allowed, uint8_t fallback) const {
  static const char* const kWords[] = {"", "LEFT", "RIGHT", "CENTER", "TOP", "BOTTOM"};
  const TTagAttr* a = Find(name);
  if (!a) return fallback;
  for (uint8_t code : allowed)
    if (code < 6 && SameText(a->Value, kWords[code])) return code;
  return fallback;
}

TDecorateValues TTagValList::Decorate() const {
  TDecorateValues d;
  d.Size = Size.Top();
  d.Color = Color.Top();
  d.BorderColor = BColor.Top();
  d.ShadowColor = SColor.Top();
  d.FontName = Name.Top();
  d.Style = Style;
  d.NoBreak = NoBreak ? 1 : 0;
  d.Ruby = Ruby;
  d.BorderWidth = Border.Top();
  d.ShadowOffset = Shadow.Top();
  return d;
}

// --- building glyphs

namespace {

// BORDER and SHADOW of FONT: without a number 1, negative numbers 0.
int32_t EdgeValue(const TTag& tag, std::string_view name, int32_t current) {
  if (!tag.Has(name)) return current;
  int32_t v = 0;
  if (!tag.IntValue(name, v)) return 1;
  return v < 0 ? 0 : v;
}

}  // namespace

void TKtWord::BuildGlyphs(const std::vector<std::string>& lines, int32_t defaultWait) {
  Clear();
  TTagValList st(defaultWait);
  auto addOp = [&](std::unique_ptr<TWdGlyph> g) { Add(std::move(g)); };

  // Tokens are built into glyphs as they come: a long text is never held as tokens too.
  TokenizeMarkup(lines, [&](TMarkupToken&& t) {
    const std::string& token = t.Text;
    if (t.Kind == TTokenKind::Comment) return;  // comments, SCRIPT and STYLE show nothing
    if (t.Kind == TTokenKind::Text) {
      const TDecorateValues d = st.Decorate();  // the same for every character of the token
      for (size_t i = 0; i < token.size();) {
        size_t len = CharLen(token, i);
        if (Full()) {  // counted, but not made only to be dropped
          ++dropped_;
          i += len;
          continue;
        }
        uint16_t code = static_cast<unsigned char>(token[i]);
        if (len == 2) code = static_cast<uint16_t>(code << 8 | static_cast<unsigned char>(token[i + 1]));
        auto c = std::make_unique<TWdChar>(this, d, code);
        c->Link = st.Link;
        c->Wait = st.Wait.Top();
        Add(std::move(c));
        i += len;
      }
      return;
    }
    TTag tag(token);
    if (tag.Is("A")) {
      std::string href = tag.Value("HREF");
      static const std::string kNoHref = Utf8ToSjis("<A>タグにHREF値がありません");
      if (href.empty()) throw ENovaError(kNoHref);
      st.Link = href;
    } else if (tag.Is("/A")) {
      st.Link.clear();
    } else if (tag.Is("B") || tag.Is("I") || tag.Is("U") || tag.Is("S")) {
      st.Style |= tag.Is("B") ? fsBold : tag.Is("I") ? fsItalic : tag.Is("U") ? fsUnderline : fsStrikeOut;
    } else if (tag.Is("/B") || tag.Is("/I") || tag.Is("/U") || tag.Is("/S")) {
      st.Style &= static_cast<uint8_t>(
          ~(tag.Is("/B") ? fsBold : tag.Is("/I") ? fsItalic : tag.Is("/U") ? fsUnderline : fsStrikeOut));
    } else if (tag.Is("FONT")) {
      int32_t size = st.Size.Top();
      tag.IntValue("SIZE", size);
      int32_t color = st.Color.Top(), bcolor = st.BColor.Top(), scolor = st.SColor.Top();
      tag.ColorValue("COLOR", color);
      tag.ColorValue("BCOLOR", bcolor);
      tag.ColorValue("SCOLOR", scolor);
      const TTagAttr* name = tag.Find("NAME");
      st.Size.Push(size);
      st.Color.Push(color);
      st.BColor.Push(bcolor);
      st.SColor.Push(scolor);
      st.Name.Push(name ? name->Value : st.Name.Top());
      st.Border.Push(EdgeValue(tag, "BORDER", st.Border.Top()));
      st.Shadow.Push(EdgeValue(tag, "SHADOW", st.Shadow.Top()));
    } else if (tag.Is("/FONT")) {
      st.Size.Pop();
      st.Color.Pop();
      st.BColor.Pop();
      st.SColor.Pop();
      st.Name.Pop();
      st.Border.Pop();
      st.Shadow.Pop();
    } else if (tag.Is("NOBR")) {
      st.NoBreak = true;
    } else if (tag.Is("/NOBR")) {
      st.NoBreak = false;
    } else if (tag.Is("RUBY")) {
      st.Ruby = tag.Value("VALUE");
    } else if (tag.Is("/RUBY")) {
      st.Ruby.clear();
    } else if (tag.Is("DIV") || tag.Is("/DIV")) {
      if (tag.Is("DIV")) {
        st.Align.Push(tag.AlignValue("ALIGN", {waLeft, waRight, waCenter}, waLeft));
      } else {
        st.Align.Pop();
      }
      auto a = std::make_unique<TWdOpeAlign>(this);
      a->Align = st.Align.Top();
      addOp(std::move(a));
    } else if (tag.Is("INDENT")) {
      addOp(std::make_unique<TWdOpeIndent>(this));
    } else if (tag.Is("UNDENT")) {
      addOp(std::make_unique<TWdOpeUndent>(this));
    } else if (tag.Is("BR") || tag.Is("CLEAR")) {
      auto r = std::make_unique<TWdOpeReturn>(this);
      r->Clear = (tag.Is("CLEAR") || tag.Has("CLEAR")) ? 1 : 0;
      addOp(std::move(r));
    } else if (tag.Is("EVENT")) {
      auto e = std::make_unique<TWdOpeEvent>(this);
      e->Text = tag.Value("VALUE");
      e->Stop = tag.Has("END");
      addOp(std::move(e));
    } else if (tag.Is("WAIT")) {
      int32_t wait = st.Wait.Top();
      tag.IntValue("VALUE", wait);
      st.Wait.Push(wait);
    } else if (tag.Is("/WAIT")) {
      st.Wait.Pop();
    } else if (tag.Is("VAR")) {
      std::string name = tag.Value("NAME");
      if (!name.empty()) {
        auto v = std::make_unique<TWdOpeVar>(this, st.Decorate(), name);
        v->Wait = st.Wait.Top();
        v->Link = st.Link;
        addOp(std::move(v));
      }
    } else if (tag.Is("IMG")) {
      std::string src = tag.Value("SRC");
      if (!src.empty()) {
        auto img = std::make_unique<TWdImg>(this);
        img->FileName = src;
        img->Align = tag.AlignValue("ALIGN", {waCenter, waTop, waBottom}, waBottom);
        img->NoBreakFlag = st.NoBreak;
        img->Ruby = st.Ruby;
        img->Link = st.Link;
        img->Wait = st.Wait.Top();
        addOp(std::move(img));
      }
    }
  });
}

}  // namespace nova
