// The expression compiler: text -> a flat list of three-address build operations.
//
// Compile works on the text in fixed passes: string literals, function calls, array elements,
// parenthesised groups (each replaced by a temporary name), then the remaining tokens are
// reduced by precedence. Every scan walks Shift-JIS characters, so a trail byte that happens
// to equal an operator, bracket or backslash is never taken for one.
#include <cstring>
#include <vector>

#include "base/encoding.h"
#include "base/error.h"
#include "base/sjis.h"
#include "params/compiler_internal.h"
#include "params/parser.h"

namespace nova {
namespace compiler {

const std::string& SyntaxError() {
  static const std::string s = Utf8ToSjis("構文エラー");
  return s;
}
const std::string& BadArraySubscript() {
  static const std::string s = Utf8ToSjis("配列の添え字が不正です");
  return s;
}
std::string UnknownFunction(const std::string& name) {
  static const std::string tail = Utf8ToSjis("\" 関数名がありません");
  return "\"" + name + tail;
}
std::string BadArgCount(const std::string& name) {
  static const std::string tail = Utf8ToSjis(" 引数の数が不正です");
  return name + tail;
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace compiler

namespace {

using compiler::IsBlank;
using compiler::SyntaxError;
using compiler::Trim;

[[noreturn]] void Syntax() { throw ENovaError(SyntaxError()); }

// Which bytes of a text start a single-byte character (the only ones that can be syntax).
class TCharMap {
public:
  explicit TCharMap(std::string_view s) : single_(s.size(), 0) {
    for (size_t i = 0; i < s.size();) {
      size_t len = CharLen(s, i);
      if (len == 1) single_[i] = 1;
      i += len;
    }
  }
  bool Single(size_t i) const { return i < single_.size() && single_[i] != 0; }

private:
  std::vector<uint8_t> single_;
};

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
// The characters that end an operand and start an operator token.
bool IsOperatorChar(char c) { return c != 0 && std::strchr("%&*+-/<=>^|", c) != nullptr; }
// An array name ends at these (and at blanks) going backwards from its bracket.
bool EndsArrayName(char c) { return c != 0 && std::strchr("%&*+-/<=>^|()[],", c) != nullptr; }
// A character that makes an argument text a sub-expression.
bool MakesSubExpression(char c) { return c != 0 && std::strchr("+-*/%|&^=[](),<>", c) != nullptr; }

bool IsSingleAt(const std::string& s, const TCharMap& map, size_t i, char c) {
  return map.Single(i) && s[i] == c;
}

// Index of the ")" matching the "(" at open, or npos.
size_t MatchParen(const std::string& s, const TCharMap& map, size_t open) {
  int depth = 0;
  for (size_t i = open; i < s.size(); ++i) {
    if (!map.Single(i)) continue;
    if (s[i] == '(') {
      ++depth;
    } else if (s[i] == ')') {
      if (--depth == 0) return i;
    }
  }
  return std::string::npos;
}

struct TOperatorSpelling {
  const char* Text;
  uint8_t Op;
};
constexpr TOperatorSpelling kSpellings[] = {
    {"*", ocMul},      {"/", ocDiv},    {"%", ocMod},    {"+", ocPlus},    {"-", ocMinus},
    {"<<", ocShiftL},  {">>", ocShiftR}, {"==", ocEqual}, {">=", ocEBig},   {"<=", ocESmall},
    {">", ocBig},      {"<", ocSmall},  {"<>", ocNEqual}, {"++", ocComboStr}, {"&", ocAnd},
    {"^", ocXor},      {"|", ocOr},     {"=", ocTo},
};
// The precedence groups, bound first to bound last, as index ranges into kSpellings.
constexpr int kGroupEnd[] = {3, 5, 7, 13, 14, 15, 16, 17, 18};

uint8_t OperatorCode(const std::string& token) {
  for (const auto& sp : kSpellings)
    if (token == sp.Text) return sp.Op;
  return ocNone;
}

bool IsTwoCharOperator(char a, char b) {
  static const char* const kTwo[] = {"==", ">=", "<=", "++", "<>", "<<", ">>"};
  for (const char* t : kTwo)
    if (t[0] == a && t[1] == b) return true;
  return false;
}

class TCompiler {
public:
  explicit TCompiler(TBuildNovaParser& owner) : p_(owner) {}

  void Compile(std::string text) {
    ExtractStrings(text);
    ExtractCalls(text);
    ExtractArrays(text);
    ExtractGroups(text);
    std::vector<std::string> tokens = Tokenize(text);
    if (tokens.empty()) {
      Append(ocTo, "____arg", {text});
      return;
    }
    UnarySigns(tokens);
    Reduce(tokens);
  }

private:
  TBuildNovaParser& p_;

  std::string NewTemp() { return Format("____%d", p_.TempCounter++); }
  std::string NewElementTemp() { return Format("____d_%d", p_.TempCounter++); }

  void Append(uint8_t op, std::string dest, std::vector<std::string> operands) {
    auto o = std::make_unique<TBuildOpeData>();
    o->Op = op;
    o->DestName = std::move(dest);
    o->Operands = std::move(operands);
    p_.Operations.push_back(std::move(o));
  }

  // 1. String literals become ocTo temporaries holding the literal with its quotes.
  void ExtractStrings(std::string& s) {
    for (;;) {
      TCharMap map(s);
      size_t open = std::string::npos;
      for (size_t i = 0; i < s.size(); ++i)
        if (IsSingleAt(s, map, i, '"')) {
          open = i;
          break;
        }
      if (open == std::string::npos) return;
      std::string lit = "\"";
      size_t close = std::string::npos;
      for (size_t i = open + 1; i < s.size();) {
        size_t len = CharLen(s, i);
        if (len == 1 && s[i] == '"') {
          close = i;
          break;
        }
        if (len == 1 && s[i] == '\\' && i + 1 < s.size() && map.Single(i + 1)) {
          char n = s[i + 1];
          if (n == '"' || n == '\\') {
            lit += n;
            i += 2;
            continue;
          }
          if (n == 'n') {
            lit += "\r\n";
            i += 2;
            continue;
          }
        }
        lit.append(s, i, len);
        i += len;
      }
      if (close == std::string::npos) Syntax();  // a literal without its closing quote
      lit += '"';
      std::string name = NewTemp();
      Append(ocTo, name, {lit});
      s.replace(open, close - open + 1, name);
    }
  }

  // Splits at commas outside square brackets; a blank text has no argument at all.
  static std::vector<std::string> SplitArguments(const std::string& text, bool bracketAware) {
    std::vector<std::string> out;
    if (Trim(text).empty()) return out;
    TCharMap map(text);
    int depth = 0;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      if (!map.Single(i)) continue;
      char c = text[i];
      if (bracketAware && c == '[') {
        ++depth;
      } else if (bracketAware && c == ']') {
        if (--depth < 0) Syntax();
      } else if (c == ',' && depth == 0) {
        out.push_back(text.substr(start, i - start));
        start = i + 1;
      }
    }
    if (depth != 0) Syntax();
    out.push_back(text.substr(start));
    return out;
  }

  // An argument or index: strip enclosing parentheses; compile it when it is an expression.
  std::string ArgumentText(const std::string& arg) {
    std::string a = Trim(arg);
    for (;;) {
      if (a.size() < 2 || a[0] != '(') break;
      TCharMap map(a);
      if (MatchParen(a, map, 0) != a.size() - 1) break;
      a = Trim(std::string_view(a).substr(1, a.size() - 2));
    }
    if (a.empty()) return a;
    TCharMap map(a);
    bool sub = false;
    for (size_t i = 0; i < a.size() && !sub; ++i) sub = map.Single(i) && MakesSubExpression(a[i]);
    if (!sub) return a;
    std::string name = NewTemp();
    Compile(Format("%s = %s", name.c_str(), a.c_str()));
    return name;
  }

  // Every ")" closes an earlier "(" and every "(" is closed.
  static void CheckParentheses(const std::string& s) {
    TCharMap map(s);
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
      if (!map.Single(i)) continue;
      if (s[i] == '(') ++depth;
      if (s[i] == ')' && --depth < 0) Syntax();
    }
    if (depth != 0) Syntax();
  }

  // 2. Function calls, the last one first, so inner calls are compiled before outer ones.
  void ExtractCalls(std::string& s) {
    CheckParentheses(s);
    for (;;) {
      TCharMap map(s);
      size_t open = std::string::npos, nameEnd = 0;
      for (size_t i = s.size(); i-- > 0;) {
        if (!IsSingleAt(s, map, i, '(')) continue;
        size_t k = i;
        while (k > 0 && map.Single(k - 1) && IsBlank(s[k - 1])) --k;
        if (k > 0 && map.Single(k - 1) && IsNameChar(s[k - 1])) {
          open = i;
          nameEnd = k;
          break;
        }
      }
      if (open == std::string::npos) return;
      size_t nameStart = nameEnd;
      while (nameStart > 0 && map.Single(nameStart - 1) && IsNameChar(s[nameStart - 1])) --nameStart;
      size_t close = MatchParen(s, map, open);
      if (close == std::string::npos) Syntax();
      std::string name = s.substr(nameStart, nameEnd - nameStart);
      std::string args = s.substr(open + 1, close - open - 1);
      std::string dest = NewTemp();
      s.replace(nameStart, close - nameStart + 1, dest);
      std::vector<std::string> operands{Trim(name)};
      for (const std::string& a : SplitArguments(args, true)) operands.push_back(ArgumentText(a));
      Append(ocFunc, dest, std::move(operands));
    }
  }

  // 3. Array elements, the last bracket first.
  void ExtractArrays(std::string& s) {
    for (;;) {
      TCharMap map(s);
      size_t open = std::string::npos;
      for (size_t i = s.size(); i-- > 0;)
        if (IsSingleAt(s, map, i, '[')) {
          open = i;
          break;
        }
      if (open == std::string::npos) {
        for (size_t i = 0; i < s.size(); ++i)
          if (IsSingleAt(s, map, i, ']')) Syntax();  // a "]" that no "[" opened
        return;
      }
      size_t close = std::string::npos;
      for (size_t i = open + 1; i < s.size(); ++i)
        if (IsSingleAt(s, map, i, ']')) {
          close = i;
          break;
        }
      if (close == std::string::npos) Syntax();
      size_t k = open;
      while (k > 0 && map.Single(k - 1) && IsBlank(s[k - 1])) --k;
      if (k == 0 || (map.Single(k - 1) && EndsArrayName(s[k - 1]))) Syntax();
      size_t nameEnd = k, nameStart = k;
      while (nameStart > 0 &&
             !(map.Single(nameStart - 1) && (IsBlank(s[nameStart - 1]) || EndsArrayName(s[nameStart - 1]))))
        --nameStart;
      std::string name = s.substr(nameStart, nameEnd - nameStart);
      std::string indices = s.substr(open + 1, close - open - 1);
      std::string dest = NewElementTemp();
      s.replace(nameStart, close - nameStart + 1, dest);
      std::vector<std::string> pieces = SplitArguments(indices, false);
      if (pieces.empty()) throw ENovaError(compiler::BadArraySubscript());
      std::vector<std::string> operands{name};
      for (const std::string& piece : pieces) operands.push_back(ArgumentText(piece));
      Append(ocDimTo, dest, std::move(operands));
    }
  }

  // 4. Parenthesised groups, the last one first: each becomes "temp = inner".
  void ExtractGroups(std::string& s) {
    for (;;) {
      TCharMap map(s);
      size_t open = std::string::npos;
      for (size_t i = s.size(); i-- > 0;)
        if (IsSingleAt(s, map, i, '(')) {
          open = i;
          break;
        }
      if (open == std::string::npos) return;
      size_t close = MatchParen(s, map, open);
      if (close == std::string::npos) Syntax();
      std::string inner = s.substr(open + 1, close - open - 1);
      std::string name = NewTemp();
      s.replace(open, close - open + 1, name);
      Compile(Format("%s = %s", name.c_str(), inner.c_str()));
    }
  }

  // 5. Operand and operator tokens.
  static std::vector<std::string> Tokenize(const std::string& s) {
    std::vector<std::string> tokens;
    TCharMap map(s);
    size_t start = 0;
    for (size_t i = 0; i < s.size();) {
      if (!(map.Single(i) && IsOperatorChar(s[i]))) {
        i += CharLen(s, i);
        continue;
      }
      std::string operand = Trim(std::string_view(s).substr(start, i - start));
      if (!operand.empty()) tokens.push_back(operand);
      size_t len = (i + 1 < s.size() && map.Single(i + 1) && IsTwoCharOperator(s[i], s[i + 1])) ? 2 : 1;
      tokens.push_back(s.substr(i, len));
      i += len;
      start = i;
    }
    std::string last = Trim(std::string_view(s).substr(start));
    if (!last.empty()) tokens.push_back(last);
    return tokens;
  }

  // 6. A + or - right after another operator (or an opening) is a sign.
  void UnarySigns(std::vector<std::string>& t) {
    for (size_t i = t.size() >= 2 ? t.size() - 2 : 0; i >= 1 && i + 1 < t.size(); --i) {
      if ((t[i] == "+" || t[i] == "-") && !t[i - 1].empty() && std::strchr("=+-*/%&^|[(,<>", t[i - 1][0])) {
        if (t[i] == "+") {
          t.erase(t.begin() + static_cast<long>(i));
        } else {
          std::string tmp = NewTemp();
          Append(ocMinus, tmp, {"0", t[i + 1]});
          t.erase(t.begin() + static_cast<long>(i));
          t[i] = tmp;
        }
      }
    }
  }

  // 7. Reduction by the precedence groups, leftmost operator of the first group present.
  void Reduce(std::vector<std::string>& t) {
    bool assigned = false;
    while (!t.empty()) {
      size_t pos = std::string::npos;
      int begin = 0;
      for (int end : kGroupEnd) {
        for (size_t i = 0; i < t.size() && pos == std::string::npos; ++i)
          for (int k = begin; k < end; ++k)
            if (t[i] == kSpellings[k].Text) {
              pos = i;
              break;
            }
        if (pos != std::string::npos) break;
        begin = end;
      }
      if (pos == std::string::npos) {
        if (assigned || t.size() > 1) Syntax();
        Append(ocTo, "____arg", {t[0]});
        t.clear();
        return;
      }
      uint8_t op = OperatorCode(t[pos]);
      if (op == ocTo) {
        if (pos == 0 || pos + 1 >= t.size()) Syntax();
        Append(ocTo, t[pos - 1], {t[pos + 1]});
        t.erase(t.begin() + static_cast<long>(pos - 1), t.begin() + static_cast<long>(pos + 2));
        assigned = true;
        continue;
      }
      if (pos + 1 >= t.size()) Syntax();  // an operator without its right operand
      if (pos == 0) {
        if (op != ocPlus && op != ocMinus) Syntax();
        std::string tmp = NewTemp();
        Append(op, tmp, {"0", t[1]});
        t[0] = tmp;
        t.erase(t.begin() + 1);
        continue;
      }
      const std::string& before = t[pos - 1];
      if (!before.empty() && std::strchr("+-*/%|&^=[(<>", before[0])) Syntax();
      std::string tmp = NewTemp();
      Append(op, tmp, {before, t[pos + 1]});
      t[pos - 1] = tmp;
      t.erase(t.begin() + static_cast<long>(pos), t.begin() + static_cast<long>(pos + 2));
    }
  }
};

// "____n" names, but neither array-element references nor the expression's value.
bool IsPlainTemp(const std::string& name) {
  return name.rfind("____", 0) == 0 && name.rfind("____d_", 0) != 0 && name != "____arg";
}

// Drops every ocTo that only copies one plain temporary into another, renaming later uses.
void EliminateCopies(std::vector<std::unique_ptr<TBuildOpeData>>& ops) {
  for (size_t i = 0; i < ops.size();) {
    TBuildOpeData& o = *ops[i];
    if (o.Op == ocTo && o.Operands.size() == 1 && IsPlainTemp(o.DestName) && IsPlainTemp(o.Operands[0])) {
      const std::string from = o.DestName, to = o.Operands[0];
      for (size_t j = i + 1; j < ops.size(); ++j) {
        if (ops[j]->DestName == from) ops[j]->DestName = to;
        for (std::string& operand : ops[j]->Operands)
          if (operand == from) operand = to;
      }
      ops.erase(ops.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
}

}  // namespace

void TBuildNovaParser::Build(const std::string& text) {
  TCompiler(*this).Compile(text);
  EliminateCopies(Operations);
}

}  // namespace nova
