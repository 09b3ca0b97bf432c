#pragma once
// The message markup: splitting text into tokens (text runs and tags), reading a tag's head and
// attributes, and the stacks of attribute values while glyphs are built (TKtWord::BuildGlyphs).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/decorate.h"

namespace nova {

// Without the blanks (bytes up to 0x20) at both ends.
std::string_view TrimBlanks(std::string_view s);

// Splits text into lines at CR LF, CR or LF; a final line break adds no empty line.
std::vector<std::string> SplitMarkupLines(std::string_view text);

enum class TTokenKind : uint8_t { Text, Tag, Comment };

struct TMarkupToken {
  std::string Text;
  TTokenKind Kind = TTokenKind::Text;
  friend bool operator==(const TMarkupToken&, const TMarkupToken&) = default;
};

// Joins the lines with CR and splits the result into tokens: text runs (spaces collapsed, line
// breaks turned into spaces), tags ("<...>") and comments ("<!-- -->", SCRIPT and STYLE blocks);
// inside PRE the line breaks become "<BR>" tags. A token knows how it was made, so text whose
// brackets were escaped ("\<B\>") stays text.
std::vector<TMarkupToken> TokenizeMarkup(const std::vector<std::string>& lines);
// The same, handing each token to f as soon as it is final, so a long text is never held as a
// list of tokens.
void TokenizeMarkup(const std::vector<std::string>& lines, const std::function<void(TMarkupToken&&)>& f);
// The same, replacing the lines with the tokens' texts.
void SplitTokens(std::vector<std::string>& lines);

struct TTagAttr {
  std::string Name;
  std::string Value;
};

// A tag token: its head (the name with the brackets, "<FONT>") and its attributes.
class TTag {
public:
  // At least two characters, "<" first, ">" last, and not a comment.
  static bool IsTag(std::string_view token);
  // Comments, SCRIPT and STYLE blocks; they show nothing.
  static bool IsComment(std::string_view token);

  explicit TTag(std::string_view token);

  std::string Head;  // "<" + name + ">" as written
  std::vector<TTagAttr> Attrs;

  // Case-insensitive comparison of the head's name ("FONT", "/FONT").
  bool Is(std::string_view name) const;
  // The first attribute of that name (case-insensitive), or nullptr.
  const TTagAttr* Find(std::string_view name) const;
  bool Has(std::string_view name) const { return Find(name) != nullptr; }
  std::string Value(std::string_view name) const;
  // An integer attribute; false when missing or not an integer.
  bool IntValue(std::string_view name, int32_t& out) const;
  // "#RRGGBB" (up to six hexadecimal digits) as 0x00BBGGRR; false when missing or not of that form.
  bool ColorValue(std::string_view name, int32_t& out) const;
  // The alignment word among those allowed (TWdAlign codes), else fallback.
  uint8_t AlignValue(std::string_view name, std::initializer_list<uint8_t> allowed, uint8_t fallback) const;
};

// A stack of attribute values; the current value is the top, or the default when empty.
template <class T>
class TValStack {
public:
  explicit TValStack(T def = T()) : default_(std::move(def)) {}
  void Push(T v) { items_.push_back(std::move(v)); }
  void Pop() {
    if (!items_.empty()) items_.pop_back();
  }
  const T& Top() const { return items_.empty() ? default_ : items_.back(); }
  size_t Depth() const { return items_.size(); }

private:
  T default_;
  std::vector<T> items_;
};

// Alignment of DIV blocks; LEFT when empty.
class TAlignStack : public TValStack<uint8_t> {
public:
  TAlignStack() : TValStack<uint8_t>(1) {}
};

// The parse state of BuildGlyphs.
struct TTagValList {
  explicit TTagValList(int32_t defaultWait) : Wait(defaultWait) {}
  TValStack<int32_t> Size{0};
  TValStack<int32_t> Color{-1};
  TValStack<int32_t> BColor{-1};
  TValStack<int32_t> SColor{-1};
  TValStack<std::string> Name{std::string()};
  TValStack<int32_t> Border{-1};
  TValStack<int32_t> Shadow{-1};
  TValStack<int32_t> Wait;
  TAlignStack Align;
  uint8_t Style = 0;
  bool NoBreak = false;
  std::string Ruby;
  std::string Link;

  // The attribute record of a new character or variable.
  TDecorateValues Decorate() const;
};

}  // namespace nova
