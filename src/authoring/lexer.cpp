#include "authoring/lexer.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "authoring/text_codec.h"

namespace nova::source {
namespace {

[[noreturn]] void Fail(const std::string& m) { throw TSourceError{m}; }

bool IsWordChar(char c) { return !std::isspace(static_cast<unsigned char>(c)) && !std::strchr("=[]{}\"", c); }

class TLexer {
public:
  explicit TLexer(const std::string& t) : t_(t) {}

  void Skip() {
    while (p_ < t_.size() && std::isspace(static_cast<unsigned char>(t_[p_]))) ++p_;
  }
  bool AtEnd() {
    Skip();
    return p_ >= t_.size();
  }

  std::vector<TItem> Items() {
    std::vector<TItem> out;
    while (!AtEnd()) out.push_back(Item());
    return out;
  }

  TValue Value() {
    Skip();
    if (p_ >= t_.size()) Fail("a value is missing");
    char c = t_[p_];
    if (c == '{') return Braced(TValue::Expr, p_);
    if (Starts("@raw{")) return Braced(TValue::RawExpr, p_ + 4);
    if (Starts("@hex{")) return Braced(TValue::HexExpr, p_ + 4);
    if (Starts("@raw\"")) {
      p_ += 4;
      TValue v = Quoted();
      v.K = TValue::RawText;
      return v;
    }
    if (c == '"') return Quoted();
    if (c == '[') {
      ++p_;
      TValue v;
      v.K = TValue::List;
      for (;;) {
        Skip();
        if (p_ >= t_.size()) Fail("a list is not closed with ']'");
        if (t_[p_] == ']') {
          ++p_;
          return v;
        }
        v.Items.push_back(Value());
      }
    }
    std::string w = Word();
    if (w.empty()) Fail(std::string("unexpected '") + c + "'");
    TValue v;
    v.Text = w;
    char* end = nullptr;
    const char* s = w.c_str();
    bool neg = *s == '-';
    bool hex = std::strncmp(s + neg, "0x", 2) == 0 || std::strncmp(s + neg, "0X", 2) == 0;
    if (std::isdigit(static_cast<unsigned char>(s[neg]))) {
      long long n = hex ? std::strtoll(s + neg + 2, &end, 16) : std::strtoll(s + neg, &end, 10);
      if (!*end) {  // anything else (1.5, 12abc) stays a word
        v.K = TValue::Number;
        v.Int = neg ? -n : n;
      }
    }
    return v;
  }

private:
  const std::string& t_;
  size_t p_ = 0;

  bool Starts(const char* s) { return t_.compare(p_, std::strlen(s), s) == 0; }

  std::string Word() {
    size_t b = p_;
    while (p_ < t_.size() && IsWordChar(t_[p_])) ++p_;
    return t_.substr(b, p_ - b);
  }

  TItem Item() {
    TItem it;
    size_t save = p_;
    if (t_[p_] == '@' && !Starts("@raw{") && !Starts("@raw\"") && !Starts("@hex{")) {
      ++p_;
      it.Key = "@" + Word();
      if (it.Key == "@") Fail("an option name is missing after '@'");
      if (p_ < t_.size() && t_[p_] == '=') {
        ++p_;
        it.Value = Value();
      } else {
        it.HasValue = false;
      }
      return it;
    }
    std::string w = Word();
    if (!w.empty() && p_ < t_.size() && t_[p_] == '=') {
      ++p_;
      it.Key = w;
      it.Value = Value();
      return it;
    }
    p_ = save;
    it.Value = Value();
    return it;
  }

  // From the opening brace at `open` to its match; string literals inside are passed over.
  TValue Braced(TValue::Kind k, size_t open) {
    size_t i = open + 1;
    int depth = 1;
    while (i < t_.size()) {
      char c = t_[i];
      if (c == '"') {
        ++i;
        while (i < t_.size() && t_[i] != '"') i += (t_[i] == '\\') ? 2 : 1;
        if (i >= t_.size()) Fail("a string inside braces is not closed");
      } else if (c == '{') {
        ++depth;
      } else if (c == '}' && --depth == 0) {
        break;
      }
      ++i;
    }
    if (i >= t_.size()) Fail("'{' is not closed with '}'");
    TValue v;
    v.K = k;
    v.Text = t_.substr(open + 1, i - open - 1);
    p_ = i + 1;
    return v;
  }

  TValue Quoted() {
    size_t i = p_ + 1;
    while (i < t_.size() && t_[i] != '"') i += (t_[i] == '\\') ? 2 : 1;
    if (i >= t_.size()) Fail("a string is not closed with '\"'");
    std::string err;
    auto s = DecodeString(std::string_view(t_).substr(p_ + 1, i - p_ - 1), err);
    if (!s) Fail(err);
    TValue v;
    v.K = TValue::String;
    v.Text = *s;
    p_ = i + 1;
    return v;
  }
};

}  // namespace

std::vector<TItem> SplitItems(const std::string& text) { return TLexer(text).Items(); }

TValue ParseValue(const std::string& text) {
  TLexer l(text);
  TValue v = l.Value();
  if (!l.AtEnd()) Fail("unexpected text after the value");
  return v;
}

const char* KindName(TValue::Kind k) {
  switch (k) {
    case TValue::Expr: return "an expression";
    case TValue::RawExpr: return "a raw expression";
    case TValue::HexExpr: return "a stored expression";
    case TValue::String: return "a string";
    case TValue::RawText: return "a raw text block";
    case TValue::Number: return "a number";
    case TValue::Word: return "a word";
    case TValue::List: return "a list";
  }
  return "a value";
}

}  // namespace nova::source
